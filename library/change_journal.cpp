#include "library/change_journal.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>

#include "library/byte_file.h"
#include "library/plain_file.h"
#include "library/records.h"
#include "library/replacement_file.h"

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vexlor {

namespace fs = std::filesystem;

// What the journal keeps of one change: its header fields and, when read whole, its splices.
struct ChangeJournal::Stored {
    std::uint64_t sequence = 0;
    std::string state;  // pending, done, undoing, undone, redoing
    std::string path;
    std::uint64_t fileBytes = 0;
    JournalEntry entry;
    ChangeWrite how = ChangeWrite::InPlace;
    std::uint64_t sizeBefore = 0;
    Splices splices;
};

namespace {

// Enough of a file's state to tell that nobody wrote it since the journal last did: another
// program that writes it changes its modification time, its size or (by a rename) its inode.
struct Identity {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    std::uint64_t inode = 0;

    bool operator==(const Identity&) const = default;
};

constexpr std::string_view kMagic = "vexlor-change 1\n";
constexpr std::string_view kEntryEnd = "end\n";
constexpr const char* kNewSuffix = ".vexlor-new";

Identity IdentityOf(const std::string& path);

std::string KeyOf(const std::string& path) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : path) {
#ifdef _WIN32
        c = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
#endif
        hash = (hash ^ c) * 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::string FullPathOf(const std::string& path) {
    std::error_code error;
    fs::path full = fs::weakly_canonical(fs::absolute(fs::path(path), error), error);
    return error ? path : full.string();
}

void SyncFolder(const std::string& folder) {
#ifndef _WIN32
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
#else
    (void)folder;
#endif
}

bool RenameDurably(const std::string& from, const std::string& to, const std::string& folder) {
    std::error_code error;
    fs::rename(from, to, error);
    if (error) {
        return false;
    }
    SyncFolder(folder);
    return true;
}

std::optional<std::uint64_t> NumberOf(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// Reads a whole small file; nothing when it cannot be read.
std::optional<std::string> ReadWhole(const std::string& path, std::uint64_t limit) {
    ByteFile file;
    if (!file.Open(path, ByteFile::Mode::Read)) {
        return std::nullopt;
    }
    const auto size = file.CheckedSize();
    if (!size) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(std::min(*size, limit)), '\0');
    if (!file.ReadExactAt(0, bytes.data(), bytes.size())) {
        return std::nullopt;
    }
    return bytes;
}

// Takes lines of "name value" off the front of an entry's bytes.
class EntryReader {
  public:
    explicit EntryReader(std::string_view bytes) : rest_(bytes) {}

    std::optional<std::string_view> Line() {
        const auto end = rest_.find('\n');
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view line = rest_.substr(0, end);
        rest_.remove_prefix(end + 1);
        return line;
    }
    std::optional<std::string_view> Field(std::string_view name) {
        const auto line = Line();
        if (!line || line->substr(0, name.size()) != name || line->size() <= name.size() ||
            (*line)[name.size()] != ' ') {
            return std::nullopt;
        }
        return line->substr(name.size() + 1);
    }
    std::optional<std::uint64_t> NumberField(std::string_view name) {
        const auto value = Field(name);
        return value ? NumberOf(*value) : std::nullopt;
    }
    std::optional<std::string_view> Take(std::uint64_t count) {
        if (count > rest_.size()) {
            return std::nullopt;
        }
        const std::string_view taken = rest_.substr(0, static_cast<std::size_t>(count));
        rest_.remove_prefix(static_cast<std::size_t>(count));
        return taken;
    }
    std::string_view Rest() const { return rest_; }

  private:
    std::string_view rest_;
};

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
}

std::string EncodeEntry(const JournalEntry& entry, ChangeWrite how, std::uint64_t sizeBefore,
                        const Splices& splices) {
    std::string bytes(kMagic);
    bytes += "what " + OneLine(entry.what) + "\n";
    bytes += "when " + OneLine(entry.when) + "\n";
    bytes += "row " + std::to_string(entry.row < 0 ? 0 : entry.row + 1) + "\n";
    bytes += std::string("how ") + (how == ChangeWrite::InPlace ? "in-place" : "rename") + "\n";
    bytes += "size " + std::to_string(sizeBefore) + "\n";
    bytes += "splices " + std::to_string(splices.size()) + "\n";
    for (const Splice& splice : splices) {
        bytes += std::to_string(splice.offset) + " " + std::to_string(splice.removed.size()) + " " +
                 std::to_string(splice.inserted.size()) + "\n";
        bytes += splice.removed;
        bytes += splice.inserted;
    }
    bytes += kEntryEnd;
    return bytes;
}

// The header fields of an entry; with `withSplices` also its splices, checked to the end.
bool DecodeEntry(std::string_view bytes, bool withSplices, JournalEntry& entry, ChangeWrite& how,
                 std::uint64_t& sizeBefore, Splices& splices) {
    if (bytes.substr(0, kMagic.size()) != kMagic) {
        return false;
    }
    EntryReader reader(bytes.substr(kMagic.size()));
    const auto what = reader.Field("what");
    const auto when = reader.Field("when");
    const auto row = reader.NumberField("row");
    const auto written = reader.Field("how");
    const auto size = reader.NumberField("size");
    const auto count = reader.NumberField("splices");
    if (!what || !when || !row || !written || !size || !count ||
        (*written != "in-place" && *written != "rename") || *row > 65536) {
        return false;
    }
    entry.what = std::string(*what);
    entry.when = std::string(*when);
    entry.row = static_cast<int>(*row) - 1;
    how = *written == "in-place" ? ChangeWrite::InPlace : ChangeWrite::ByRename;
    sizeBefore = *size;
    if (!withSplices) {
        return true;
    }
    splices.clear();
    for (std::uint64_t k = 0; k < *count; ++k) {
        const auto line = reader.Line();
        if (!line) {
            return false;
        }
        const auto first = line->find(' ');
        const auto second = first == std::string_view::npos ? first : line->find(' ', first + 1);
        if (second == std::string_view::npos) {
            return false;
        }
        const auto offset = NumberOf(line->substr(0, first));
        const auto removed = NumberOf(line->substr(first + 1, second - first - 1));
        const auto inserted = NumberOf(line->substr(second + 1));
        if (!offset || !removed || !inserted) {
            return false;
        }
        const auto removedBytes = reader.Take(*removed);
        const auto insertedBytes = reader.Take(*inserted);
        if (!removedBytes || !insertedBytes) {
            return false;
        }
        splices.push_back({*offset, std::string(*removedBytes), std::string(*insertedBytes)});
    }
    return reader.Rest() == kEntryEnd && IsWellFormed(splices, sizeBefore);
}

// What a stopped or failed in-place change made of the library, taken back.
bool TakeBackInPlace(const std::string& path, std::uint64_t sizeBefore, const Splices& splices) {
    ByteFile file;
    return file.Open(path, ByteFile::Mode::ReadWrite) &&
           TakeBackInPlace(file, sizeBefore, splices) && file.Close();
}

bool FileHolds(const std::string& path, bool inserted, std::uint64_t sizeBefore,
               const Splices& splices) {
    ByteFile file;
    if (!file.Open(path, ByteFile::Mode::Read)) {
        return false;
    }
    if (inserted) {
        return HoldsInsertedBytes(file, sizeBefore, splices);
    }
    const auto size = file.CheckedSize();
    return size && *size == sizeBefore && HoldsRemovedBytes(file, splices);
}

std::string EntryName(std::uint64_t sequence, const std::string& state) {
    char name[32];
    std::snprintf(name, sizeof name, "%010llu.", static_cast<unsigned long long>(sequence));
    return name + state;
}

bool IsState(std::string_view state) {
    return state == "pending" || state == "done" || state == "undoing" || state == "undone" ||
           state == "redoing";
}

Identity IdentityOf(const std::string& path) {
    Identity identity;
#ifdef _WIN32
    // The C runtime gives whole seconds and no file number: a write by another program within
    // the same second, to the same size, would pass for the journal's own. The file system
    // itself gives the time in 100 ns and the file's number on its volume.
    const HANDLE handle = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return identity;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = GetFileInformationByHandle(handle, &information) != 0;
    CloseHandle(handle);
    if (!known) {
        return identity;
    }
    const auto combined = [](DWORD upper, DWORD lower) {
        return (static_cast<std::uint64_t>(upper) << 32) | lower;
    };
    identity.modified = static_cast<std::int64_t>(combined(
        information.ftLastWriteTime.dwHighDateTime, information.ftLastWriteTime.dwLowDateTime));
    identity.inode = combined(information.nFileIndexHigh, information.nFileIndexLow);
    identity.size = combined(information.nFileSizeHigh, information.nFileSizeLow);
#else
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return identity;
    }
    identity.modified =
        static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    identity.inode = static_cast<std::uint64_t>(status.st_ino);
    identity.size = static_cast<std::uint64_t>(status.st_size);
#endif
    identity.exists = true;
    return identity;
}

std::string EncodeIdentity(const Identity& identity) {
    return "size " + std::to_string(identity.size) + "\nmodified " +
           std::to_string(identity.modified) + "\ninode " + std::to_string(identity.inode) + "\n";
}

std::optional<Identity> DecodeIdentity(std::string_view bytes) {
    EntryReader reader(bytes);
    const auto size = reader.NumberField("size");
    const auto modified = reader.Field("modified");
    const auto inode = reader.NumberField("inode");
    if (!size || !modified || !inode || !reader.Rest().empty()) {
        return std::nullopt;
    }
    std::int64_t time = 0;
    const auto [end, error] =
        std::from_chars(modified->data(), modified->data() + modified->size(), time);
    if (error != std::errc() || end != modified->data() + modified->size()) {
        return std::nullopt;
    }
    return Identity{true, *size, time, *inode};
}

bool IsInPlace(const Splices& splices, std::uint64_t sizeBefore) {
    return HowToMake(splices, sizeBefore) == ChangeWrite::InPlace;
}

}  // namespace

ChangeWrite HowToMake(const Splices& splices, std::uint64_t sizeBefore) {
    if (!CanApplyInPlace(splices, sizeBefore)) {
        return ChangeWrite::ByRename;
    }
    for (const Splice& splice : splices) {
        if (splice.removed.size() != splice.inserted.size() &&
            splice.offset < tHEADER::kSize + tGROUP::kSize) {
            return ChangeWrite::ByRename;
        }
    }
    return ChangeWrite::InPlace;
}

bool MakeSplices(const std::string& path, std::uint64_t sizeBefore, const Splices& splices) {
    ByteFile file;
    if (IsInPlace(splices, sizeBefore)) {
        return file.Open(path, ByteFile::Mode::ReadWrite) &&
               ApplyInPlace(file, sizeBefore, splices) && file.Close();
    }
    return file.Open(path, ByteFile::Mode::Read) && ApplyByRewrite(path, file, splices, kNewSuffix);
}

std::string UtcTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
#ifdef _WIN32
    gmtime_s(&parts, &now);
#else
    gmtime_r(&now, &parts);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

ChangeJournal::ChangeJournal(const std::string& journalFolder, const std::string& libraryPath,
                             std::chrono::milliseconds wait) {
    const auto target = FinalLinkTarget(libraryPath);
    library_ = FullPathOf(target ? *target : libraryPath);
    if (journalFolder.empty() || !OpenFolder(journalFolder)) {
        status_ = JournalResult::CannotRecord;
        return;
    }
    if (!Lock(wait)) {
        status_ = JournalResult::Busy;
        return;
    }
    status_ = JournalResult::Done;
    RemoveLeftoverNewFiles(library_, kNewSuffix);
    Recover();
}

ChangeJournal::~ChangeJournal() {
#ifdef _WIN32
    if (windowsLock_) {
        ::CloseHandle(static_cast<HANDLE>(windowsLock_));
    }
#else
    if (libraryHandle_ >= 0) {
        ::close(libraryHandle_);
    }
    if (lockHandle_ >= 0) {
        ::close(lockHandle_);
    }
#endif
}

bool ChangeJournal::OpenFolder(const std::string& journalFolder) {
    folder_ = (fs::path(journalFolder) / KeyOf(library_)).string();
    std::error_code error;
    fs::create_directories(folder_, error);
    if (!fs::is_directory(folder_, error)) {
        return false;
    }
    const std::string named = (fs::path(folder_) / "library").string();
    if (!fs::exists(named, error)) {
        ReplaceFileWith(named, library_ + "\n", kNewSuffix);
    }
    return true;
}

bool ChangeJournal::Lock(std::chrono::milliseconds wait) {
    const std::string lockPath = (fs::path(folder_) / "lock").string();
    const auto deadline = std::chrono::steady_clock::now() + wait;
#ifdef _WIN32
    HANDLE handle = ::CreateFileA(lockPath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    windowsLock_ = handle;
    for (;;) {
        OVERLAPPED whole{};
        if (::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                         &whole)) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
#else
    lockHandle_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockHandle_ < 0) {
        return false;
    }
    // The library's own lock keeps out other programs that lock before they write; a library
    // that cannot be opened (a new one, say) has only the journal's.
    libraryHandle_ = ::open(library_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    for (;;) {
        const bool journalLocked = ::flock(lockHandle_, LOCK_EX | LOCK_NB) == 0;
        if (journalLocked &&
            (libraryHandle_ < 0 || ::flock(libraryHandle_, LOCK_EX | LOCK_NB) == 0)) {
            return true;
        }
        if (journalLocked) {
            ::flock(lockHandle_, LOCK_UN);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
#endif
}

std::vector<ChangeJournal::Stored> ChangeJournal::Entries() const {
    std::vector<Stored> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const auto dot = name.find('.');
        if (dot != 10 || !IsState(name.substr(dot + 1))) {
            continue;
        }
        const auto sequence = NumberOf(std::string_view(name).substr(0, dot));
        if (!sequence) {
            continue;
        }
        Stored stored;
        stored.sequence = *sequence;
        stored.state = name.substr(dot + 1);
        stored.path = it->path().string();
        std::error_code sizeError;
        stored.fileBytes = fs::file_size(it->path(), sizeError);
        const auto head = ReadWhole(stored.path, std::uint64_t{1} << 20);
        Splices none;
        if (!head ||
            !DecodeEntry(*head, false, stored.entry, stored.how, stored.sizeBefore, none)) {
            continue;
        }
        entries.push_back(std::move(stored));
    }
    std::sort(entries.begin(), entries.end(),
              [](const Stored& a, const Stored& b) { return a.sequence < b.sequence; });
    return entries;
}

namespace {

bool LoadSplices(const std::string& path, Splices& splices) {
    const auto bytes = ReadWhole(path, std::numeric_limits<std::uint64_t>::max());
    JournalEntry entry;
    ChangeWrite how = ChangeWrite::InPlace;
    std::uint64_t size = 0;
    return bytes && DecodeEntry(*bytes, true, entry, how, size, splices);
}

}  // namespace

bool ChangeJournal::SetState(Stored& entry, const char* state, bool durable) {
    const std::string renamed = (fs::path(folder_) / EntryName(entry.sequence, state)).string();
    std::error_code error;
    if (durable ? !RenameDurably(entry.path, renamed, folder_)
                : (fs::rename(entry.path, renamed, error), static_cast<bool>(error))) {
        return false;
    }
    entry.path = renamed;
    entry.state = state;
    return true;
}

bool ChangeJournal::RememberLibrary(bool durable) {
    const std::string current = (fs::path(folder_) / "current").string();
    const std::string text = EncodeIdentity(IdentityOf(library_));
    if (durable) {
        return ReplaceFileWith(current, text, kNewSuffix);
    }
    // Lost in a power cut, it only makes the journal refuse to undo: a library that does not
    // match it is taken for one that another program wrote.
    const std::string written = current + kNewSuffix;
    std::FILE* file = std::fopen(written.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    std::error_code error;
    if (std::fclose(file) != 0 || !ok) {
        fs::remove(written, error);
        return false;
    }
    fs::rename(written, current, error);
    return !error;
}

bool ChangeJournal::LibraryIsAsLeft() const {
    const auto bytes = ReadWhole((fs::path(folder_) / "current").string(), 4096);
    const auto left = bytes ? DecodeIdentity(*bytes) : std::nullopt;
    return left && *left == IdentityOf(library_);
}

void ChangeJournal::Forget(const Stored& entry) {
    std::error_code ignored;
    fs::remove(entry.path, ignored);
}

// A change that was under way when a process stopped: made in place, what was made is taken
// back (the journal holds every byte it overwrote); made by a rename, the library is either the
// old one or the new one, and the entry is settled by which it is.
void ChangeJournal::Recover() {
    for (Stored& entry : Entries()) {
        if (entry.state == "done" || entry.state == "undone") {
            continue;
        }
        if (!LoadSplices(entry.path, entry.splices)) {
            Forget(entry);
            continue;
        }
        const Splices inverse = InverseOf(entry.splices);
        const std::uint64_t sizeAfter = SizeAfter(entry.sizeBefore, entry.splices);
        if (entry.state == "pending") {
            if (entry.how == ChangeWrite::InPlace) {
                if (TakeBackInPlace(library_, entry.sizeBefore, entry.splices)) {
                    Forget(entry);
                }
            } else if (FileHolds(library_, true, entry.sizeBefore, entry.splices)) {
                SetState(entry, "done", true);
            } else {
                Forget(entry);
            }
        } else if (entry.state == "undoing") {
            if (IsInPlace(inverse, sizeAfter)) {
                if (TakeBackInPlace(library_, sizeAfter, inverse)) {
                    SetState(entry, "done", true);
                }
            } else {
                SetState(
                    entry,
                    FileHolds(library_, false, entry.sizeBefore, entry.splices) ? "undone" : "done",
                    true);
            }
        } else if (entry.state == "redoing") {
            if (IsInPlace(entry.splices, entry.sizeBefore)) {
                if (TakeBackInPlace(library_, entry.sizeBefore, entry.splices)) {
                    SetState(entry, "undone", true);
                }
            } else {
                SetState(
                    entry,
                    FileHolds(library_, true, entry.sizeBefore, entry.splices) ? "done" : "undone",
                    true);
            }
        }
        RememberLibrary(true);
    }
}

JournalResult ChangeJournal::Record(const std::string& what, int row, const Splices& splices,
                                    ChangeWrite how, const std::function<bool()>& make) {
    if (status_ != JournalResult::Done) {
        return status_;
    }
    const Identity before = IdentityOf(library_);
    std::vector<Stored> entries = Entries();
    // A library written by another program since makes the old entries unsafe to apply; a new
    // change makes what was undone impossible to redo.
    const bool asLeft = LibraryIsAsLeft();
    std::uint64_t sequence = 1;
    for (const Stored& entry : entries) {
        if (!asLeft || entry.state == "undone") {
            Forget(entry);
        }
        sequence = std::max(sequence, entry.sequence + 1);
    }
    Stored stored;
    stored.sequence = sequence;
    stored.state = "pending";
    stored.path = (fs::path(folder_) / EntryName(sequence, "pending")).string();
    stored.entry = {what, UtcTimestamp(), row};
    if (!ReplaceFileWith(stored.path, EncodeEntry(stored.entry, how, before.size, splices),
                         kNewSuffix)) {
        return JournalResult::CannotRecord;
    }
    if (!make()) {
        if (how == ChangeWrite::ByRename || TakeBackInPlace(library_, before.size, splices)) {
            Forget(stored);
        }
        return JournalResult::WriteFailed;
    }
    if (!SetState(stored, "done", true)) {
        // A pending entry would make the next writer take back a change that was made: without
        // its entry the change only cannot be undone.
        Forget(stored);
        return JournalResult::Done;
    }
    RememberLibrary(true);
    Prune();
    return JournalResult::Done;
}

JournalResult ChangeJournal::Move(Stored& entry, bool forward) {
    if (!LoadSplices(entry.path, entry.splices)) {
        return JournalResult::CannotRecord;
    }
    const Splices inverse = InverseOf(entry.splices);
    const std::uint64_t sizeAfter = SizeAfter(entry.sizeBefore, entry.splices);
    const Splices& splices = forward ? entry.splices : inverse;
    const std::uint64_t from = forward ? entry.sizeBefore : sizeAfter;
    if (!LibraryIsAsLeft() || !FileHolds(library_, !forward, entry.sizeBefore, entry.splices)) {
        return JournalResult::ChangedSince;
    }
    // Undo and redo must feel instant, so their states are not flushed on their own: a process
    // that stops finds them (the kernel keeps them), and the library's own writes are flushed in
    // an order that keeps it whole through a power cut.
    if (!SetState(entry, forward ? "redoing" : "undoing", false)) {
        return JournalResult::CannotRecord;
    }
    const bool inPlace = IsInPlace(splices, from);
    if (!MakeSplices(library_, from, splices)) {
        if (!inPlace || TakeBackInPlace(library_, from, splices)) {
            SetState(entry, forward ? "undone" : "done", false);
        }
        return JournalResult::WriteFailed;
    }
    SetState(entry, forward ? "done" : "undone", false);
    RememberLibrary(false);
    return JournalResult::Done;
}

JournalResult ChangeJournal::Undo(JournalEntry& undone) {
    if (status_ != JournalResult::Done) {
        return status_;
    }
    std::vector<Stored> entries = Entries();
    auto last = std::find_if(entries.rbegin(), entries.rend(),
                             [](const Stored& entry) { return entry.state == "done"; });
    if (last == entries.rend()) {
        return JournalResult::Nothing;
    }
    undone = last->entry;
    return Move(*last, false);
}

JournalResult ChangeJournal::Redo(JournalEntry& redone) {
    if (status_ != JournalResult::Done) {
        return status_;
    }
    std::vector<Stored> entries = Entries();
    auto next = std::find_if(entries.begin(), entries.end(),
                             [](const Stored& entry) { return entry.state == "undone"; });
    if (next == entries.end()) {
        return JournalResult::Nothing;
    }
    redone = next->entry;
    return Move(*next, true);
}

std::vector<JournalEntry> ChangeJournal::UndoList() const {
    std::vector<JournalEntry> list;
    const std::vector<Stored> entries = Entries();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->state == "done") {
            list.push_back(it->entry);
        }
    }
    return list;
}

std::vector<JournalEntry> ChangeJournal::RedoList() const {
    std::vector<JournalEntry> list;
    for (const Stored& entry : Entries()) {
        if (entry.state == "undone") {
            list.push_back(entry.entry);
        }
    }
    return list;
}

void ChangeJournal::Prune() {
    std::vector<Stored> entries = Entries();
    std::uint64_t total = 0;
    std::size_t done = 0;
    for (const Stored& entry : entries) {
        total += entry.fileBytes;
        done += entry.state == "done" ? 1 : 0;
    }
    for (const Stored& entry : entries) {
        if (done <= 1 || (done <= kMaxEntries && total <= kMaxBytes)) {
            break;
        }
        if (entry.state == "done") {
            Forget(entry);
            total -= entry.fileBytes;
            --done;
        }
    }
}

std::string DescribeJournalRefusal(JournalResult result, const std::string& journalFolder,
                                   const std::string& name, const std::string& action) {
    switch (result) {
        case JournalResult::Done:
            return {};
        case JournalResult::Busy:
            return name + " is being written by another Vexlor; " + action;
        case JournalResult::CannotRecord:
            return "The change cannot be recorded in " + journalFolder + ", so " + name +
                   " was not changed";
        case JournalResult::Nothing:
            return "There is nothing to " + action;
        case JournalResult::ChangedSince:
            return name + " was changed by another program since Vexlor last wrote it; " + action;
        case JournalResult::WriteFailed:
            return "Writing " + name + " failed; it was left as it was";
    }
    return action;
}

std::string NextUndoOf(const std::string& journalFolder, const std::string& libraryPath) {
    ChangeJournal journal(journalFolder, libraryPath, std::chrono::milliseconds(0));
    const auto list = journal.UndoList();
    return list.empty() ? std::string() : list.front().what;
}

std::string NextRedoOf(const std::string& journalFolder, const std::string& libraryPath) {
    ChangeJournal journal(journalFolder, libraryPath, std::chrono::milliseconds(0));
    const auto list = journal.RedoList();
    return list.empty() ? std::string() : list.front().what;
}

}  // namespace vexlor
