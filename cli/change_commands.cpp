#include "cli/change_commands.h"

#include <string>
#include <vector>

#include "cli/editor_commands.h"
#include "cli/import_commands.h"
#include "cli/json_writer.h"
#include "editors/picture_import.h"
#include "library/bmp_file.h"
#include "library/change_journal.h"
#include "library/write_access.h"
#include "pictures/picture_files.h"
#include "platform/state_folder.h"

namespace vexlor::cli {

namespace {

// The logic for a change of a KIND's library that the KIND editor may change; nothing, with
// the status to return, otherwise.
std::unique_ptr<LibraryEditorLogic> EditableLogic(const Invocation& invocation, int& status) {
    auto logic = LogicFor(invocation, status);
    if (!logic) {
        return nullptr;
    }
    tHEADER header{};
    if (!ReadLibraryHeader(logic->LibraryPath(), header)) {
        status = CannotOpen(logic->LibraryPath());
        return nullptr;
    }
    if (header.LibraryKind != static_cast<std::uint32_t>(logic->Constants().editableKind)) {
        PrintError(logic->LibraryPath() + " is read-only in the " +
                   std::string(CommandNameOf(logic->Constants().kind)) +
                   " editor: its LibraryKind is another kind's\n");
        status = kExitFailure;
        return nullptr;
    }
    return logic;
}

// IMAGE as Replace takes it: an 8-bit BMP of the kind's and the record's size as Import BMP
// stages it, any other picture converted to the size of the record it replaces. Nothing, said on
// standard error, when it cannot be.
std::optional<ImageToAdd> StageForReplace(const LibraryEditorLogic& logic, int row,
                                          const std::string& image, const ImportOptions& options) {
    tIMAGE record{};
    if (!logic.ReadRecordOfRow(row, record)) {
        PrintError("There is no picture in row " + std::to_string(row) + "\n");
        return std::nullopt;
    }
    // A BATTLE/MISSION bitmap of another series' size is fitted like any other picture.
    BmpPicture bitmap;
    if (ReadBmpFile(image, bitmap) && logic.CheckStagedBmp(bitmap) &&
        static_cast<std::uint32_t>(bitmap.indexed.width) == record.BlockWidth &&
        static_cast<std::uint32_t>(bitmap.indexed.height) == record.BlockHeight) {
        return ImageToAdd(std::move(bitmap.indexed));
    }
    const EditorKind kind = logic.Constants().kind;
    const ImportSize size = ImportSizeOfRecord(kind, record.BlockWidth, record.BlockHeight);
    if (options.series && options.series != size.series) {
        PrintError("The picture in row " + std::to_string(row) + " is not a " +
                   InfoOf(*options.series).word + " picture\n");
        return std::nullopt;
    }
    RgbaPicture picture;
    std::string error;
    if (!ReadPictureFile(image, picture, error)) {
        PrintError(error + "\n");
        return std::nullopt;
    }
    const auto converted = ConvertPicture(picture, size.width, size.height,
                                          ConversionOptionsFor(kind, options.conversion));
    if (!converted) {
        PrintError("Cannot convert the picture " + image + " to " + std::to_string(size.width) +
                   " x " + std::to_string(size.height) + "\n");
        return std::nullopt;
    }
    return StageConverted(*converted);
}

int Failed(const ChangeOutcome& outcome) {
    PrintError(outcome.message + "\n");
    return kExitFailure;
}

std::string JournalFailureText(JournalResult result, const std::string& path, bool undo) {
    const std::string nothing = undo ? "nothing was undone" : "nothing was redone";
    switch (result) {
        case JournalResult::Done:
            return {};
        case JournalResult::Busy:
            return path + " is being written by another Vexlor; " + nothing;
        case JournalResult::CannotRecord:
            return "The change journal in " + JournalFolder() + " cannot be used; " + nothing;
        case JournalResult::Nothing:
            return undo ? "There is nothing to undo for " + path
                        : "There is nothing to redo for " + path;
        case JournalResult::ChangedSince:
            return path + " was changed by another program since Vexlor last wrote it; " + nothing;
        case JournalResult::WriteFailed:
            return "Writing " + path + " failed; it was left as it was";
        case JournalResult::Damaged:
        case JournalResult::OtherLibrary:
        case JournalResult::LockNotAFile:
        case JournalResult::NotOwnFolder:
            return DescribeJournalRefusal(result, JournalFolder(), path, nothing);
    }
    return nothing;
}

int TakeBack(const Invocation& invocation, bool undo) {
    const std::string& path = invocation.arguments[0];
    if (const std::string kept = WriteRefusalText(WriteAccessOf(path), FileNameOf(path));
        !kept.empty()) {
        PrintError(kept + "\n");
        return kExitFailure;
    }
    ChangeJournal journal(JournalFolder(), path);
    JournalEntry entry;
    const JournalResult result = journal.Status() != JournalResult::Done ? journal.Status()
                                 : undo                                  ? journal.Undo(entry)
                                                                         : journal.Redo(entry);
    if (result != JournalResult::Done) {
        PrintError(JournalFailureText(result, path, undo) + "\n");
        return kExitFailure;
    }
    PrintOut(entry.what + "\n");
    return kExitSuccess;
}

void WriteEntries(const char* key, const std::vector<JournalEntry>& entries, JsonWriter& json) {
    json.Key(key);
    json.BeginArray();
    for (const JournalEntry& entry : entries) {
        json.BeginObject();
        json.Field("what", std::string_view(entry.what));
        json.Field("when", std::string_view(entry.when));
        json.EndObject();
    }
    json.EndArray();
}

}  // namespace

int RunDelete(const Invocation& invocation) {
    int status = kExitUsage;
    const auto rows = ParseRows(invocation, 2, status);
    if (!rows) {
        return status;
    }
    const auto logic = EditableLogic(invocation, status);
    if (!logic) {
        return status;
    }
    const ChangeOutcome outcome = logic->DeletePictures(*rows);
    if (!outcome.done) {
        return Failed(outcome);
    }
    PrintOut(std::to_string(rows->size()) + "\n");
    return kExitSuccess;
}

int RunReplace(const Invocation& invocation) {
    const auto row = ParseRow(invocation.arguments[2]);
    if (!row) {
        return invocation.UsageError("ROW must be a row number from 0: " + invocation.arguments[2]);
    }
    int status = kExitUsage;
    const auto logic = EditableLogic(invocation, status);
    if (!logic) {
        return status;
    }
    const auto options = ParseImportOptions(invocation, logic->Constants().kind, status);
    if (!options) {
        return status;
    }
    const std::optional<ImageToAdd> staged =
        StageForReplace(*logic, *row, invocation.arguments[3], *options);
    if (!staged) {
        return kExitFailure;
    }
    const ChangeOutcome outcome = logic->ReplacePicture(*row, *staged);
    if (!outcome.done) {
        return Failed(outcome);
    }
    return kExitSuccess;
}

int RunUndo(const Invocation& invocation) {
    return TakeBack(invocation, true);
}

int RunRedo(const Invocation& invocation) {
    return TakeBack(invocation, false);
}

int RunHistory(const Invocation& invocation) {
    const std::string& path = invocation.arguments[0];
    ChangeJournal journal(JournalFolder(), path);
    if (journal.Status() == JournalResult::Busy) {
        PrintError(path + " is being written by another Vexlor; try again\n");
        return kExitFailure;
    }
    if (journal.Status() == JournalResult::LockNotAFile ||
        journal.Status() == JournalResult::NotOwnFolder) {
        PrintError(DescribeJournalRefusal(journal.Status(), JournalFolder(), path,
                                          "its history is not shown") +
                   "\n");
        return kExitFailure;
    }
    JsonWriter json;
    json.BeginObject();
    WriteEntries("undo", journal.UndoList(), json);
    WriteEntries("redo", journal.RedoList(), json);
    json.EndObject();
    PrintOut(json.Text() + "\n");
    return kExitSuccess;
}

}  // namespace vexlor::cli
