#include "craft/craft_edit.h"

namespace vexlor {

void ApplyPictureEdit(const CraftEdit& edit, int craft, tCRAFTTABLES& tables) {
    if (edit.hull && tables.HullPictureId.Holds(craft)) {
        tables.HullPictureId[craft] = *edit.hull;
    }
    if (edit.map && tables.MapPictureId.Holds(craft)) {
        tables.MapPictureId[craft] = *edit.map;
    }
}

void ApplySettingsEdit(const CraftEdit& edit, tCRAFTTABLES& tables) {
    tables.EnabledBattle = edit.battle.value_or(tables.EnabledBattle);
    tables.EnabledMission = edit.mission.value_or(tables.EnabledMission);
    tables.EnabledMissionLower = edit.missionLower.value_or(tables.EnabledMissionLower);
}

}  // namespace vexlor
