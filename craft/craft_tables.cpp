#include "craft/craft_tables.h"

namespace vexlor {

void DeriveShipSlotOf(tCRAFTTABLES& tables) {
    tables.ShipSlotOf = {};
    for (int slot = 1; slot <= kShipSlotCount; ++slot) {
        const int craft = tables.ShipSlotCraft[slot];
        if (tables.ShipSlotOf.Holds(craft)) {
            tables.ShipSlotOf[craft] = static_cast<std::uint16_t>(slot);
        }
    }
}

std::uint16_t ShipPictureNumberOf(const tCRAFTTABLES& tables, int craft) {
    return static_cast<std::uint16_t>(kShipPictureBase + tables.ShipSlotOf[craft]);
}

}  // namespace vexlor
