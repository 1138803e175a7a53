#include "cli/editor_commands.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "cli/json_writer.h"
#include "cli/terminal_progress.h"
#include "editors/library_editor_logic.h"
#include "editors/mission_editor_logic.h"
#include "library/utf8_path.h"
#include "platform/path_resolver.h"
#include "platform/program_path.h"
#include "platform/working_folder.h"

namespace vexlor::cli {

namespace {

// Found out once, on first use: only the commands that default to OutPut or SHIP.tmp try
// whether the program folder can be written.
const std::string& WorkingFolderHere() {
    static const std::string folder = WorkingFolder(ProgramFolder(nullptr));
    return folder;
}

std::string DefaultOutputFolder() {
    const std::string folder = ResolvePath(WorkingFolderHere(), "Output");
    std::error_code ignored;
    if (!std::filesystem::exists(PathFromUtf8(folder), ignored)) {
        // The editor's start-up makes this folder as "OutPut"; do the same when it is missing.
        const std::string made = WorkingFolderHere() + "OutPut";
        std::filesystem::create_directory(PathFromUtf8(made), ignored);
        return made;
    }
    return folder;
}

void WriteRows(const LibraryEditorLogic& logic, const PictureList& list, JsonWriter& json) {
    json.Key("rows");
    json.BeginArray();
    for (std::size_t k = 0; k < list.entries.size(); ++k) {
        const tIMAGE& image = list.entries[k].image;
        json.BeginObject();
        json.Field("row", k);
        json.Field("caption", logic.CaptionOf(image));
        json.Field("type", logic.TypeWordOf(image));
        json.Field("width", image.BlockWidth);
        json.Field("height", image.BlockHeight);
        json.EndObject();
    }
    json.EndArray();
}

void WriteHighest(const PictureList& list, JsonWriter& json) {
    json.Key("highest");
    json.BeginObject();
    json.Field("BATTLE", list.highest.battle);
    json.Field("MISSION", list.highest.mission);
    json.Field("mission", list.highest.missionLower);
    json.EndObject();
}

void WriteDuplicate(const LibraryEditorLogic& logic, const PictureList& list,
                    std::vector<std::pair<int, int>>::const_iterator first,
                    std::vector<std::pair<int, int>>::const_iterator end, JsonWriter& json) {
    const tIMAGE& image = list.entries[static_cast<std::size_t>(first->second)].image;
    json.BeginObject();
    json.Field("caption", std::string_view(logic.CaptionOf(image)));
    json.Field("type", std::string_view(logic.TypeWordOf(image)));
    json.Key("rows");
    json.BeginArray();
    for (auto carrier = first; carrier != end; ++carrier) {
        json.Number(carrier->second);
    }
    json.EndArray();
    json.EndObject();
}

// Identifiers that more than one picture carries, with the rows that carry them: the game
// finds only one of them.
void WriteDuplicates(const LibraryEditorLogic& logic, const PictureList& list, JsonWriter& json) {
    // (identifier, row), sorted: each identifier's rows side by side, in row order.
    std::vector<std::pair<int, int>> carriers;
    carriers.reserve(list.entries.size());
    for (std::size_t row = 0; row < list.entries.size(); ++row) {
        carriers.emplace_back(logic.IdentifierOf(list.entries[row].image), static_cast<int>(row));
    }
    std::sort(carriers.begin(), carriers.end());
    json.Key("duplicates");
    json.BeginArray();
    for (auto first = carriers.begin(); first != carriers.end();) {
        const auto end = std::find_if(first, carriers.end(), [first](const auto& carrier) {
            return carrier.first != first->first;
        });
        if (end - first >= 2) {
            WriteDuplicate(logic, list, first, end, json);
        }
        first = end;
    }
    json.EndArray();
}

const char* DescribeWrite(WriteResult result) {
    switch (result) {
        case WriteResult::Ok:
            return "written";
        case WriteResult::CannotOpen:
            return "the library cannot be opened for writing";
        case WriteResult::NotALibrary:
            return "the library lacks the header or group that the append needs";
        case WriteResult::Full:
            return "the library cannot hold another picture";
        case WriteResult::WriteFailed:
            return "the library could not be written; it was left as it was";
        case WriteResult::Unencodable:
            return "the picture cannot be encoded";
        case WriteResult::NotRecorded:
            return "the change could not be recorded";
        case WriteResult::Changed:
            return "the library was changed by another program meanwhile; it was left as it was";
        case WriteResult::HardLinked:
            return "the library or its copy has other hard links, so it was not changed";
        case WriteResult::ReadOnly:
            return "the library is read-only (it has no write permission), so it was not changed";
    }
    return "failed";
}

}  // namespace

// The editor logic for the command's KIND and FILE, or a usage error.
std::unique_ptr<LibraryEditorLogic> LogicFor(const Invocation& invocation, int& usageStatus) {
    EditorKind kind;
    if (!EditorKindFromName(invocation.arguments[0].c_str(), kind)) {
        usageStatus = invocation.UsageError("unknown KIND " + invocation.arguments[0]);
        return nullptr;
    }
    // Only a SHIP library keeps a copy; the other kinds never look at the path.
    const std::optional<std::string> named = invocation.Option("--tmp");
    std::string copyPath;
    if (named) {
        copyPath = *named;
    } else if (kind == EditorKind::Ship) {
        copyPath = ResolvePath(WorkingFolderHere(), "SHIP.tmp");
    }
    return MakeEditorLogic(kind, invocation.arguments[1], copyPath);
}

std::string FileNameOf(const std::string& path) {
    return Utf8Of(PathFromUtf8(path).filename());
}

int CannotOpen(const std::string& path) {
    PrintError("Cannot open " + path + "\n");
    return kExitFailure;
}

std::optional<int> ParseRow(const std::string& text) {
    const auto row = ParseInteger(text);
    return row && *row >= 0 ? row : std::nullopt;
}

std::optional<std::vector<int>> ParseRows(const Invocation& invocation, std::size_t first,
                                          int& usageStatus) {
    std::vector<int> rows;
    for (std::size_t k = first; k < invocation.arguments.size(); ++k) {
        const auto row = ParseRow(invocation.arguments[k]);
        if (!row) {
            usageStatus = invocation.UsageError("ROW must be a row number from 0: " +
                                                invocation.arguments[k]);
            return std::nullopt;
        }
        rows.push_back(*row);
    }
    return rows;
}

int RunList(const Invocation& invocation) {
    int usage = kExitUsage;
    const auto logic = LogicFor(invocation, usage);
    if (!logic) {
        return usage;
    }
    TerminalProgress progress("Reading");
    const PictureList list = logic->LoadPictureList(std::ref(progress));
    if (!list.opened) {
        return CannotOpen(logic->LibraryPath());
    }
    JsonWriter json(stdout);
    json.BeginObject();
    json.Field("editable", list.editable);
    json.Field("count", list.PictureCount());
    WriteRows(*logic, list, json);
    json.Field("suggested", logic->SuggestedIdentifier(list));
    if (logic->Constants().kind == EditorKind::Mission) {
        WriteHighest(list, json);
    }
    WriteDuplicates(*logic, list, json);
    json.Key("problems");
    json.BeginArray();
    if (list.status != ReadStatus::Ok) {
        json.String(DescribeReadStatus(list.status));
    }
    json.EndArray();
    json.EndObject();
    json.Flush();
    PrintOut("\n");
    return kExitSuccess;
}

int RunExport(const Invocation& invocation) {
    int usage = kExitUsage;
    const auto logic = LogicFor(invocation, usage);
    if (!logic) {
        return usage;
    }
    const auto parsed = ParseRows(invocation, 2, usage);
    if (!parsed) {
        return usage;
    }
    std::vector<int> rows = *parsed;
    // Rows named: the list need only go as far as the last of them to tell which exist.
    std::optional<int> mostRows;
    if (!rows.empty()) {
        const int last = *std::max_element(rows.begin(), rows.end());
        mostRows = last < std::numeric_limits<int>::max() ? last + 1 : last;
    }
    const PictureList list = logic->LoadPictureList({}, mostRows);
    if (!list.opened) {
        return CannotOpen(logic->LibraryPath());
    }
    bool failed = false;
    if (invocation.arguments.size() == 2) {
        for (int row = 0; row < list.PictureCount(); ++row) {
            rows.push_back(row);
        }
    }
    for (int row : rows) {
        if (row >= list.PictureCount()) {
            PrintError("There is no picture in row " + std::to_string(row) + "\n");
            failed = true;
        }
    }
    const auto out = invocation.Option("--out");
    if (out) {
        std::error_code ignored;  // a folder that cannot be made shows in every file's failure
        std::filesystem::create_directories(PathFromUtf8(*out), ignored);
    }
    const std::string folder = out.value_or(DefaultOutputFolder());
    TerminalProgress progress("Exporting: looked at");
    const ExportFormat format = invocation.Flag("--png") ? ExportFormat::Png : ExportFormat::Bmp;
    const ExportResult result =
        logic->ExportPictures(rows, folder, std::ref(progress), format, &list);
    if (!result.opened) {
        return CannotOpen(logic->LibraryPath());
    }
    for (const std::string& path : result.written) {
        PrintOut(path + "\n");
    }
    for (const std::string& path : result.failed) {
        PrintError("Could not write " + path + "\n");
    }
    return failed || !result.failed.empty() ? kExitFailure : kExitSuccess;
}

int RunAppend(const Invocation& invocation) {
    int usage = kExitUsage;
    const auto logic = LogicFor(invocation, usage);
    if (!logic) {
        return usage;
    }
    const auto idText = invocation.Option("--id");
    if (!idText) {
        return invocation.UsageError("--id N is required");
    }
    if (invocation.Option("--tmp") && logic->Constants().kind != EditorKind::Ship) {
        return invocation.UsageError("--tmp is for ship libraries only");
    }
    const PictureList list = logic->LoadPictureList();
    if (!list.opened) {
        return CannotOpen(logic->LibraryPath());
    }
    if (!list.editable) {
        PrintError(logic->LibraryPath() + " is read-only in the " +
                   std::string(CommandNameOf(logic->Constants().kind)) +
                   " editor: its LibraryKind is another kind's\n");
        return kExitFailure;
    }
    BmpPicture bitmap;
    if (!ReadBmpFile(invocation.arguments[2], bitmap)) {
        PrintError("Cannot load " + invocation.arguments[2] + " as a bitmap\n");
        return kExitFailure;
    }
    if (!logic->CheckStagedBmp(bitmap)) {
        PrintError(std::string(logic->Constants().rejectionText) + "\n");
        return kExitFailure;
    }
    const auto value = ParseInteger(*idText);
    const auto series = SeriesOfWidth(bitmap.indexed.width);
    if (!value || !logic->IsValidIdentifier(*value, series)) {
        PrintError("Not a valid identifier for this picture: " + *idText + "\n");
        return kExitFailure;
    }
    return AppendStaged(*logic, bitmap.indexed, *value, "append");
}

int AppendStaged(const LibraryEditorLogic& logic, const ImageToAdd& staged, int value,
                 const std::string& command) {
    const AppendOutcome outcome = logic.AppendPicture(staged, value, command);
    // The library's permissions and names keep every writer off it with the same words.
    const bool kept =
        outcome.result == WriteResult::ReadOnly || outcome.result == WriteResult::HardLinked;
    if (kept && !outcome.message.empty()) {
        PrintError(outcome.message + "\n");
        return kExitFailure;
    }
    if (outcome.result != WriteResult::Ok) {
        PrintError("Append failed: " +
                   (outcome.message.empty() ? std::string(DescribeWrite(outcome.result))
                                            : outcome.message) +
                   "\n");
        return kExitFailure;
    }
    PrintOut(std::to_string(outcome.storedIdentifier) + "\n");
    return kExitSuccess;
}

int RunRenumber(const Invocation& invocation) {
    int usage = kExitUsage;
    const auto logic = LogicFor(invocation, usage);
    if (!logic) {
        return usage;
    }
    const auto row = ParseRow(invocation.arguments[2]);
    if (!row) {
        return invocation.UsageError("ROW must be a row number from 0: " + invocation.arguments[2]);
    }
    const PictureList list = logic->LoadPictureList();
    if (!list.opened) {
        return CannotOpen(logic->LibraryPath());
    }
    if (!list.editable) {
        PrintError(logic->LibraryPath() + " is read-only in the " +
                   std::string(CommandNameOf(logic->Constants().kind)) + " editor\n");
        return kExitFailure;
    }
    if (*row >= list.PictureCount()) {
        PrintError("There is no picture in row " + std::to_string(*row) + "\n");
        return kExitFailure;
    }
    const std::string& oldText = invocation.arguments[3];
    const std::string& newText = invocation.arguments[4];
    const std::string typeWord =
        logic->TypeWordOf(list.entries[static_cast<std::size_t>(*row)].image);
    const auto rename = logic->AcceptRename(*row, oldText, newText, typeWord);
    if (!rename) {
        PrintError("Not a valid identifier: " + newText + "; the caption reverts\n");
        return kExitFailure;
    }
    if (!rename->startTimer) {
        PrintError("The old caption " + oldText + " is not a number; nothing was written\n");
        return kExitFailure;
    }
    const RenumberResult result =
        logic->WritePictureId(rename->position, rename->oldIdentifier, rename->newIdentifier);
    switch (result) {
        case RenumberResult::Written:
            return kExitSuccess;
        case RenumberResult::Mismatch:
        case RenumberResult::NoRecord:
            PrintError("The picture in row " + std::to_string(*row) + " no longer carries " +
                       oldText + "; nothing was written\n");
            return kExitFailure;
        case RenumberResult::CannotOpen:
            return CannotOpen(logic->LibraryPath());
        case RenumberResult::WriteFailed:
            break;
        case RenumberResult::NotRecorded:
            PrintError("The change could not be recorded, or another Vexlor is writing " +
                       logic->LibraryPath() + "; nothing was written\n");
            return kExitFailure;
        case RenumberResult::ReadOnly:
        case RenumberResult::HardLinked:
            PrintError((result == RenumberResult::ReadOnly ? ReadOnlyText : HardLinkedText)(
                           FileNameOf(logic->LibraryPath())) +
                       "\n");
            return kExitFailure;
    }
    PrintError("The new number could not be written\n");
    return kExitFailure;
}

}  // namespace vexlor::cli
