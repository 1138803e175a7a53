#pragma once

#include <string>

#include "tools/craft/craft_tables.h"

namespace vexlor {

enum class CraftTablesResult {
    Ok,
    WrongVersion,  // missing, unreadable, too short, or not "2.02" at the version offset
    CannotWrite,   // cannot be opened for writing, or too short to hold the tables; untouched
    WriteFailed,   // a write failed part-way; the bytes already written were put back
};

// Reads the tables of the game executable at `path`. WrongVersion leaves `tables` all 0. After
// the version check the reads are not judged: bytes the file does not hold stay 0.
CraftTablesResult ReadCraftTables(const std::string& path, tCRAFTTABLES& tables);

// Writes, in place and in this order, EnabledBattle, EnabledMission, EnabledMissionLower and the
// whole HULL and MAP picture tables. The version and the SHIP slot table are never written, no
// other byte changes and the file never grows. The version is checked again first, since the
// file may have been replaced since it was read.
CraftTablesResult WriteCraftTables(const std::string& path, const tCRAFTTABLES& tables);

}  // namespace vexlor
