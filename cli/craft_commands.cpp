#include "cli/craft_commands.h"

#include <optional>
#include <string>

#include "cli/json_writer.h"
#include "cli/resource_list_file.h"
#include "craft/craft_preview.h"
#include "craft/craft_save_failure.h"
#include "craft/number_field.h"
#include "editors/library_editor_logic.h"

namespace vexlor::cli {

namespace {

// The game folder ends with a separator wherever the Preview builds paths from it.
std::string GameFolderOf(const std::string& argument) {
    if (argument.empty() || argument.back() == '/' || argument.back() == '\\') {
        return argument;
    }
    return argument + "/";
}

int NeedVersion() {
    PrintError(std::string(kNeedVersionMessage) + "\n");
    return kExitFailure;
}

// The craft number N, or the usage error's status in `status`.
std::optional<int> CraftNumberOf(const Invocation& invocation, int& status) {
    const auto craft = ParseInteger(invocation.arguments[1]);
    if (!craft || *craft < 1 || *craft > kCraftCount) {
        status = invocation.UsageError("N must be a craft number from 1 to 218: " +
                                       invocation.arguments[1]);
        return std::nullopt;
    }
    return craft;
}

void WriteCraft(const CraftPreview& preview, int craft, JsonWriter& json) {
    const tCRAFTTABLES& tables = preview.Tables();
    json.BeginObject();
    json.Field("n", craft);
    json.Field("name", preview.Names()[static_cast<std::size_t>(craft - 1)]);
    json.Key("hull");
    if (tables.HullPictureId.Holds(craft)) {
        json.Number(tables.HullPictureId[craft]);
    } else {
        json.Null();
    }
    json.Field("map", tables.MapPictureId[craft]);
    json.Key("ship");
    if (tables.ShipSlotOf[craft] != 0) {
        json.Number(ShipPictureNumberOf(tables, craft));
    } else {
        json.Null();
    }
    json.EndObject();
}

void WritePicture(const char* kind, const std::optional<CraftPicture>& picture, JsonWriter& json) {
    json.Key(kind);
    if (!picture) {
        json.Null();
        return;
    }
    json.BeginObject();
    json.Field("library", picture->library);
    json.Field("width", picture->width);
    json.Field("height", picture->height);
    json.EndObject();
}

// A value of a number field given as an option: refused, not limited, when it is out of the
// field's range, so that a typing slip never writes a value nobody asked for.
template <typename T>
bool ReadFieldOption(const Invocation& invocation, const std::string& option, int max,
                     std::optional<T>& value) {
    const auto text = invocation.Option(option);
    if (!text) {
        return true;
    }
    const auto number = ParseInteger(*text);
    if (!number || *number < 0 || *number > max) {
        PrintError(option + " must be a whole number from 0 to " + std::to_string(max) + ": " +
                   *text + "\n");
        return false;
    }
    value = static_cast<T>(*number);
    return true;
}

bool ReadEdit(const Invocation& invocation, int craft, CraftEdit& edit) {
    if (!ReadFieldOption(invocation, "--hull", kPictureNumberFieldMax, edit.hull) ||
        !ReadFieldOption(invocation, "--map", kPictureNumberFieldMax, edit.map) ||
        !ReadFieldOption(invocation, "--battle", kSettingFieldMax, edit.battle) ||
        !ReadFieldOption(invocation, "--mission", kSettingFieldMax, edit.mission) ||
        !ReadFieldOption(invocation, "--mission-lower", kSettingFieldMax, edit.missionLower)) {
        return false;
    }
    if (edit.hull && craft > kHullCraftCount) {
        PrintError("Craft " + std::to_string(craft) +
                   " has no HULL picture number: only craft 1 to 71 have one\n");
        return false;
    }
    return true;
}

int ReportSave(CraftTablesResult result, const CraftPreview& preview) {
    switch (result) {
        case CraftTablesResult::Ok:
            return kExitSuccess;
        case CraftTablesResult::WrongVersion:
            return NeedVersion();
        case CraftTablesResult::CannotWrite:
            PrintError(
                "xwingalliance.exe cannot be written: it cannot be opened for writing or is too "
                "short to hold the tables; nothing was written\n");
            return kExitFailure;
        case CraftTablesResult::WriteFailed:
            PrintError(
                "xwingalliance.exe could not be written completely; it was left as it was\n");
            return kExitFailure;
        case CraftTablesResult::BackupFailed:
        case CraftTablesResult::Incomplete:
        case CraftTablesResult::HardLinked:
            PrintError(SaveFailureOf(result, preview.ExecutablePath(), preview.BackupPath())->text +
                       "\n");
            return kExitFailure;
    }
    return kExitFailure;
}

}  // namespace

int RunCraftList(const Invocation& invocation) {
    CraftPreview preview;
    if (!preview.Load(GameFolderOf(invocation.arguments[0]))) {
        return NeedVersion();
    }
    const tCRAFTTABLES& tables = preview.Tables();
    JsonWriter json;
    json.BeginObject();
    json.Field("EnabledBattle", tables.EnabledBattle);
    json.Field("EnabledMission", tables.EnabledMission);
    json.Field("EnabledMissionLower", tables.EnabledMissionLower);
    json.Key("crafts");
    json.BeginArray();
    for (int craft = 1; craft <= kCraftCount; ++craft) {
        WriteCraft(preview, craft, json);
    }
    json.EndArray();
    json.EndObject();
    PrintOut(json.Text() + "\n");
    return kExitSuccess;
}

int RunCraftFind(const Invocation& invocation) {
    int status = kExitUsage;
    const auto craft = CraftNumberOf(invocation, status);
    if (!craft) {
        return status;
    }
    const std::string folder = GameFolderOf(invocation.arguments[0]);
    CraftPreview preview;
    if (!preview.Load(folder)) {
        return NeedVersion();
    }
    const auto lines = ReadResourceListLines(folder);
    if (!lines) {
        PrintError("resdata.txt is too large to be a resource list\n");
        return kExitFailure;
    }
    const CraftPictures found = FindPicturesOfCraft(preview.Tables(), *craft, *lines, folder);
    JsonWriter json;
    json.BeginObject();
    WritePicture("HULL", found.hull, json);
    WritePicture("MAP", found.map, json);
    WritePicture("SHIP", found.ship, json);
    json.EndObject();
    PrintOut(json.Text() + "\n");
    return kExitSuccess;
}

int RunCraftSet(const Invocation& invocation) {
    int status = kExitUsage;
    const auto craft = CraftNumberOf(invocation, status);
    if (!craft) {
        return status;
    }
    CraftEdit edit;
    if (!ReadEdit(invocation, *craft, edit)) {
        return kExitFailure;
    }
    CraftPreview preview;
    if (!preview.Load(GameFolderOf(invocation.arguments[0]))) {
        return NeedVersion();
    }
    // The Save makes the executable's backup before its first change, as the Preview's does.
    return ReportSave(preview.Save(*craft, edit), preview);
}

}  // namespace vexlor::cli
