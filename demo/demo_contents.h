#pragma once

#include <string>
#include <vector>

#include "craft/craft_tables.h"
#include "editors/kind_constants.h"
#include "library/images.h"

namespace vexlor::demo {

// Crafts 1 to 16 each have a HULL, a MAP and a SHIP picture of their own; the later crafts
// share the HULL and MAP pictures in turn and have no SHIP slot.
inline constexpr int kCraftPictureCount = 16;
inline constexpr int kFirstHullId = 4700;
inline constexpr int kFirstMapId = 17500;
inline constexpr int kFirstShipId = 20001;
inline constexpr int kHullMapIdStep = 100;
// Pictures of each BATTLE/MISSION series, numbered from 1.
inline constexpr int kBattleCount = 4;
inline constexpr int kMissionCount = 6;
inline constexpr int kMissionLowerCount = 6;

// A picture as Import BMP stages it, and the identifier field's value "<- Add" takes.
struct DemoPicture {
    IndexedImage image;
    int value = 0;
};

struct DemoLibrary {
    EditorKind kind;
    std::string fileName;  // in the game folder's Resdata folder
    std::vector<DemoPicture> pictures;
};

// The four libraries, HULL, MAP, SHIP and BATTLE/MISSION, with their pictures drawn.
std::vector<DemoLibrary> DemoLibraries();

// The executable's tables: every craft's HULL and MAP entry names a demo picture, SHIP slots 1
// to 16 name crafts 1 to 16, and each Enabled images value is the highest number of its series.
tCRAFTTABLES DemoCraftTables();

}  // namespace vexlor::demo
