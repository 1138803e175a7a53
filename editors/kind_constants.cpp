#include "editors/kind_constants.h"

#include <cstring>

namespace vexlor {

namespace {

constexpr KindConstants kHull = {
    EditorKind::Hull,
    LibraryKind::Hull,
    "HULL (",
    32,
    32,
    "Must be a valid 32 x 32 x 256 BMP",
    0x00FF00,
    32,
    "hulls",
    MakeColour(0, 255, 0),
    "32 x 32",
    64,
    64,
    4600,
    kHullGroupId,
    0,
    65500,
    100,
    5,
};

constexpr KindConstants kMap = {
    EditorKind::Map,
    LibraryKind::Map,
    "MAP (",
    16,
    16,
    "Must be a valid 16 x 16 x 256 BMP",
    0x00FFFF,
    16,
    "maps",
    MakeColour(255, 255, 0),
    "16x16",
    32,
    32,
    17400,
    kMapGroupId,
    0,
    65500,
    100,
    5,
};

constexpr KindConstants kShip = {
    EditorKind::Ship,
    LibraryKind::Ship,
    "SHIP (",
    180,
    180,
    "Must be a valid 180 x 180 x 256 BMP",
    0,
    90,
    "ships",
    MakeColour(128, 128, 255),
    "180 x 180",
    180,
    180,
    0,
    0,
    20001,
    20254,
    1,
    5,
};

constexpr KindConstants kMission = {
    EditorKind::Mission,
    LibraryKind::Mission,
    "MISSION (",
    0,
    0,
    "Need a 510x260 or 260x260 or 100x75 BMP",
    0,
    105,
    "Battle / Mission",
    MakeColour(128, 128, 255),
    "510x260  260x260 100x75",
    204,
    204,
    0,
    kMissionGroupId,
    0,
    999,
    1,
    3,
};

}  // namespace

const KindConstants& ConstantsOf(EditorKind kind) {
    switch (kind) {
        case EditorKind::Hull:
            return kHull;
        case EditorKind::Map:
            return kMap;
        case EditorKind::Ship:
            return kShip;
        case EditorKind::Mission:
            break;
    }
    return kMission;
}

const char* CommandNameOf(EditorKind kind) {
    switch (kind) {
        case EditorKind::Hull:
            return "hull";
        case EditorKind::Map:
            return "map";
        case EditorKind::Ship:
            return "ship";
        case EditorKind::Mission:
            break;
    }
    return "mission";
}

bool EditorKindFromName(const char* name, EditorKind& kind) {
    for (EditorKind k :
         {EditorKind::Hull, EditorKind::Map, EditorKind::Ship, EditorKind::Mission}) {
        if (std::strcmp(name, CommandNameOf(k)) == 0) {
            kind = k;
            return true;
        }
    }
    return false;
}

}  // namespace vexlor
