#include "browser/library_browser_logic.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <utility>

#include "editors/editor_messages.h"
#include "library/byte_file.h"
#include "library/change_journal.h"
#include "library/utf8_path.h"
#include "library/write_access.h"

namespace vexlor {
namespace {

const std::vector<std::string> kNoProblems;

std::string Number(std::uint64_t value) {
    return std::to_string(value);
}

std::string KindName(std::uint32_t kind) {
    switch (kind) {
        case static_cast<std::uint32_t>(LibraryKind::Hull):
            return "1 (HULL)";
        case static_cast<std::uint32_t>(LibraryKind::Map):
            return "2 (MAP)";
        case static_cast<std::uint32_t>(LibraryKind::Ship):
            return "3 (SHIP)";
        case static_cast<std::uint32_t>(LibraryKind::Mission):
            return "4 (BATTLE/MISSION)";
        default:
            return Number(kind) + " (no kind this system knows)";
    }
}

// A count beside what the file really holds, when the two differ.
std::string CountText(std::uint64_t announced, std::uint64_t present, const char* what) {
    std::string text = Number(announced);
    if (announced != present) {
        text += " (the file holds " + Number(present) + " " + what + ")";
    }
    return text;
}

}  // namespace

LibraryBrowserLogic::LibraryBrowserLogic(std::string path, std::string journalFolder)
    : path_(std::move(path)), journalFolder_(std::move(journalFolder)) {}

std::string LibraryBrowserLogic::FileName() const {
    return Utf8Of(PathFromUtf8(path_).filename());
}

void LibraryBrowserLogic::Load() {
    walk_ = WalkLibrary(path_);
    check_ = CheckLibrary(path_);
    plan_ = RepairPlan{};
    ByteFile file;
    if (walk_.opened && file.Open(path_, ByteFile::Mode::Read)) {
        plan_ = PlanRepair(walk_, file);
    } else {
        plan_.reason = "the file cannot be read";
    }
    CollectProblems();
}

// The walk's own findings first, then the check's lines about the same record or group.
void LibraryBrowserLogic::CollectProblems() {
    recordProblems_.assign(walk_.records.size(), {});
    groupProblems_.assign(walk_.groups.size(), {});
    for (std::size_t i = 0; i < walk_.records.size(); ++i) {
        const WalkedRecord& record = walk_.records[i];
        std::vector<std::string>& lines = recordProblems_[i];
        if (record.cutShort) {
            lines.push_back("cut short: the file ends before its DataSize + 18 bytes do");
        }
        if (record.overlapsNext) {
            lines.push_back("its palette and pixels reach into the next record");
        }
        if (!record.announced) {
            lines.push_back("beyond the header's ImageCount");
        }
        if (record.group < 0) {
            lines.push_back("its GroupId " + Number(record.record.image.GroupId) +
                            " follows no group of the table");
        }
    }
    const std::size_t subjects = std::min(check_.subjects.size(), check_.violations.size());
    for (std::size_t i = 0; i < subjects; ++i) {
        const CheckSubject& subject = check_.subjects[i];
        if (subject.kind == CheckSubject::Kind::Record && subject.index < recordProblems_.size()) {
            recordProblems_[subject.index].push_back(check_.violations[i]);
        } else if (subject.kind == CheckSubject::Kind::Group &&
                   subject.index < groupProblems_.size()) {
            groupProblems_[subject.index].push_back(check_.violations[i]);
        }
    }
}

std::vector<BrowserField> LibraryBrowserLogic::HeaderFields() const {
    if (!walk_.opened) {
        return {{"File", "cannot be read"}};
    }
    std::vector<BrowserField> fields;
    fields.push_back({"File size", Number(walk_.fileSize) + " bytes"});
    if (!walk_.headerComplete) {
        fields.push_back({"Header", "cut short: the file ends inside its 34 bytes"});
        return fields;
    }
    const tHEADER& header = walk_.header;
    fields.push_back({"Signature", header.HasSignature() ? "ok" : "not this format's"});
    fields.push_back({"GroupCount", CountText(header.GroupCount, walk_.groups.size(), "groups")});
    fields.push_back({"ImageCount", CountText(header.ImageCount, walk_.records.size(), "records")});
    fields.push_back({"ImageDataSize", Number(header.ImageDataSize)});
    fields.push_back({"ColourCount", Number(header.ColourCount)});
    fields.push_back({"LibraryKind", KindName(header.LibraryKind)});
    fields.push_back({"GroupDataSize", Number(header.GroupDataSize)});
    if (walk_.trailingBytes > 0) {
        fields.push_back(
            {"After the records", Number(walk_.trailingBytes) + " bytes too few for a record"});
    }
    if (walk_.stoppedAtRecordLimit) {
        fields.push_back({"Records", "more bytes follow the 65,535th record; not read"});
    }
    return fields;
}

std::vector<BrowserField> LibraryBrowserLogic::GroupFields(int group) const {
    if (group < 0 || group >= GroupCount()) {
        return {};
    }
    const WalkedGroup& walked = walk_.groups[static_cast<std::size_t>(group)];
    const tGROUP& fields = walked.group;
    return {{"Group", Number(static_cast<std::uint64_t>(group) + 1) + " of the table, at " +
                          Number(walked.offset)},
            {"GroupId", Number(fields.GroupId)},
            {"ImageCount", CountText(fields.ImageCount,
                                     static_cast<std::uint64_t>(walked.recordCount), "records")},
            {"ImageDataSize", Number(fields.ImageDataSize)},
            {"ColourCount", Number(fields.ColourCount)},
            {"DataOffset", Number(fields.DataOffset)}};
}

std::vector<BrowserField> LibraryBrowserLogic::RecordFields(int record) const {
    if (record < 0 || record >= RecordCount()) {
        return {};
    }
    const WalkedRecord& walked = walk_.records[static_cast<std::size_t>(record)];
    const tIMAGE& image = walked.record.image;
    return {
        {"Record", Number(static_cast<std::uint64_t>(walked.record.position)) + " at " +
                       Number(walked.record.offset)},
        {"Format", FormatText(image.PictureFormat)},
        {"Size", Number(image.Width) + " x " + Number(image.Height)},
        {"GroupId", Number(image.GroupId)},
        {"PictureId", Number(image.PictureId)},
        {"ColourCount", Number(image.ColourCount)},
        {"DataSize", Number(image.DataSize)},
        {"PixelOffset", Number(image.PixelOffset)},
        {"BlockWidth", Number(image.BlockWidth)},
        {"BlockHeight", Number(image.BlockHeight)},
        {"BlockFormat", Number(image.BlockFormat)},
        {"Ends at", Number(walked.End()) + " (contents at " + Number(walked.ContentEnd()) + ")"}};
}

const std::vector<std::string>& LibraryBrowserLogic::RecordProblems(int record) const {
    return record >= 0 && record < RecordCount() ? recordProblems_[static_cast<std::size_t>(record)]
                                                 : kNoProblems;
}

const std::vector<std::string>& LibraryBrowserLogic::GroupProblems(int group) const {
    return group >= 0 && group < GroupCount() ? groupProblems_[static_cast<std::size_t>(group)]
                                              : kNoProblems;
}

std::vector<std::string> LibraryBrowserLogic::CheckLines() const {
    if (!check_.opened) {
        return {"the file cannot be read"};
    }
    return check_.Ok() ? std::vector<std::string>{"ok"} : check_.violations;
}

DrawOutcome LibraryBrowserLogic::DrawRecord(int record, AnyPicture& picture) const {
    LibraryReader reader;
    if (record < 0 || record >= RecordCount() || !reader.Open(path_)) {
        return DrawOutcome::CutShort;
    }
    return ReadAnyPicture(reader, walk_.records[static_cast<std::size_t>(record)].record, picture);
}

BrowserChange LibraryBrowserLogic::Repair() const {
    if (!plan_.Needed()) {
        return {false, plan_.possible ? FileName() + " needs no repair" : plan_.reason};
    }
    const RepairOutcome outcome = RepairLibrary(journalFolder_, path_, plan_);
    return {outcome.done, outcome.done ? "Repaired " + FileName() : outcome.message};
}

BrowserChange LibraryBrowserLogic::MoveInJournal(bool undo) const {
    if (std::string kept = WriteRefusalText(WriteAccessOf(path_), FileName()); !kept.empty()) {
        return {false, std::move(kept)};
    }
    ChangeJournal journal(journalFolder_, path_);
    JournalEntry entry;
    const JournalResult result = undo ? journal.Undo(entry) : journal.Redo(entry);
    if (result != JournalResult::Done) {
        return {false, DescribeJournalRefusal(result, journalFolder_, FileName(),
                                              undo ? "nothing was undone" : "nothing was redone")};
    }
    return {true, undo ? UndidText(entry.what) : RedidText(entry.what)};
}

BrowserChange LibraryBrowserLogic::Undo() const {
    return MoveInJournal(true);
}

BrowserChange LibraryBrowserLogic::Redo() const {
    return MoveInJournal(false);
}

std::string LibraryBrowserLogic::NextUndo() const {
    return NextUndoOf(journalFolder_, path_);
}

std::string LibraryBrowserLogic::NextRedo() const {
    return NextRedoOf(journalFolder_, path_);
}

std::string FormatText(unsigned format) {
    switch (format) {
        case kRunLengthFormat:
            return "23 (run-length)";
        case kIndexAlphaFormat:
            return "24 (index-alpha)";
        default:
            return Number(format);
    }
}

std::string RepairQuestionText(const std::string& fileName, const RepairPlan& plan) {
    std::string text = "Repair " + fileName + "? Undo takes it back.\n";
    for (const std::string& change : plan.changes) {
        text += "\n" + change;
    }
    return text;
}

}  // namespace vexlor
