#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/library_reader.h"
#include "library/records.h"

namespace vexlor {

// A library of any kind as its bytes lie, for showing, extracting and repairing it: the header,
// the group table as far as the file holds it, and the image records one after another from the
// end of the group table to the end of the file, whatever the header's counts promise. Nothing
// beyond the record headers is read, so any file costs at most one 62-byte read per record.

struct WalkedGroup {
    tGROUP group{};
    std::uint64_t offset = 0;  // of its 24-byte record in the group table
    int firstRecord = -1;      // index into LibraryWalk::records; -1 when it has none
    int recordCount = 0;       // the consecutive records that carry its GroupId
};

struct WalkedRecord {
    ImageRecord record;         // offset, position (1 for the first) and the 62-byte fields
    int group = -1;             // index into LibraryWalk::groups; -1 when its GroupId follows none
    bool announced = true;      // one of the header's ImageCount records
    bool cutShort = false;      // the file ends before its DataSize + 18 bytes do
    bool overlapsNext = false;  // its palette and pixels reach past DataSize + 18, into what
                                // the walk reads as the next record
    std::uint64_t End() const { return record.offset + RecordBytes(record.image); }
    // Where its palette and pixels end, as its ColourCount, DataSize and PixelOffset say.
    std::uint64_t ContentEnd() const;
};

struct LibraryWalk {
    bool opened = false;          // false: not a regular file that can be read
    bool headerComplete = false;  // false: fewer than 34 bytes
    std::uint64_t fileSize = 0;
    tHEADER header{};
    std::vector<WalkedGroup> groups;  // fewer than GroupCount when the file ends in the table
    std::vector<WalkedRecord> records;
    // Bytes after the last record that are too few for a record header (0 in a sound file).
    std::uint64_t trailingBytes = 0;
    // The walk stops after the most records a header can count (65,535) when bytes follow.
    bool stoppedAtRecordLimit = false;

    bool GroupTableComplete() const { return groups.size() == header.GroupCount; }
};

// The most records a library can count.
inline constexpr std::size_t kMaxLibraryRecords = 65535;

LibraryWalk WalkLibrary(const std::string& path);

}  // namespace vexlor
