#include "library/library_writer.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "library/byte_file.h"
#include "library/library_reader.h"
#include "library/replacement_file.h"

namespace vexlor {

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

// The record, its palette and its pixels as they follow each other in the file.
Bytes RecordBytesOf(const tIMAGE& record, const tPAL& palette, const tPIX& pixels) {
    const auto header = record.Encode();
    const Bytes colours = EncodePalette(palette);
    Bytes bytes(header.size() + colours.size() + pixels.size());
    auto next = std::copy(header.begin(), header.end(), bytes.begin());
    next = std::copy(colours.begin(), colours.end(), next);
    std::copy(pixels.begin(), pixels.end(), next);
    return bytes;
}

bool AddFits(std::uint32_t value, std::uint64_t more) {
    return value + more <= std::numeric_limits<std::uint32_t>::max();
}

void CutBack(const std::string& path, std::uint64_t size) {
    std::error_code ignored;
    fs::resize_file(path, size, ignored);
}

bool IdMatches(std::uint16_t stored, int wanted) {
    return wanted >= 0 && wanted <= 0xFFFF && stored == wanted;
}

}  // namespace

void ClearReadOnly(const std::string& path) {
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ignored);
}

WriteResult AppendToSingleGroupLibrary(const std::string& path, const tIMAGE& record,
                                       const tPAL& palette, const tPIX& pixels) {
    ByteFile file;
    if (!file.Open(path, ByteFile::Mode::ReadWrite)) {
        return WriteResult::CannotOpen;
    }
    std::uint8_t oldBytes[tHEADER::kSize + tGROUP::kSize];
    if (!file.ReadExactAt(0, oldBytes, sizeof oldBytes)) {
        return WriteResult::NotALibrary;
    }
    tHEADER header = tHEADER::Decode(oldBytes);
    tGROUP group = tGROUP::Decode(oldBytes + tHEADER::kSize);
    if (header.GroupCount == 0) {
        // Byte 34 would be image data, not a group: writing counts there would destroy it.
        return WriteResult::NotALibrary;
    }
    const Bytes added = RecordBytesOf(record, palette, pixels);
    if (group.ImageCount == std::numeric_limits<std::uint16_t>::max() ||
        !AddFits(group.ImageDataSize, added.size()) ||
        !AddFits(group.ColourCount, palette.size())) {
        return WriteResult::Full;
    }
    group.ImageCount = static_cast<std::uint16_t>(group.ImageCount + 1);
    group.ImageDataSize += static_cast<std::uint32_t>(added.size());
    group.ColourCount += static_cast<std::uint32_t>(palette.size());
    header.ImageCount = group.ImageCount;
    header.ImageDataSize = group.ImageDataSize;
    header.ColourCount = group.ColourCount;

    const std::uint64_t oldSize = file.Size();
    const auto newHeader = header.Encode();
    const auto newGroup = group.Encode();
    if (!file.WriteAt(oldSize, added.data(), added.size())) {
        file.Close();
        CutBack(path, oldSize);
        return WriteResult::WriteFailed;
    }
    if (!file.WriteAt(0, newHeader.data(), newHeader.size()) ||
        !file.WriteAt(tHEADER::kSize, newGroup.data(), newGroup.size())) {
        // Put the old counts back before the added bytes go, so they never disagree for long.
        file.WriteAt(0, oldBytes, sizeof oldBytes);
        file.Close();
        CutBack(path, oldSize);
        return WriteResult::WriteFailed;
    }
    return file.Close() ? WriteResult::Ok : WriteResult::WriteFailed;
}

namespace {

// Copies `count` bytes from `from` at `offset` to the end of `to`, in pieces.
bool CopyBytes(ByteFile& from, std::uint64_t offset, std::uint64_t count, ByteFile& to,
               std::uint64_t& toSize) {
    Bytes buffer(static_cast<std::size_t>(std::min<std::uint64_t>(count, 1u << 20)));
    while (count > 0) {
        const auto piece = static_cast<std::size_t>(std::min<std::uint64_t>(count, buffer.size()));
        if (!from.ReadExactAt(offset, buffer.data(), piece) ||
            !to.WriteAt(toSize, buffer.data(), piece)) {
            return false;
        }
        offset += piece;
        toSize += piece;
        count -= piece;
    }
    return true;
}

// Writes the rebuilt SHIP library into `out`: the new header, the old groups and the new one,
// the old records and the new one. False when the copy holds less than its header promises.
WriteResult WriteRebuiltShipLibrary(ByteFile& copy, ByteFile& out, std::uint16_t groupId,
                                    const tPAL& palette, const tPIX& pixels) {
    std::uint8_t headerBytes[tHEADER::kSize];
    if (!copy.ReadExactAt(0, headerBytes, sizeof headerBytes)) {
        return WriteResult::NotALibrary;
    }
    const tHEADER old = tHEADER::Decode(headerBytes);
    const auto colourCount = static_cast<std::uint32_t>(palette.size());
    const tIMAGE record = tIMAGE::Make(kRunLengthFormat, 180, 180, groupId, 1, colourCount,
                                       static_cast<std::uint32_t>(pixels.size()));
    const Bytes added = RecordBytesOf(record, palette, pixels);
    if (old.GroupCount == std::numeric_limits<std::uint16_t>::max() ||
        old.ImageCount == std::numeric_limits<std::uint16_t>::max() ||
        !AddFits(old.ImageDataSize, added.size()) || !AddFits(old.ColourCount, colourCount) ||
        !AddFits(old.GroupDataSize, tGROUP::kSize)) {
        return WriteResult::Full;
    }
    tHEADER header = old;
    header.GroupCount = static_cast<std::uint16_t>(old.GroupCount + 1);
    header.ImageCount = static_cast<std::uint16_t>(old.ImageCount + 1);
    header.ImageDataSize = old.ImageDataSize + static_cast<std::uint32_t>(added.size());
    header.ColourCount = old.ColourCount + colourCount;
    header.GroupDataSize = old.GroupDataSize + static_cast<std::uint32_t>(tGROUP::kSize);

    const std::uint64_t copySize = copy.Size();
    std::uint64_t outSize = 0;
    const auto headerOut = header.Encode();
    if (!out.WriteAt(0, headerOut.data(), headerOut.size())) {
        return WriteResult::WriteFailed;
    }
    outSize = headerOut.size();

    std::uint64_t at = tHEADER::kSize;
    std::uint32_t dataOffset = 0;
    for (std::uint32_t k = 0; k < old.GroupCount; ++k, at += tGROUP::kSize) {
        std::uint8_t groupBytes[tGROUP::kSize];
        if (!copy.ReadExactAt(at, groupBytes, sizeof groupBytes)) {
            return WriteResult::NotALibrary;
        }
        dataOffset += tGROUP::Decode(groupBytes).ImageDataSize;
        if (!out.WriteAt(outSize, groupBytes, sizeof groupBytes)) {
            return WriteResult::WriteFailed;
        }
        outSize += tGROUP::kSize;
    }
    tGROUP group{};
    group.GroupId = groupId;
    group.ImageCount = 1;
    group.ImageDataSize = static_cast<std::uint32_t>(added.size());
    group.ColourCount = colourCount;
    group.DataOffset = dataOffset;
    const auto groupOut = group.Encode();
    if (!out.WriteAt(outSize, groupOut.data(), groupOut.size())) {
        return WriteResult::WriteFailed;
    }
    outSize += groupOut.size();

    for (std::uint32_t k = 0; k < old.ImageCount; ++k) {
        std::uint8_t recordBytes[tIMAGE::kSize];
        if (at + tIMAGE::kSize > copySize ||
            !copy.ReadExactAt(at, recordBytes, sizeof recordBytes)) {
            return WriteResult::NotALibrary;
        }
        const tIMAGE image = tIMAGE::Decode(recordBytes);
        const std::uint64_t rest = image.DataSize;
        if (rest < tIMAGE::kBlockHeaderBytes ||
            at + tIMAGE::kSize + rest - tIMAGE::kBlockHeaderBytes > copySize) {
            return WriteResult::NotALibrary;
        }
        if (!out.WriteAt(outSize, recordBytes, sizeof recordBytes)) {
            return WriteResult::WriteFailed;
        }
        outSize += tIMAGE::kSize;
        if (!CopyBytes(copy, at + tIMAGE::kSize, rest - tIMAGE::kBlockHeaderBytes, out, outSize)) {
            return WriteResult::WriteFailed;
        }
        at += tIMAGE::kSize + rest - tIMAGE::kBlockHeaderBytes;
    }
    return out.WriteAt(outSize, added.data(), added.size()) ? WriteResult::Ok
                                                            : WriteResult::WriteFailed;
}

constexpr std::string_view kNewFileSuffix = ".vexlor-new";

WriteResult RefusalOf(const ReplacementFile& replacement) {
    return replacement.SystemError() == EMLINK ? WriteResult::HardLinked : WriteResult::CannotOpen;
}

// What tells that a file was changed by someone else: its size and modification time.
struct FileStamp {
    std::uintmax_t size = 0;
    fs::file_time_type modified{};
    bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> StampOf(const std::string& path) {
    std::error_code error;
    FileStamp stamp;
    stamp.size = fs::file_size(path, error);
    if (!error) {
        stamp.modified = fs::last_write_time(path, error);
    }
    return error ? std::nullopt : std::optional<FileStamp>(stamp);
}

// The copy is put in place whole, like every file this system writes: a stop half-way must not
// leave a copy that passes for the library as it was.
WriteResult CopyWhole(const std::string& from, const std::string& to) {
    ByteFile source;
    if (!source.Open(from, ByteFile::Mode::Read)) {
        return WriteResult::CannotOpen;
    }
    ReplacementFile copy(to, kNewFileSuffix);
    if (!copy.IsOpen()) {
        return RefusalOf(copy);
    }
    std::string buffer(std::size_t{1} << 20, '\0');
    std::uint64_t at = 0;
    std::size_t got = 0;
    while ((got = source.ReadAt(at, buffer.data(), buffer.size())) > 0) {
        if (!copy.Write(std::string_view(buffer.data(), got))) {
            return WriteResult::CannotOpen;
        }
        at += got;
    }
    return at == source.Size() && copy.Commit() ? WriteResult::Ok : WriteResult::CannotOpen;
}

}  // namespace

WriteResult AppendToShipLibrary(const std::string& path, const std::string& copyPath,
                                std::uint16_t groupId, const tPAL& palette, const tPIX& pixels) {
    RemoveLeftoverNewFiles(path, kNewFileSuffix);
    RemoveLeftoverNewFiles(copyPath, kNewFileSuffix);
    ClearReadOnly(copyPath);
    const std::optional<FileStamp> before = StampOf(path);
    const WriteResult copied = CopyWhole(path, copyPath);
    if (!before || copied != WriteResult::Ok) {
        return before ? copied : WriteResult::CannotOpen;
    }
    ClearReadOnly(path);

    ByteFile copy;
    if (!copy.Open(copyPath, ByteFile::Mode::Read)) {
        return WriteResult::CannotOpen;
    }
    ReplacementFile rebuilt(path, kNewFileSuffix);
    if (!rebuilt.IsOpen()) {
        return RefusalOf(rebuilt);
    }
    ByteFile out;
    if (!out.Open(rebuilt.NewFilePath(), ByteFile::Mode::Create)) {
        return WriteResult::CannotOpen;
    }
    WriteResult result = WriteRebuiltShipLibrary(copy, out, groupId, palette, pixels);
    if (!out.Close() && result == WriteResult::Ok) {
        result = WriteResult::WriteFailed;
    }
    if (result == WriteResult::Ok && StampOf(path) != before) {
        result = WriteResult::Changed;
    }
    if (result == WriteResult::Ok && !rebuilt.Commit()) {
        result = WriteResult::WriteFailed;
    }
    return result;
}

namespace {

// Walks from `offset` to the record at `position` and rewrites its identifier `field` when it
// still holds `oldId`. (A member pointer, not a reference: the record's fields are packed.)
RenumberResult RenumberRecordAt(ByteFile& file, std::uint64_t offset, int imageCount, int position,
                                int oldId, int newId, std::uint16_t tIMAGE::*field) {
    const std::uint64_t size = file.Size();
    for (int k = 1; k <= imageCount; ++k) {
        std::uint8_t bytes[tIMAGE::kSize];
        if (offset + tIMAGE::kSize > size || !file.ReadExactAt(offset, bytes, sizeof bytes)) {
            return RenumberResult::NoRecord;
        }
        tIMAGE image = tIMAGE::Decode(bytes);
        if (k == position) {
            if (!IdMatches(image.*field, oldId)) {
                return RenumberResult::Mismatch;
            }
            image.*field = static_cast<std::uint16_t>(newId);
            const auto out = image.Encode();
            return file.WriteAt(offset, out.data(), out.size()) ? RenumberResult::Written
                                                                : RenumberResult::WriteFailed;
        }
        offset += RecordBytes(image);
    }
    return RenumberResult::NoRecord;
}

tHEADER ReadHeaderOrZeros(ByteFile& file) {
    std::uint8_t bytes[tHEADER::kSize] = {};
    if (!file.ReadExactAt(0, bytes, sizeof bytes)) {
        return tHEADER{};
    }
    return tHEADER::Decode(bytes);
}

}  // namespace

RenumberResult WritePictureIdAt(const std::string& path, int position, int oldId, int newId,
                                RecordsStart start) {
    ByteFile file;
    if (!file.Open(path, ByteFile::Mode::ReadWrite)) {
        return RenumberResult::CannotOpen;
    }
    const tHEADER header = ReadHeaderOrZeros(file);
    const std::uint64_t first = start == RecordsStart::AfterGroupTable
                                    ? ImageDataStart(header)
                                    : tHEADER::kSize + tGROUP::kSize;
    const RenumberResult result = RenumberRecordAt(file, first, header.ImageCount, position, oldId,
                                                   newId, &tIMAGE::PictureId);
    if (!file.Close() && result == RenumberResult::Written) {
        return RenumberResult::WriteFailed;
    }
    return result;
}

RenumberResult WriteShipGroupIdAt(const std::string& path, int position, int oldId, int newId) {
    ByteFile file;
    if (!file.Open(path, ByteFile::Mode::ReadWrite)) {
        return RenumberResult::CannotOpen;
    }
    const tHEADER header = ReadHeaderOrZeros(file);
    bool groupWritten = false;
    const std::uint64_t at =
        tHEADER::kSize + tGROUP::kSize * static_cast<std::uint64_t>(std::max(position, 1) - 1);
    std::uint8_t oldGroup[tGROUP::kSize];
    if (position >= 1 && position <= header.GroupCount &&
        file.ReadExactAt(at, oldGroup, sizeof oldGroup)) {
        tGROUP group = tGROUP::Decode(oldGroup);
        if (IdMatches(group.GroupId, oldId)) {
            group.GroupId = static_cast<std::uint16_t>(newId);
            const auto out = group.Encode();
            if (!file.WriteAt(at, out.data(), out.size())) {
                // Not on to the record: a group and its record that disagree are worse.
                file.WriteAt(at, oldGroup, sizeof oldGroup);
                file.Close();
                return RenumberResult::WriteFailed;
            }
            groupWritten = true;
        }
    }
    const RenumberResult recordResult = RenumberRecordAt(
        file, ImageDataStart(header), header.ImageCount, position, oldId, newId, &tIMAGE::GroupId);
    if (recordResult == RenumberResult::WriteFailed && groupWritten) {
        file.WriteAt(at, oldGroup, sizeof oldGroup);  // best effort, as the append's put-back
    }
    if (!file.Close() || recordResult == RenumberResult::WriteFailed) {
        return RenumberResult::WriteFailed;
    }
    return groupWritten ? RenumberResult::Written : recordResult;
}

}  // namespace vexlor
