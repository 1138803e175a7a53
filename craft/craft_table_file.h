#pragma once

#include <string>

#include "craft/craft_tables.h"

namespace vexlor {

enum class CraftTablesResult {
    Ok,
    WrongVersion,  // missing, unreadable, too short, or not "2.02" at the version offset
    CannotWrite,   // cannot be read or replaced (read-only), or is too short to hold the
                   // tables; untouched
    WriteFailed,   // writing the new executable failed; untouched
    BackupFailed,  // the backup that must come before the first change could not be made;
                   // untouched
    Incomplete,    // the tables were not read whole (tCRAFTTABLES::readWhole); untouched
    HardLinked,    // the executable has other hard links, which a replacement would cut; untouched
};

// Reads the tables of the game executable at `path`. WrongVersion leaves `tables` all 0. After
// the version check, bytes that cannot be read stay 0 and clear tables.readWhole.
CraftTablesResult ReadCraftTables(const std::string& path, tCRAFTTABLES& tables);

// Writes EnabledBattle, EnabledMission, EnabledMissionLower and the whole HULL and MAP picture
// tables, all at once: the executable is written anew beside itself and renamed over itself
// (through links where they lead, with its permissions), so it is the old one or the new one. The
// version and the SHIP slot table are never written, no other byte changes and the file never
// grows. The version is checked again first, since the file may have been replaced since it was
// read. Tables that were not read whole are refused (Incomplete).
CraftTablesResult WriteCraftTables(const std::string& path, const tCRAFTTABLES& tables);

// Whether WriteCraftTables with `tables` would change a byte of the file: `differs` is set when
// the result is Ok. The file is refused for the same reasons as there (WrongVersion, or
// CannotWrite for a file that cannot be read or is too short), and it is only read.
CraftTablesResult CompareCraftTables(const std::string& path, const tCRAFTTABLES& tables,
                                     bool& differs);

}  // namespace vexlor
