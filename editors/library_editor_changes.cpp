// The editors' changes that the change journal records: append, renumber, delete, replace, and
// their undo and redo. Each runs inside one ChangeJournal, which holds the library's lock from
// the read that the change is planned from to its last write.

#include <algorithm>
#include <filesystem>
#include <limits>

#include "editors/editor_messages.h"
#include "editors/library_editor_logic.h"
#include "library/byte_file.h"
#include "library/creation.h"
#include "library/library_reader.h"
#include "library/utf8_path.h"

namespace vexlor {

namespace {

int PictureIdOf(const tIMAGE& image) {
    return image.PictureId;
}

int GroupIdOf(const tIMAGE& image) {
    return image.GroupId;
}

std::string FileNameOf(const std::string& path) {
    return Utf8Of(PathFromUtf8(path).filename());
}

std::string WhatOf(const std::string& verb, const std::vector<int>& identifiers) {
    std::string what = verb;
    for (int identifier : identifiers) {
        // A delete of thousands names the first hundred; the journal's line stays short.
        if (what.size() > 600) {
            what += " ...";
            break;
        }
        what += " " + std::to_string(identifier);
    }
    return what;
}

// The record at a row, read under the journal's lock; false when the row is not in the file.
bool ReadRecordAt(const std::string& path, const LibraryLayout& layout, int row, tIMAGE& image) {
    LibraryReader reader;
    if (row < 0 || !reader.Open(path) || reader.HeaderStatus() != ReadStatus::Ok) {
        return false;
    }
    if (layout.recordsStart == RecordsStart::AfterFirstGroup) {
        reader.SeekRecords(tHEADER::kSize + tGROUP::kSize);
    }
    ImageRecord record;
    while (reader.NextRecord(record)) {
        if (record.position == row + 1) {
            image = record.image;
            return true;
        }
    }
    return false;
}

// A library that is not there or cannot be read ends the Parts' commands quietly, as before.
bool CanOpen(const std::string& path) {
    ByteFile file;
    return file.Open(path, ByteFile::Mode::Read);
}

std::string PlanFailureText(PlanResult result, const std::string& fileName,
                            const std::string& action) {
    switch (result) {
        case PlanResult::Ok:
            return {};
        case PlanResult::CannotRead:
            return "Cannot read " + fileName + "; " + action;
        case PlanResult::NotALibrary:
            return fileName + " is damaged (its counts, sizes and records disagree); " + action;
        case PlanResult::NoSuchRow:
            return fileName + " has no such picture any more; press Refresh; " + action;
        case PlanResult::Full:
            return fileName + " is full (a count or size would overflow); " + action;
    }
    return action;
}

}  // namespace

LibraryLayout LibraryEditorLogic::Layout() const {
    switch (constants_.kind) {
        case EditorKind::Ship:
            return {RecordsStart::AfterGroupTable, true};
        case EditorKind::Mission:
            return {RecordsStart::AfterFirstGroup, false};
        case EditorKind::Hull:
        case EditorKind::Map:
            break;
    }
    return {RecordsStart::AfterGroupTable, false};
}

// A library that may not be written is refused before anything is planned or recorded, by every
// change alike: its permissions are the user's word that it stays as it is.
ChangeOutcome LibraryEditorLogic::KeptFromWriting(int row) const {
    const WriteAccess access = WriteAccessOf(path_);
    const std::string refusal = WriteRefusalText(access, FileNameOf(path_));
    if (refusal.empty()) {
        return {};
    }
    return {false, refusal, "", row, access};
}

std::string LibraryEditorLogic::JournalFailure(JournalResult result,
                                               const std::string& action) const {
    return DescribeJournalRefusal(result, journalFolder_, FileNameOf(path_), action);
}

ChangeOutcome LibraryEditorLogic::MakeChange(
    const std::string& verb, int row, std::optional<ChangeWrite> how,
    const std::function<ChangePlan(ByteFile&)>& plan,
    const std::function<bool(const Splices&, std::uint64_t)>& make) const {
    const std::string refused = "nothing was changed";
    // Before the journal, whose opening may finish a stopped change in the library.
    if (ChangeOutcome kept = KeptFromWriting(row); kept.access != WriteAccess::Allowed) {
        return kept;
    }
    ChangeJournal journal(journalFolder_, path_);
    if (journal.Status() != JournalResult::Done) {
        return {false, JournalFailure(journal.Status(), refused), "", row};
    }
    ChangePlan planned;
    std::uint64_t sizeBefore = 0;
    {
        ByteFile file;
        tHEADER header{};
        if (!file.Open(journal.LibraryPath(), ByteFile::Mode::Read)) {
            return {false, CannotOpenText(FileNameOf(path_), refused), "", row};
        }
        // The library may have been replaced by one of another kind since Refresh.
        std::uint8_t bytes[tHEADER::kSize];
        if (!file.ReadExactAt(0, bytes, sizeof bytes) ||
            (header = tHEADER::Decode(bytes)).LibraryKind !=
                static_cast<std::uint32_t>(constants_.editableKind)) {
            return {false,
                    FileNameOf(path_) + " is no longer a library of this editor's kind; " + refused,
                    "", row};
        }
        const auto size = file.CheckedSize();
        if (!size) {
            return {false, CannotOpenText(FileNameOf(path_), refused), "", row};
        }
        sizeBefore = *size;
        planned = plan(file);
    }
    if (planned.result != PlanResult::Ok) {
        return {false, PlanFailureText(planned.result, FileNameOf(path_), refused), "", row};
    }
    const std::string what = WhatOf(verb, planned.identifiers);
    const int entryRow = planned.row >= 0 ? planned.row : row;
    const JournalResult result = journal.Record(
        what, entryRow, planned.splices, how.value_or(HowToMake(planned.splices, sizeBefore)),
        [&] { return make(planned.splices, sizeBefore); });
    if (result != JournalResult::Done) {
        return {false, JournalFailure(result, refused), what, entryRow};
    }
    return {true, "", what, entryRow};
}

namespace {

WriteResult WriteResultOf(const ChangeOutcome& outcome, WriteResult writerResult) {
    return outcome.done ? WriteResult::Ok : writerResult;
}

}  // namespace

AppendOutcome LibraryEditorLogic::AppendPicture(const ImageToAdd& staged, int value,
                                                const std::string& verb) const {
    const auto encoded = EncodeStaged(staged, value);
    if (!encoded) {
        return {WriteResult::Unencodable, 0, {}};
    }
    if (!CanOpen(path_)) {
        return {WriteResult::CannotOpen, 0, {}};
    }
    const bool ship = Layout().groupPerPicture;
    const int identifier = ship ? encoded->record.GroupId : encoded->record.PictureId;
    WriteResult writerResult = WriteResult::NotRecorded;
    PlanResult planResult = PlanResult::Ok;
    const auto plan = [&](ByteFile& file) {
        ChangePlan planned =
            ship ? PlanShipAppend(file, encoded->record.GroupId, encoded->palette, encoded->pixels)
                 : PlanSingleGroupAppend(file, Layout(), encoded->record, encoded->palette,
                                         encoded->pixels);
        planResult = planned.result;
        planned.identifiers = {identifier};
        std::uint8_t bytes[tHEADER::kSize];
        if (file.ReadExactAt(0, bytes, sizeof bytes)) {
            planned.row = tHEADER::Decode(bytes).ImageCount;  // the new last row
        }
        return planned;
    };
    const auto make = [&](const Splices& splices, std::uint64_t sizeBefore) {
        writerResult = ship ? AppendToShipLibrary(path_, ShipCopyPath(), encoded->record.GroupId,
                                                  encoded->palette, encoded->pixels)
                       : MakeSplices(path_, sizeBefore, splices) ? WriteResult::Ok
                                                                 : WriteResult::WriteFailed;
        return writerResult == WriteResult::Ok;
    };
    const ChangeOutcome outcome =
        MakeChange(verb, -1, ship ? ChangeWrite::ByRename : ChangeWrite::InPlace, plan, make);
    AppendOutcome result{WriteResultOf(outcome, writerResult), identifier, {}};
    if (outcome.access != WriteAccess::Allowed) {
        result.result = outcome.access == WriteAccess::ReadOnly ? WriteResult::ReadOnly
                                                                : WriteResult::HardLinked;
        result.message = outcome.message;
        return result;
    }
    if (!outcome.done && planResult != PlanResult::Ok) {
        result.result =
            planResult == PlanResult::Full ? WriteResult::Full : WriteResult::NotALibrary;
    }
    // The writer's own result says best what went wrong in its write; the journal's words say why
    // it did not run.
    if (result.result == WriteResult::NotRecorded) {
        result.message = outcome.message;
    }
    return result;
}

RenumberResult LibraryEditorLogic::WritePictureId(int position, int oldIdentifier,
                                                  int newIdentifier) const {
    if (!CanOpen(path_)) {
        return RenumberResult::CannotOpen;
    }
    PlanResult planResult = PlanResult::Ok;
    int imageCount = 0;
    const auto plan = [&](ByteFile& file) {
        std::uint8_t bytes[tHEADER::kSize];
        if (file.ReadExactAt(0, bytes, sizeof bytes)) {
            imageCount = tHEADER::Decode(bytes).ImageCount;
        }
        ChangePlan planned = PlanRenumber(file, Layout(), position, oldIdentifier, newIdentifier);
        planResult = planned.result;
        planned.identifiers = {oldIdentifier, newIdentifier};
        return planned;
    };
    bool tried = false;
    const auto make = [&](const Splices& splices, std::uint64_t sizeBefore) {
        tried = true;
        return MakeSplices(path_, sizeBefore, splices);
    };
    const ChangeOutcome outcome =
        MakeChange("renumber", position - 1, ChangeWrite::InPlace, plan, make);
    if (outcome.done) {
        return RenumberResult::Written;
    }
    if (outcome.access != WriteAccess::Allowed) {
        return outcome.access == WriteAccess::ReadOnly ? RenumberResult::ReadOnly
                                                       : RenumberResult::HardLinked;
    }
    switch (planResult) {
        case PlanResult::Ok:
            break;
        case PlanResult::NoSuchRow:
            return position >= 1 && position <= imageCount ? RenumberResult::Mismatch
                                                           : RenumberResult::NoRecord;
        case PlanResult::CannotRead:
            return RenumberResult::CannotOpen;
        case PlanResult::NotALibrary:
        case PlanResult::Full:
            return RenumberResult::NoRecord;
    }
    return tried ? RenumberResult::WriteFailed : RenumberResult::NotRecorded;
}

ChangeOutcome LibraryEditorLogic::DeletePictures(const std::vector<int>& rows) const {
    const auto identifierOf = Layout().groupPerPicture ? GroupIdOf : PictureIdOf;
    const auto plan = [&](ByteFile& file) {
        return PlanDelete(file, Layout(), rows, identifierOf);
    };
    const auto make = [&](const Splices& splices, std::uint64_t sizeBefore) {
        return MakeSplices(path_, sizeBefore, splices);
    };
    const int first = rows.empty() ? -1 : *std::min_element(rows.begin(), rows.end());
    return MakeChange("delete", first, std::nullopt, plan, make);
}

bool LibraryEditorLogic::ReadRecordOfRow(int row, tIMAGE& image) const {
    return row >= 0 && ReadRecordAt(path_, Layout(), row, image);
}

ChangeOutcome LibraryEditorLogic::ReplacePicture(int row, const ImageToAdd& staged) const {
    const auto encoded = EncodeStaged(staged, 0);
    if (!encoded) {
        return {false, "The staged picture cannot be encoded; nothing was changed", "", row};
    }
    const auto identifierOf = Layout().groupPerPicture ? GroupIdOf : PictureIdOf;
    std::string sizeRefusal;
    const auto plan = [&](ByteFile& file) {
        tIMAGE old{};
        if (!ReadRecordAt(path_, Layout(), row, old)) {
            return ChangePlan{PlanResult::NoSuchRow, {}, {}};
        }
        if (old.BlockWidth != encoded->record.BlockWidth ||
            old.BlockHeight != encoded->record.BlockHeight) {
            sizeRefusal = "The staged picture is " + std::to_string(encoded->record.BlockWidth) +
                          " x " + std::to_string(encoded->record.BlockHeight) +
                          "; the picture in row " + std::to_string(row + 1) + " is " +
                          std::to_string(old.BlockWidth) + " x " + std::to_string(old.BlockHeight) +
                          "; nothing was changed";
            return ChangePlan{PlanResult::NoSuchRow, {}, {}};
        }
        tIMAGE record = encoded->record;
        record.GroupId = old.GroupId;
        record.PictureId = old.PictureId;
        return PlanReplace(file, Layout(), row, record, encoded->palette, encoded->pixels,
                           identifierOf);
    };
    const auto make = [&](const Splices& splices, std::uint64_t sizeBefore) {
        return MakeSplices(path_, sizeBefore, splices);
    };
    ChangeOutcome outcome = MakeChange("replace", row, std::nullopt, plan, make);
    if (!sizeRefusal.empty()) {
        outcome.message = sizeRefusal;
    }
    return outcome;
}

ChangeOutcome LibraryEditorLogic::MoveInJournal(bool undo) const {
    if (ChangeOutcome kept = KeptFromWriting(-1); kept.access != WriteAccess::Allowed) {
        return kept;
    }
    ChangeJournal journal(journalFolder_, path_);
    JournalEntry entry;
    const JournalResult result = undo ? journal.Undo(entry) : journal.Redo(entry);
    if (result != JournalResult::Done) {
        return {false, JournalFailure(result, undo ? "nothing was undone" : "nothing was redone"),
                entry.what, entry.row};
    }
    return {true, "", entry.what, entry.row};
}

ChangeOutcome LibraryEditorLogic::UndoChange() const {
    return MoveInJournal(true);
}

ChangeOutcome LibraryEditorLogic::RedoChange() const {
    return MoveInJournal(false);
}

std::string LibraryEditorLogic::NextUndo() const {
    return NextUndoOf(journalFolder_, path_);
}

std::string LibraryEditorLogic::NextRedo() const {
    return NextRedoOf(journalFolder_, path_);
}

bool CreateLibraryRecorded(LibraryKind kind, const std::string& path,
                           const std::string& journalFolder) {
    std::error_code error;
    if (!std::filesystem::exists(PathFromUtf8(path), error)) {
        return CreateLibrary(kind, path);
    }
    ChangeJournal journal(journalFolder, path);
    ByteFile file;
    std::string old;
    if (journal.Status() != JournalResult::Done ||
        !file.Open(journal.LibraryPath(), ByteFile::Mode::Read)) {
        return false;
    }
    const auto size = file.CheckedSize();
    if (!size || *size > std::numeric_limits<std::size_t>::max() / 2) {
        return false;
    }
    old.resize(static_cast<std::size_t>(*size));
    if (!file.ReadExactAt(0, old.data(), old.size())) {
        return false;
    }
    file.Close();
    const Splices splices = {{0, std::move(old), EmptyLibraryBytes(kind)}};
    return journal.Record("create", -1, splices, ChangeWrite::ByRename,
                          [&] { return CreateLibrary(kind, path); }) == JournalResult::Done;
}

}  // namespace vexlor
