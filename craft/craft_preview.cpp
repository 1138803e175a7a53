#include "craft/craft_preview.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "craft/craft_names.h"
#include "craft/executable_backup.h"
#include "craft/number_field.h"
#include "library/utf8_path.h"
#include "platform/path_resolver.h"

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
    if (!tables_.readWhole) {
        return CraftTablesResult::Incomplete;  // before the backup too: nothing is to change
    }
    ApplyPictureEdit(edit, craft, tables_);
    tCRAFTTABLES written = tables_;
    ApplySettingsEdit(edit, written);
    const CraftTablesResult backup = BackUpBefore(written);
    if (backup != CraftTablesResult::Ok) {
        return backup;
    }
    const CraftTablesResult result = WriteCraftTables(ExecutablePath(), written);
    if (OpenedForWriting(result)) {
        tables_ = written;
    }
    return result;
}

CraftTablesResult CraftPreview::BackUpBefore(const tCRAFTTABLES& written) {
    if (backedUp_) {
        return CraftTablesResult::Ok;
    }
    bool differs = false;
    const CraftTablesResult compared = CompareCraftTables(ExecutablePath(), written, differs);
    if (compared != CraftTablesResult::Ok || !differs) {
        return compared;
    }
    if (BackUpFile(ExecutablePath(), BackupPath()) == BackupResult::Failed) {
        return CraftTablesResult::BackupFailed;
    }
    backedUp_ = true;
    return CraftTablesResult::Ok;
}

CraftRestoreResult CraftPreview::RestoreBackup() {
    if (!HasBackup()) {
        return CraftRestoreResult::NoBackup;
    }
    tCRAFTTABLES backup;
    if (ReadCraftTables(BackupPath(), backup) != CraftTablesResult::Ok) {
        return CraftRestoreResult::BackupWrongVersion;
    }
    int systemError = 0;
    if (!RestoreFileFrom(BackupPath(), ExecutablePath(), &systemError)) {
        return systemError == EMLINK ? CraftRestoreResult::HardLinked
                                     : CraftRestoreResult::CannotWrite;
    }
    tCRAFTTABLES restored;
    if (ReadCraftTables(ExecutablePath(), restored) != CraftTablesResult::Ok) {
        return CraftRestoreResult::RestoredWrongVersion;
    }
    tables_ = restored;
    return CraftRestoreResult::Ok;
}

std::string CraftPreview::ExecutablePath() const {
    return ResolvePath(gameFolder_, "xwingalliance.exe");
}

std::string CraftPreview::BackupPath() const {
    return ResolvePath(gameFolder_, kExecutableBackupName);
}

bool CraftPreview::HasBackup() const {
    std::error_code error;
    return std::filesystem::is_regular_file(PathFromUtf8(BackupPath()), error);
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
