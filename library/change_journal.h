#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "library/splice.h"

namespace vexlor {

// How a recorded change reaches the library: in the file itself (an append, a renumber), or as
// a new file renamed over it (a delete, a replace, the SHIP rebuild, a new library).
enum class ChangeWrite { InPlace, ByRename };

enum class JournalResult {
    Done,
    Busy,          // another writer holds the library: nothing changed
    CannotRecord,  // the journal could not be written, so the library was not changed
    Nothing,       // nothing to take back or to make again
    ChangedSince,  // the library is not what the journal last left (another program wrote it)
    WriteFailed,   // the library could not be written; it is as it was
    Damaged,       // the change to take back or make again cannot be read from the journal
    OtherLibrary,  // the journal's changes are another library's
    LockNotAFile,  // the journal's lock is not a plain file: nothing changed
    NotOwnFolder,  // the journal folder is a link or a folder that others may write
};

struct JournalEntry {
    std::string what;  // "append 4800"
    std::string when;  // "2026-12-08T10:00:00Z"
    int row = -1;      // the row the change concerns, for the windows' selection
};

// The changes Vexlor made to one library, kept in the user's state folder so that they can be
// taken back and made again across runs, by the windows and the command line alike. Each
// change is kept as its splices, so an entry grows with the bytes a change touched, not with
// the library. An entry is on the disk before the library changes, with the digests of the
// library before and after the change: a change that a stopped process (or a rename of the
// journal's own that failed) left half-done is finished or taken back the next time any writer
// opens the journal, as the library's content says, and the content, not the file's times,
// tells whether another program wrote the library since.
//
// The object holds the library's lock (an exclusive advisory lock on the journal and on the
// file the library's name leads to, which moves with a rewrite renamed into that name) for its
// whole life: every read that a change is planned from and every write belong inside one such
// object.
class ChangeJournal {
  public:
    ChangeJournal(const std::string& journalFolder, const std::string& libraryPath,
                  std::chrono::milliseconds wait = std::chrono::milliseconds(2000));
    ~ChangeJournal();
    ChangeJournal(const ChangeJournal&) = delete;
    ChangeJournal& operator=(const ChangeJournal&) = delete;

    // Done when the journal is open and the library locked; Busy or CannotRecord otherwise.
    JournalResult Status() const { return status_; }
    // The file the changes are made to: the end of the library path's symbolic links.
    const std::string& LibraryPath() const { return library_; }

    // Records a change and makes it: `make` writes the library (the splices, or a writer that
    // writes exactly them) and returns whether it succeeded. `what` names the change and the
    // identifiers it concerned. A change that fails is taken back, and nothing is recorded.
    JournalResult Record(const std::string& what, int row, const Splices& splices, ChangeWrite how,
                         const std::function<bool()>& make);
    // Records a change that writes the library anew (ChangeWrite::ByRename) and makes it with
    // one pass over the library: the new file is written and hashed first, the change recorded,
    // and only then the new file put in the library's place.
    JournalResult RecordRewrite(const std::string& what, int row, const Splices& splices);

    // Takes back the last recorded change, leaving the library byte for byte as before it.
    JournalResult Undo(JournalEntry& undone);
    // Makes again the change that the last Undo took back.
    JournalResult Redo(JournalEntry& redone);

    // Newest first; the redo list starts with what Redo would make again.
    std::vector<JournalEntry> UndoList() const;
    std::vector<JournalEntry> RedoList() const;

    // Entries beyond these are dropped, oldest first (the newest change is always kept).
    static constexpr std::size_t kMaxEntries = 100;
    static constexpr std::uint64_t kMaxBytes = std::uint64_t{1} << 30;

  private:
    struct Stored;

    JournalResult OpenFolder(const std::string& journalFolder);
    JournalResult Lock(std::chrono::milliseconds wait);
    bool LockLibrary();
    void RelockLibrary();
    void NameTheLibrary();
    void Recover();
    void Settle(Stored& entry);
    void SettleByBytes(Stored& entry);
    std::vector<Stored> Entries() const;
    bool SetState(Stored& entry, const char* state, bool durable);
    void SettleAs(Stored& entry, const char* state, bool durable);
    bool RememberLibrary(bool durable, const std::string& digest);
    std::optional<std::string> KnownDigest() const;
    std::optional<std::string> LibraryDigest(bool& hashed) const;
    std::uint64_t PrepareRecording();
    Stored PendingEntry(std::uint64_t sequence, const std::string& what, int row) const;
    JournalResult FinishRecording(Stored& stored, ChangeWrite how, std::uint64_t size,
                                  const Splices& splices, const std::string& after);
    static std::optional<std::string> LeftDigest(const std::vector<Stored>& entries);
    bool LibraryIsAsLeft(const std::vector<Stored>& entries);
    void Forget(const Stored& entry);
    void Prune();
    JournalResult Move(Stored& entry, bool forward, const std::vector<Stored>& entries);

    JournalResult status_ = JournalResult::CannotRecord;
    std::string library_;
    std::string folder_;
    std::string folderLibrary_;  // what the folder's `library` file names
    // States that a stopped rename could not give an entry's file: what it is for this object.
    std::map<std::uint64_t, std::string> settled_;
    bool libraryRelocked_ = true;
    int lockHandle_ = -1;
    int libraryHandle_ = -1;
    void* windowsLock_ = nullptr;
};

// How a change of `splices` is best made: in place when the header and the groups that count
// the records keep their length and only the end of the file grows or shrinks, so that the
// library reads whole at every instant; by a rewrite otherwise.
ChangeWrite HowToMake(const Splices& splices, std::uint64_t sizeBefore);
// Makes the splices as HowToMake says; false when that failed (see ApplyInPlace and
// ApplyByRewrite for what is then left).
bool MakeSplices(const std::string& path, std::uint64_t sizeBefore, const Splices& splices);

// The journal's refusals in words, the same for every window and command: `name` is the
// library's file name, `action` what was therefore not done ("nothing was changed"). Empty for
// Done.
std::string DescribeJournalRefusal(JournalResult result, const std::string& journalFolder,
                                   const std::string& name, const std::string& action);

// What Undo and Redo of the library would take back or make again next ("append 4800"); empty
// when nothing. They never wait for another writer's lock: menus ask them whenever they show.
std::string NextUndoOf(const std::string& journalFolder, const std::string& libraryPath);
std::string NextRedoOf(const std::string& journalFolder, const std::string& libraryPath);

// The current time as the journal writes it: "2026-12-08T10:00:00Z".
std::string UtcTimestamp();

}  // namespace vexlor
