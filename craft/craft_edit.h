#pragma once

#include <cstdint>
#include <optional>

#include "craft/craft_tables.h"

namespace vexlor {

// The values that the user changed for one craft: a value that is not set keeps what the tables
// hold, so a Save never rewrites a value the user did not touch (a table entry above the number
// field's 65500, for one, goes back to the file as it was read).
struct CraftEdit {
    std::optional<std::uint16_t> hull;  // craft 1 to 71 only
    std::optional<std::uint16_t> map;
    std::optional<std::uint8_t> battle;
    std::optional<std::uint8_t> mission;
    std::optional<std::uint8_t> missionLower;

    bool Empty() const { return !hull && !map && !battle && !mission && !missionLower; }
};

// Puts the craft's HULL and MAP picture numbers of `edit` into `tables`. A craft outside 1..218
// changes nothing, and craft 72 to 218 have no HULL entry to change.
void ApplyPictureEdit(const CraftEdit& edit, int craft, tCRAFTTABLES& tables);

// Puts the three one-byte settings of `edit` into `tables`.
void ApplySettingsEdit(const CraftEdit& edit, tCRAFTTABLES& tables);

}  // namespace vexlor
