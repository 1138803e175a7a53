#pragma once

#include <cstdint>

#include "craft/one_based_table.h"

namespace vexlor {

inline constexpr int kCraftCount = 218;
// Only craft 1 to 71 have a HULL picture.
inline constexpr int kHullCraftCount = 71;
inline constexpr int kShipSlotCount = 254;
// A craft's SHIP picture is the picture whose GroupId is this plus the craft's slot.
inline constexpr int kShipPictureBase = 20000;

// Where the game executable of version 2.02 keeps the values, as byte offsets from its start.
namespace executable_layout {
inline constexpr std::uint64_t kVersionOffset = 0x11C91E;
inline constexpr char kVersionText[] = "2.02";
inline constexpr std::size_t kVersionBytes = 4;
inline constexpr std::uint64_t kEnabledBattleOffset = 0x15D19D;
inline constexpr std::uint64_t kEnabledMissionOffset = 0x15D16E;
inline constexpr std::uint64_t kEnabledMissionLowerOffset = 0x15D184;
inline constexpr std::uint64_t kHullTableOffset = 0x1A860A;
inline constexpr std::uint64_t kMapTableOffset = 0x1A8ADA;
inline constexpr std::uint64_t kShipSlotTableOffset = 0x1AFB72;
}  // namespace executable_layout

// The craft tables of the game executable as they are held in memory between Saves.
struct tCRAFTTABLES {
    std::uint8_t EnabledBattle = 0;
    std::uint8_t EnabledMission = 0;
    std::uint8_t EnabledMissionLower = 0;
    OneBasedTable<kHullCraftCount> HullPictureId;
    OneBasedTable<kCraftCount> MapPictureId;
    OneBasedTable<kShipSlotCount> ShipSlotCraft;
    // Derived from ShipSlotCraft, never stored: the SHIP slot of each craft, 0 for none.
    OneBasedTable<kCraftCount> ShipSlotOf;
    // Never stored: false when a value that a Save writes back (the Enabled values, the HULL and
    // MAP tables) could not be read whole. What was read is shown, but values filled in with
    // zeros are never written back over the real ones.
    bool readWhole = true;

    bool operator==(const tCRAFTTABLES&) const = default;
};

// Fills ShipSlotOf from ShipSlotCraft. Slots are visited in rising order, so when several name
// the same craft the highest wins; entries that name no craft (0, above 218) are ignored.
void DeriveShipSlotOf(tCRAFTTABLES& tables);

// The GroupId of the craft's SHIP picture: 20000 + its slot, 20000 when it has none.
std::uint16_t ShipPictureNumberOf(const tCRAFTTABLES& tables, int craft);

}  // namespace vexlor
