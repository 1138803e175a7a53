#pragma once

#include <string>
#include <vector>

#include "library/any_picture.h"
#include "library/library_inspection.h"
#include "library/library_repair.h"
#include "library/library_walk.h"

namespace vexlor {

// One line of a fields panel: "GroupCount" and "3".
struct BrowserField {
    std::string label;
    std::string value;
};

// What a repair, an undo or a redo came to: `message` says why nothing was changed, or, when
// `done`, what was ("Undid repair").
struct BrowserChange {
    bool done = false;
    std::string message;
    int row = -1;  // the record to show once done, in file order; -1 keeps the selection's row
};

// The library browser without its widgets: what one library holds as the walk reads it, what
// the check says of it, what a repair would change, and the journal's undo and redo. Every
// text that the window shows of the library is made here.
class LibraryBrowserLogic {
  public:
    LibraryBrowserLogic(std::string path, std::string journalFolder);

    // Walks and checks the library anew and plans its repair.
    void Load();

    const std::string& Path() const { return path_; }
    std::string FileName() const;
    const LibraryWalk& Walk() const { return walk_; }
    const LibraryCheck& Check() const { return check_; }
    const RepairPlan& Plan() const { return plan_; }
    int RecordCount() const { return static_cast<int>(walk_.records.size()); }
    int GroupCount() const { return static_cast<int>(walk_.groups.size()); }

    std::vector<BrowserField> HeaderFields() const;
    std::vector<BrowserField> GroupFields(int group) const;
    std::vector<BrowserField> RecordFields(int record) const;
    // What is wrong with a record or a group, one line each; empty when nothing is.
    const std::vector<std::string>& RecordProblems(int record) const;
    const std::vector<std::string>& GroupProblems(int group) const;
    // The check's lines, "ok" alone for a sound library.
    std::vector<std::string> CheckLines() const;

    // Reads the record's palette and pixels anew and draws them.
    DrawOutcome DrawRecord(int record, AnyPicture& picture) const;

    // The repair that Plan() describes, made through the journal; a sound library is never
    // touched. The window loads the library again afterwards.
    BrowserChange Repair() const;
    BrowserChange Undo() const;
    BrowserChange Redo() const;
    // What Undo and Redo would take back or make again; empty when nothing.
    std::string NextUndo() const;
    std::string NextRedo() const;

  private:
    void CollectProblems();
    BrowserChange MoveInJournal(bool undo) const;

    std::string path_;
    std::string journalFolder_;
    LibraryWalk walk_;
    LibraryCheck check_;
    RepairPlan plan_;
    std::vector<std::vector<std::string>> recordProblems_;
    std::vector<std::vector<std::string>> groupProblems_;
};

// "23 (run-length)", "24 (index-alpha)", "25".
std::string FormatText(unsigned format);
// The confirmation before a repair: the changes it makes, one a line.
std::string RepairQuestionText(const std::string& fileName, const RepairPlan& plan);

}  // namespace vexlor
