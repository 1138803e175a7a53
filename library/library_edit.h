#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/images.h"
#include "library/library_writer.h"
#include "library/records.h"
#include "library/splice.h"

namespace vexlor {

class ByteFile;

// How a library keeps its pictures: all in its first group (HULL, MAP, BATTLE/MISSION; records
// after the whole group table, or for BATTLE/MISSION right after the first group), or one group
// per picture (SHIP, group k holding record k).
struct LibraryLayout {
    RecordsStart recordsStart = RecordsStart::AfterGroupTable;
    bool groupPerPicture = false;
};

enum class PlanResult {
    Ok,
    CannotRead,   // a read of the file failed
    NotALibrary,  // the header, the group table or the records' walk is not what the layout needs
    NoSuchRow,    // a row is not in the library, or is named twice
    Full,         // a count or size would overflow its field
};

// A change worked out from a library as it is now, not yet made: the splices that make it, and
// the identifiers of the pictures it concerns (for the journal's "delete 4700 4800").
struct ChangePlan {
    PlanResult result = PlanResult::CannotRead;
    Splices splices;
    std::vector<int> identifiers;
    int row = -1;  // the row the change concerns, when the plan knows it better than its caller
};

// The pictures at `rows` (0-based, file order) go: their records, and with groupPerPicture their
// groups, the DataOffset of every later group following and GroupDataSize shrinking by 24 for
// each group removed; the header's and the groups' counts and sizes follow. The records that
// stay keep their bytes and their order. `identifierOf` names a record for `identifiers`.
ChangePlan PlanDelete(ByteFile& file, const LibraryLayout& layout, std::vector<int> rows,
                      int (*identifierOf)(const tIMAGE&));

// The picture at `row` gets `record` (whose identifiers the caller took from the old record),
// `palette` and `pixels`; the counts and sizes its new length changes follow (for
// groupPerPicture the DataOffset of the later groups too).
ChangePlan PlanReplace(ByteFile& file, const LibraryLayout& layout, int row, const tIMAGE& record,
                       const tPAL& palette, const tPIX& pixels, int (*identifierOf)(const tIMAGE&));

// The splices of the Parts' own writers, byte for byte what they write:
// AppendToSingleGroupLibrary (header and first group, then the record at the end; bytes beyond
// the records' walk, left by an append that was stopped, give way to the record; any other
// disagreement of the walk, the first group's counts and the file's size is refused)...
ChangePlan PlanSingleGroupAppend(ByteFile& file, const LibraryLayout& layout, const tIMAGE& record,
                                 const tPAL& palette, const tPIX& pixels);
// ...AppendToShipLibrary (header, the new group after the group table, the record at the end)...
ChangePlan PlanShipAppend(ByteFile& file, std::uint16_t groupId, const tPAL& palette,
                          const tPIX& pixels);
// ...WritePictureIdAt and WriteShipGroupIdAt (the record's identifier, for SHIP also the
// group's; result NoSuchRow when the record at `position` does not carry `oldId`).
ChangePlan PlanRenumber(ByteFile& file, const LibraryLayout& layout, int position, int oldId,
                        int newId);

}  // namespace vexlor
