#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "library/picture_encoding.h"
#include "library/records.h"
#include "library/splice.h"

namespace vexlor {

// Changes of a library of any kind, whatever its groups and picture sizes, naming each record by
// its GroupId and PictureId. A plan is worked out from a library that the check finds sound and
// leaves one that it finds sound: every count, size and offset the check relates is brought up
// to date (GroupDataSize too, unless it is 0), and every byte of every record not named is kept,
// in its order. Nothing here writes; MakeAnyEdit makes a plan through the change journal.

struct RecordName {
    std::uint16_t groupId = 0;
    std::uint16_t pictureId = 0;

    bool operator==(const RecordName&) const = default;
};

// "26000 4800", as the commands print a name and the journal records it.
std::string NameText(RecordName name);

enum class AnyEditResult {
    Ok,
    CannotRead,    // the library cannot be opened or read
    NotSound,      // the check does not find the library ok: it is to be repaired first
    NoSuchRecord,  // no record carries the name
    Repeated,      // more than one record carries the name, or a list names it twice
    Taken,         // a record already carries the new name
    Full,          // a count or size would overflow its field
    NoPicture,     // the picture could not be made for the record
};

struct AnyEditPlan {
    AnyEditResult result = AnyEditResult::CannotRead;
    std::string message;  // why not, for people, naming the file; empty for Ok
    Splices splices;
    std::uint64_t sizeBefore = 0;
    std::string what;  // the journal's name of the change: "add 26000 4800"
    int row = -1;      // the record concerned, in file order after the change
};

// A record G P holding `picture` after the last record of group G; when the table has no group
// G, a new group G at the end of the table and the record at the end of the file.
AnyEditPlan PlanAddRecord(const std::string& path, RecordName name, const StoredPicture& picture);
// Record G P gets `picture`, keeping its place and names.
AnyEditPlan PlanSetRecord(const std::string& path, RecordName name, const StoredPicture& picture);
// The named records go; a group they leave without records leaves the table.
AnyEditPlan PlanRemoveRecords(const std::string& path, const std::vector<RecordName>& names);
// Record `from` takes the name `to`: in place within its group, or moved after the last record
// of group `to.groupId` (a new group at the end of the table when there is none), the group it
// leaves empty leaving the table.
AnyEditPlan PlanRenameRecord(const std::string& path, RecordName from, RecordName to);

// What a picture is made for, found when the library is read: for an add, the format that all
// records of the group have, if they have one; for a set, the record it replaces.
struct RecordLookup {
    tIMAGE record{};
    std::optional<std::uint16_t> groupFormat;
};

// Makes the picture of an add or a set once the library has been read and the name found, so
// that it is converted for what the library holds under the journal's lock; nothing, with
// `refusal` set (for people), when it cannot be.
using PictureMaker =
    std::function<std::optional<StoredPicture>(const RecordLookup& lookup, std::string& refusal)>;
AnyEditPlan PlanAddRecord(const std::string& path, RecordName name, const PictureMaker& make);
AnyEditPlan PlanSetRecord(const std::string& path, RecordName name, const PictureMaker& make);

struct AnyEditOutcome {
    bool done = false;
    std::string message;  // why nothing was changed, when not done
    std::string what;
    int row = -1;
};

// Plans the change from the library under the journal's lock (`plan` is given the file the
// journal writes) and makes it, recorded so that Undo takes it back byte for byte.
AnyEditOutcome MakeAnyEdit(const std::string& journalFolder, const std::string& path,
                           const std::function<AnyEditPlan(const std::string& library)>& plan);

}  // namespace vexlor
