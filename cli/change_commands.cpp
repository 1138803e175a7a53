#include "cli/change_commands.h"

#include <string>
#include <vector>

#include "cli/editor_commands.h"
#include "cli/json_writer.h"
#include "library/bmp_file.h"
#include "library/change_journal.h"
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
    }
    return nothing;
}

int TakeBack(const Invocation& invocation, bool undo) {
    const std::string& path = invocation.arguments[0];
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
    const std::string& image = invocation.arguments[3];
    BmpPicture bitmap;
    if (!ReadBmpFile(image, bitmap)) {
        PrintError("Cannot load " + image + " as a bitmap\n");
        return kExitFailure;
    }
    if (!logic->CheckStagedBmp(bitmap)) {
        PrintError(std::string(logic->Constants().rejectionText) + "\n");
        return kExitFailure;
    }
    const ChangeOutcome outcome = logic->ReplacePicture(*row, bitmap.indexed);
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
    JsonWriter json;
    json.BeginObject();
    WriteEntries("undo", journal.UndoList(), json);
    WriteEntries("redo", journal.RedoList(), json);
    json.EndObject();
    PrintOut(json.Text() + "\n");
    return kExitSuccess;
}

}  // namespace vexlor::cli
