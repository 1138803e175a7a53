#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/byte_file.h"
#include "library/images.h"
#include "library/records.h"

namespace vexlor {

// What became of one step of reading a library. Everything but Ok means the bytes the records
// promise are not in the file; nothing beyond the file's end is ever read.
enum class ReadStatus {
    Ok,
    CannotOpen,
    ShortHeader,      // fewer than 34 bytes
    ShortGroupTable,  // the file ends inside the group table
    ShortRecord,      // the file ends inside a 62-byte record header
    BadSizes,         // DataSize smaller than PixelOffset
    ShortPalette,     // the file ends inside the palette
    ShortPixels,      // the file ends inside the pixel data
};

const char* DescribeReadStatus(ReadStatus status);

struct ImageRecord {
    std::uint64_t offset = 0;  // first byte of the 62-byte record in the file
    int position = 0;          // 1 for the first record
    tIMAGE image{};
};

// Walks a library: the header, the group table, then the image records one after another.
// The file stays open for the reader's lifetime only.
class LibraryReader {
  public:
    // Opens the file and reads the header. False only when the file cannot be opened; a file
    // shorter than the header reads as a zero-filled header (see HeaderStatus()).
    bool Open(const std::string& path);

    const tHEADER& Header() const { return header_; }
    ReadStatus HeaderStatus() const { return headerStatus_; }
    std::uint64_t FileSize() const { return fileSize_; }

    // Reads the group records that the header announces and the file holds.
    ReadStatus ReadGroups(std::vector<tGROUP>& groups);

    // Where the next NextRecord() reads; by default right after the group table.
    void SeekRecords(std::uint64_t offset) { nextOffset_ = offset; }

    // Reads the next of the header's ImageCount records. False after the last one, or when the
    // file ends inside the record header (LastStatus() then says ShortRecord). The walk then
    // continues DataSize + 18 bytes further on.
    bool NextRecord(ImageRecord& record);
    ReadStatus LastStatus() const { return lastStatus_; }

    // Reads the palette and pixels that follow `record`. On anything but Ok the two arrays
    // hold only what could be checked to be present (possibly nothing).
    ReadStatus ReadPicture(const ImageRecord& record, tPAL& palette, tPIX& pixels);

    // Continues the walk right after the record's palette and pixel data rather than at
    // DataSize + 18 (the two agree in every library that keeps the size relations).
    void ContinueAfterPicture(const ImageRecord& record);

    ByteFile& File() { return file_; }

  private:
    ByteFile file_;
    tHEADER header_{};
    ReadStatus headerStatus_ = ReadStatus::CannotOpen;
    ReadStatus lastStatus_ = ReadStatus::Ok;
    std::uint64_t fileSize_ = 0;
    std::uint64_t nextOffset_ = 0;
    int recordsRead_ = 0;
};

// Decodes `count` 3-byte palette entries (red, green, blue) into colour values.
void DecodePalette(const std::uint8_t* bytes, std::size_t count, tPAL& palette);
// Encodes a palette as 3 bytes an entry; the top byte of each value is dropped.
std::vector<std::uint8_t> EncodePalette(const tPAL& palette);
// A record as a library stores it: its fields, then its palette, then its pixel data.
std::string EncodeRecord(const tIMAGE& record, const tPAL& palette, const tPIX& pixels);

// Reads just the header of a library; false when the file cannot be opened or is shorter
// than 34 bytes.
bool ReadLibraryHeader(const std::string& path, tHEADER& header);

}  // namespace vexlor
