#include "demo/demo_contents.h"

#include "demo/craft_silhouette.h"
#include "demo/map_symbols.h"
#include "demo/mission_frames.h"
#include "library/run_length.h"

namespace vexlor::demo {

namespace {

constexpr int kHullSide = 32;

// The picture of crafts 1 to 16 that craft `craft` uses.
int PictureIndexOf(int craft) {
    return (craft - 1) % kCraftPictureCount;
}

DemoLibrary CraftLibrary(EditorKind kind, const char* fileName, int side, int firstId, int step) {
    DemoLibrary library{kind, fileName, {}};
    for (int i = 0; i < kCraftPictureCount; ++i) {
        library.pictures.push_back(
            {DrawCraftSilhouette(DemoCraftDesign(i + 1), side), firstId + i * step});
    }
    return library;
}

DemoLibrary MapLibrary() {
    DemoLibrary library{EditorKind::Map, "MAP.DAT", {}};
    for (int i = 0; i < kCraftPictureCount; ++i) {
        library.pictures.push_back({DrawMapSymbol(i), kFirstMapId + i * kHullMapIdStep});
    }
    return library;
}

void AddSeries(DemoLibrary& library, Series series, int count) {
    for (int number = 1; number <= count; ++number) {
        library.pictures.push_back({DrawMissionFrame(series, number), number});
    }
}

DemoLibrary MissionLibrary() {
    DemoLibrary library{EditorKind::Mission, "MISSION.DAT", {}};
    AddSeries(library, Series::Battle, kBattleCount);
    AddSeries(library, Series::Mission, kMissionCount);
    AddSeries(library, Series::MissionLower, kMissionLowerCount);
    return library;
}

}  // namespace

std::vector<DemoLibrary> DemoLibraries() {
    std::vector<DemoLibrary> libraries;
    libraries.push_back(
        CraftLibrary(EditorKind::Hull, "HULL.DAT", kHullSide, kFirstHullId, kHullMapIdStep));
    libraries.push_back(MapLibrary());
    libraries.push_back(
        CraftLibrary(EditorKind::Ship, "SHIP.DAT", kShipPictureSide, kFirstShipId, 1));
    libraries.push_back(MissionLibrary());
    return libraries;
}

tCRAFTTABLES DemoCraftTables() {
    tCRAFTTABLES tables;
    tables.EnabledBattle = kBattleCount;
    tables.EnabledMission = kMissionCount;
    tables.EnabledMissionLower = kMissionLowerCount;
    for (int craft = 1; craft <= kHullCraftCount; ++craft) {
        tables.HullPictureId[craft] =
            static_cast<std::uint16_t>(kFirstHullId + PictureIndexOf(craft) * kHullMapIdStep);
    }
    for (int craft = 1; craft <= kCraftCount; ++craft) {
        tables.MapPictureId[craft] =
            static_cast<std::uint16_t>(kFirstMapId + PictureIndexOf(craft) * kHullMapIdStep);
    }
    for (int slot = 1; slot <= kCraftPictureCount; ++slot) {
        tables.ShipSlotCraft[slot] = static_cast<std::uint16_t>(slot);
    }
    DeriveShipSlotOf(tables);
    return tables;
}

}  // namespace vexlor::demo
