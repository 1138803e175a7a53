#include "tools/craft/craft_preview.h"

#include "platform/path_resolver.h"
#include "tools/craft/craft_names.h"
#include "tools/craft/number_field.h"

namespace vexlor {

namespace {

// The text of the SHIP picture number: a space, then the number.
std::string ShipText(int pictureNumber) {
    return " " + std::to_string(pictureNumber);
}

void FillFields(const tCRAFTTABLES& tables, int craft, CraftDisplay& display) {
    display.selected = true;
    display.battle = tables.EnabledBattle;
    display.mission = tables.EnabledMission;
    display.missionLower = tables.EnabledMissionLower;
    if (tables.HullPictureId.Holds(craft)) {
        display.hull = LimitToField(tables.HullPictureId[craft], kPictureNumberFieldMax);
    }
    display.map = LimitToField(tables.MapPictureId[craft], kPictureNumberFieldMax);
    if (tables.ShipSlotOf[craft] != 0) {
        display.ship = ShipText(ShipPictureNumberOf(tables, craft));
        display.shipEnabled = true;
    }
}

bool OpenedForWriting(CraftTablesResult result) {
    return result == CraftTablesResult::Ok || result == CraftTablesResult::WriteFailed;
}

}  // namespace

bool CraftPreview::Load(const std::string& gameFolder) {
    gameFolder_ = gameFolder;
    names_ = LoadCraftNames(ResolvePath(gameFolder_, "strings.txt"));
    return ReadCraftTables(ExecutablePath(), tables_) == CraftTablesResult::Ok;
}

CraftDisplay CraftPreview::Display(int craft, const std::vector<std::string>& resourceLines) {
    ++displayRuns_;
    CraftDisplay display;
    if (!tables_.MapPictureId.Holds(craft)) {
        return display;
    }
    FillFields(tables_, craft, display);
    if (displayRuns_ >= 2) {
        display.pictures = FindPicturesOfCraft(tables_, craft, resourceLines, gameFolder_);
        display.searched = true;
    }
    return display;
}

CraftTablesResult CraftPreview::Save(int craft, const CraftEdit& edit) {
    if (!tables_.MapPictureId.Holds(craft)) {
        return CraftTablesResult::CannotWrite;
    }
    ApplyPictureEdit(edit, craft, tables_);
    tCRAFTTABLES written = tables_;
    ApplySettingsEdit(edit, written);
    const CraftTablesResult result = WriteCraftTables(ExecutablePath(), written);
    if (OpenedForWriting(result)) {
        tables_ = written;
    }
    return result;
}

std::string CraftPreview::ExecutablePath() const {
    return ResolvePath(gameFolder_, "xwingalliance.exe");
}

CraftPictures FindPicturesOfCraft(const tCRAFTTABLES& tables, int craft,
                                  const std::vector<std::string>& resourceLines,
                                  const std::string& gameFolder) {
    if (!tables.MapPictureId.Holds(craft)) {
        return {};
    }
    std::optional<std::uint16_t> hull;
    if (tables.HullPictureId.Holds(craft)) {
        hull = tables.HullPictureId[craft];
    }
    return FindCraftPictures(resourceLines, gameFolder, hull, tables.MapPictureId[craft],
                             ShipPictureNumberOf(tables, craft));
}

}  // namespace vexlor
