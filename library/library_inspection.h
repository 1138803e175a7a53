#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/library_reader.h"
#include "library/records.h"

namespace vexlor {

// What a violation concerns, so that a window can point at it.
struct CheckSubject {
    enum class Kind { File, Header, Group, Record };
    Kind kind = Kind::File;
    std::size_t index = 0;  // of the group in the table, or of the record in file order
};

// A library's records exactly as the file holds them, read only as far as its bytes go.
// Nothing here judges the values; `problems` says which announced bytes are missing.
struct LibraryInspection {
    bool opened = false;          // false: the path is not a regular file that can be read
    bool headerComplete = false;  // false: fewer than 34 bytes, `header` is all zeros
    std::uint64_t fileSize = 0;
    tHEADER header{};
    std::vector<tGROUP> groups;                 // fewer than GroupCount when the file ends early
    std::vector<ImageRecord> images;            // fewer than ImageCount when the file ends early
    std::vector<std::string> problems;          // one line each, in file order
    std::vector<CheckSubject> problemSubjects;  // one per problem
};

// Reads the header, the group table and every record header that the file holds. Palettes and
// pixels are never read, only measured against the file size, so any count in the file costs
// at most one read per record present.
LibraryInspection InspectLibrary(const std::string& path);

struct LibraryCheck {
    bool opened = false;
    std::vector<std::string> violations;  // one line each; empty for a sound library
    std::vector<CheckSubject> subjects;   // one per violation

    bool Ok() const { return opened && violations.empty(); }
};

// Judges a library against every count, size and offset relation that this system's writers
// keep, and against the file's length.
LibraryCheck CheckLibrary(const std::string& path);
// The same judgement of a library already inspected, for a change planned from that reading.
LibraryCheck CheckInspectedLibrary(const LibraryInspection& inspection);

}  // namespace vexlor
