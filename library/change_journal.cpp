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
#include "library/content_digest.h"
#include "library/journal_files.h"
#include "library/plain_file.h"
#include "library/records.h"
#include "library/replacement_file.h"
#include "library/utf8_path.h"

#ifdef _WIN32
#include <fcntl.h>
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
    // The library's digests before and after the change; empty in entries written before
    // they were kept, which are then checked by the library's identity alone.
    std::string before;
    std::string after;
    bool damaged = false;  // its bytes do not decode, or it is no plain file
    bool foreign = false;  // it is another library's
};

namespace {

// Enough of a file's state to tell that nobody wrote it since the journal last did: another
// program that writes it changes its size, its inode (by a rename) or its change time, which
// unlike the modification time no program can set back.
struct Identity {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    std::uint64_t inode = 0;
    std::int64_t changed = 0;

    bool operator==(const Identity&) const = default;
};

constexpr std::string_view kMagic = "vexlor-change 2\n";
// Entries of the first version keep no digests and name no library.
constexpr std::string_view kFirstMagic = "vexlor-change 1\n";
constexpr const char* kNoDigest = "-";
constexpr std::string_view kEntryEnd = "end\n";
constexpr const char* kNewSuffix = kJournalNewSuffix;

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
    fs::path full = fs::weakly_canonical(fs::absolute(PathFromUtf8(path), error), error);
    return error ? path : Utf8Of(full);
}

// A whole field as a number; nothing when any byte of it is not part of one.
template <typename Number>
std::optional<Number> WholeNumberOf(std::string_view text) {
    Number value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint64_t> NumberOf(std::string_view text) {
    return WholeNumberOf<std::uint64_t>(text);
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

// What an entry says besides its change: whose it is and what the library was before and after.
struct EntryOwner {
    std::optional<std::string> library;  // none in entries of the first version
    std::string before;
    std::string after;
};

std::string EncodeEntry(const JournalEntry& entry, ChangeWrite how, std::uint64_t sizeBefore,
                        const EntryOwner& owner, const Splices& splices) {
    std::string bytes(kMagic);
    bytes += "what " + OneLine(entry.what) + "\n";
    bytes += "when " + OneLine(entry.when) + "\n";
    bytes += "row " + std::to_string(entry.row < 0 ? 0 : entry.row + 1) + "\n";
    bytes += std::string("how ") + (how == ChangeWrite::InPlace ? "in-place" : "rename") + "\n";
    bytes += "size " + std::to_string(sizeBefore) + "\n";
    bytes += "library " + OneLine(owner.library.value_or("")) + "\n";
    bytes += "before " + owner.before + "\n";
    bytes += "after " + owner.after + "\n";
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

bool IsDigest(std::string_view text) {
    return text.size() == 32 &&
           text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// The owner's lines of an entry of the second version.
bool DecodeOwner(EntryReader& reader, EntryOwner& owner) {
    const auto library = reader.Field("library");
    const auto before = reader.Field("before");
    const auto after = reader.Field("after");
    if (!library || !before || !after || !IsDigest(*before) || !IsDigest(*after)) {
        return false;
    }
    owner = {std::string(*library), std::string(*before), std::string(*after)};
    return true;
}

// The header fields of an entry; with `withSplices` also its splices, checked to the end.
bool DecodeEntry(std::string_view bytes, bool withSplices, JournalEntry& entry, ChangeWrite& how,
                 std::uint64_t& sizeBefore, EntryOwner& owner, Splices& splices) {
    const bool firstVersion = bytes.substr(0, kFirstMagic.size()) == kFirstMagic;
    if (!firstVersion && bytes.substr(0, kMagic.size()) != kMagic) {
        return false;
    }
    EntryReader reader(bytes.substr(kMagic.size()));
    const auto what = reader.Field("what");
    const auto when = reader.Field("when");
    const auto row = reader.NumberField("row");
    const auto written = reader.Field("how");
    const auto size = reader.NumberField("size");
    owner = {};
    if (!firstVersion && !DecodeOwner(reader, owner)) {
        return false;
    }
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
    const HANDLE handle = CreateFileW(WideFromUtf8(path).c_str(), FILE_READ_ATTRIBUTES,
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
    // The change time, which no program can set back, as the ctime elsewhere.
    FILE_BASIC_INFO basic{};
    const HANDLE again = CreateFileW(WideFromUtf8(path).c_str(), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (again != INVALID_HANDLE_VALUE) {
        if (GetFileInformationByHandleEx(again, FileBasicInfo, &basic, sizeof basic) != 0) {
            identity.changed = static_cast<std::int64_t>(basic.ChangeTime.QuadPart);
        }
        CloseHandle(again);
    }
#else
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return identity;
    }
    identity.modified =
        static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    identity.inode = static_cast<std::uint64_t>(status.st_ino);
    identity.size = static_cast<std::uint64_t>(status.st_size);
    identity.changed =
        static_cast<std::int64_t>(status.st_ctim.tv_sec) * 1000000000 + status.st_ctim.tv_nsec;
#endif
    identity.exists = true;
    return identity;
}

// What `current` keeps: the library's identity when the journal last wrote it, and the digest
// of the content that identity stands for ("-" when none is known).
struct LeftByJournal {
    Identity identity;
    std::string digest;
    bool firstVersion = false;  // written without change time or digest
};

std::string EncodeCurrent(const Identity& identity, const std::string& digest) {
    return "size " + std::to_string(identity.size) + "\nmodified " +
           std::to_string(identity.modified) + "\ninode " + std::to_string(identity.inode) +
           "\nchanged " + std::to_string(identity.changed) + "\ndigest " +
           (digest.empty() ? std::string(kNoDigest) : digest) + "\n";
}

std::optional<std::int64_t> SignedOf(std::string_view text) {
    return WholeNumberOf<std::int64_t>(text);
}

std::optional<LeftByJournal> DecodeCurrent(std::string_view bytes) {
    EntryReader reader(bytes);
    const auto size = reader.NumberField("size");
    const auto modified = reader.Field("modified");
    const auto inode = reader.NumberField("inode");
    const auto time = modified ? SignedOf(*modified) : std::nullopt;
    if (!size || !time || !inode) {
        return std::nullopt;
    }
    LeftByJournal left;
    left.identity = Identity{true, *size, *time, *inode, 0};
    if (reader.Rest().empty()) {
        left.firstVersion = true;
        return left;
    }
    const auto changedText = reader.Field("changed");
    const auto changed = changedText ? SignedOf(*changedText) : std::nullopt;
    const auto digest = reader.Field("digest");
    if (!changed || !digest || !reader.Rest().empty() ||
        (*digest != kNoDigest && !IsDigest(*digest))) {
        return std::nullopt;
    }
    left.identity.changed = *changed;
    left.digest = *digest == kNoDigest ? std::string() : std::string(*digest);
    return left;
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

namespace {

std::optional<LeftByJournal> ReadCurrentOf(const std::string& folder) {
    const auto bytes = ReadJournalFile(Utf8Of(PathFromUtf8(folder) / "current"), 4096);
    return bytes ? DecodeCurrent(*bytes) : std::nullopt;
}

bool SameLibrary(std::string a, std::string b) {
    a = OneLine(std::move(a));
    b = OneLine(std::move(b));
#ifdef _WIN32
    const auto lower = [](std::string& text) {
        for (char& c : text) {
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
    };
    lower(a);
    lower(b);
#endif
    return a == b;
}

#ifndef _WIN32
// Whether the open file is still the one the path names.
bool PathLeadsTo(const std::string& path, int descriptor) {
    struct stat named {};
    struct stat open {};
    return ::stat(path.c_str(), &named) == 0 && ::fstat(descriptor, &open) == 0 &&
           named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}
#endif

// Names a file a stopped write of the journal's own left behind: "current.vexlor-new",
// "0000000003.pending.vexlor-new".
bool IsLeftoverName(const std::string& name) {
    return name.find(kNewSuffix) != std::string::npos;
}

}  // namespace

ChangeJournal::ChangeJournal(const std::string& journalFolder, const std::string& libraryPath,
                             std::chrono::milliseconds wait) {
    const auto target = FinalLinkTarget(libraryPath);
    library_ = FullPathOf(target ? *target : libraryPath);
    if (journalFolder.empty()) {
        status_ = JournalResult::CannotRecord;
        return;
    }
    status_ = OpenFolder(journalFolder);
    if (status_ == JournalResult::Done) {
        status_ = Lock(wait);
    }
    if (status_ != JournalResult::Done) {
        return;
    }
    NameTheLibrary();
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

JournalResult ChangeJournal::OpenFolder(const std::string& journalFolder) {
    folder_ = Utf8Of(PathFromUtf8(journalFolder) / KeyOf(library_));
    std::error_code error;
    fs::create_directories(PathFromUtf8(journalFolder), error);
#ifdef _WIN32
    fs::create_directory(PathFromUtf8(folder_), error);
#else
    ::mkdir(folder_.c_str(), 0700);  // the user's alone, whatever the umask
#endif
    if (!fs::is_directory(PathFromUtf8(folder_), error)) {
        return JournalResult::CannotRecord;
    }
    if (!IsOwnFolder(journalFolder, true) || !IsOwnFolder(folder_, false)) {
        return JournalResult::NotOwnFolder;
    }
    return JournalResult::Done;
}

// The folder's `library` file says whose changes the folder holds, for entries that do not say
// it themselves. Written under the lock; leftovers of the journal's own writes go then too.
void ChangeJournal::NameTheLibrary() {
    const std::string named = Utf8Of(PathFromUtf8(folder_) / "library");
    const auto bytes = ReadJournalFile(named, 1 << 16);
    if (bytes) {
        folderLibrary_ = bytes->substr(0, bytes->find('\n'));
    } else {
        folderLibrary_ = library_;
        WriteJournalFile(named, library_ + "\n", true, folder_);
    }
    std::error_code error;
    for (fs::directory_iterator it(PathFromUtf8(folder_), error), end; !error && it != end;
         it.increment(error)) {
        std::error_code ignored;
        const fs::file_status status = it->symlink_status(ignored);
        if (IsLeftoverName(Utf8Of(it->path().filename())) &&
            (fs::is_regular_file(status) || fs::is_symlink(status))) {
            fs::remove(it->path(), ignored);
        }
    }
}

JournalResult ChangeJournal::Lock(std::chrono::milliseconds wait) {
    const std::string lockPath = Utf8Of(PathFromUtf8(folder_) / "lock");
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::error_code error;
    const fs::file_status found = fs::symlink_status(PathFromUtf8(lockPath), error);
    if (fs::exists(found) && !fs::is_regular_file(found)) {
        return JournalResult::LockNotAFile;
    }
#ifdef _WIN32
    HANDLE handle = ::CreateFileW(WideFromUtf8(lockPath).c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return JournalResult::CannotRecord;
    }
    windowsLock_ = handle;
    for (;;) {
        OVERLAPPED whole{};
        if (::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                         &whole)) {
            return JournalResult::Done;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return JournalResult::Busy;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
#else
    // Not blocking: a pipe put there in the instant since the look must not hold the program.
    lockHandle_ =
        ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (lockHandle_ < 0) {
        return errno == ELOOP || errno == EISDIR ? JournalResult::LockNotAFile
                                                 : JournalResult::CannotRecord;
    }
    struct stat status {};
    if (::fstat(lockHandle_, &status) != 0 || !S_ISREG(status.st_mode)) {
        return JournalResult::LockNotAFile;
    }
    // The library's own lock keeps out other programs that lock before they write, and the
    // Vexlors whose journals are in other state folders; a library that cannot be opened (a
    // new one, say) has only the journal's.
    libraryHandle_ = ::open(library_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    for (;;) {
        if (::flock(lockHandle_, LOCK_EX | LOCK_NB) == 0) {
            if (LockLibrary()) {
                return JournalResult::Done;
            }
            ::flock(lockHandle_, LOCK_UN);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return JournalResult::Busy;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
#endif
}

// The library's lock, on the file its name leads to now: a writer that held it before may have
// renamed a new file into the name, which the lock on the old file no longer guards. Then the
// new file is opened and locked in turn.
bool ChangeJournal::LockLibrary() {
#ifndef _WIN32
    for (int tries = 0; libraryHandle_ >= 0 && tries < 100; ++tries) {
        if (::flock(libraryHandle_, LOCK_EX | LOCK_NB) != 0) {
            return false;
        }
        if (PathLeadsTo(library_, libraryHandle_)) {
            return true;
        }
        ::close(libraryHandle_);
        libraryHandle_ = ::open(library_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    }
    return libraryHandle_ < 0;
#else
    return true;
#endif
}

// After a rename of the journal's own the library's name leads to the new file: the lock goes
// with it, so that the identity kept of it is of the file this writer made. When another writer
// took the new file first, no identity is kept, and the next look hashes the library.
void ChangeJournal::RelockLibrary() {
#ifndef _WIN32
    const int handle = ::open(library_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    libraryRelocked_ =
        handle >= 0 && ::flock(handle, LOCK_EX | LOCK_NB) == 0 && PathLeadsTo(library_, handle);
    if (!libraryRelocked_) {
        if (handle >= 0) {
            ::close(handle);
        }
        return;
    }
    if (libraryHandle_ >= 0) {
        ::close(libraryHandle_);
    }
    libraryHandle_ = handle;
#endif
}

std::vector<ChangeJournal::Stored> ChangeJournal::Entries() const {
    std::vector<Stored> entries;
    std::error_code error;
    for (fs::directory_iterator it(PathFromUtf8(folder_), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = Utf8Of(it->path().filename());
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
        stored.path = Utf8Of(it->path());
        std::error_code sizeError;
        stored.fileBytes = fs::is_regular_file(it->symlink_status(sizeError))
                               ? fs::file_size(it->path(), sizeError)
                               : 0;
        constexpr std::uint64_t kHead = std::uint64_t{1} << 20;
        const auto head = ReadJournalFile(stored.path, kHead);
        EntryOwner owner;
        Splices splices;
        // An entry read whole is checked whole, so that a cut one is not listed; a larger one
        // is checked when it is taken back.
        const bool whole = head && head->size() < kHead;
        if (!head || !DecodeEntry(*head, whole, stored.entry, stored.how, stored.sizeBefore, owner,
                                  splices)) {
            stored.damaged = true;
        } else {
            stored.before = owner.before;
            stored.after = owner.after;
            stored.foreign = !SameLibrary(owner.library.value_or(folderLibrary_), library_);
        }
        const auto settled = settled_.find(stored.sequence);
        if (settled != settled_.end()) {
            stored.state = settled->second;
        }
        entries.push_back(std::move(stored));
    }
    std::sort(entries.begin(), entries.end(),
              [](const Stored& a, const Stored& b) { return a.sequence < b.sequence; });
    return entries;
}

namespace {

bool LoadSplices(const std::string& path, Splices& splices) {
    const auto bytes = ReadJournalFile(path, std::numeric_limits<std::uint64_t>::max());
    JournalEntry entry;
    ChangeWrite how = ChangeWrite::InPlace;
    std::uint64_t size = 0;
    EntryOwner owner;
    return bytes && DecodeEntry(*bytes, true, entry, how, size, owner, splices);
}

bool IsHalfDone(const std::string& state) {
    return state == "pending" || state == "undoing" || state == "redoing";
}

}  // namespace

bool ChangeJournal::SetState(Stored& entry, const char* state, bool durable) {
    const std::string renamed = Utf8Of(PathFromUtf8(folder_) / EntryName(entry.sequence, state));
    std::error_code error;
    if (durable ? !RenameDurably(entry.path, renamed, folder_)
                : (fs::rename(PathFromUtf8(entry.path), PathFromUtf8(renamed), error),
                   static_cast<bool>(error))) {
        return false;
    }
    settled_.erase(entry.sequence);
    entry.path = renamed;
    entry.state = state;
    return true;
}

// The entry takes the state; should its rename fail, the file keeps the state it had, the new
// one holds for this object, and the next object settles the file again by the library's
// content.
void ChangeJournal::SettleAs(Stored& entry, const char* state, bool durable) {
    if (!SetState(entry, state, durable)) {
        settled_[entry.sequence] = state;
        entry.state = state;
    }
}

// `digest`: of the library as it is now, empty when not known.
bool ChangeJournal::RememberLibrary(bool durable, const std::string& digest) {
    const std::string current = Utf8Of(PathFromUtf8(folder_) / "current");
    // Lost in a power cut or a failed write, it only makes the next look slower: a library
    // whose identity does not match is hashed.
    const Identity identity = libraryRelocked_ ? IdentityOf(library_) : Identity{};
    return WriteJournalFile(current, EncodeCurrent(identity, digest), durable, folder_);
}

// The digest of the library now: the one `current` keeps while the file's identity is the one
// kept with it, the library's bytes hashed otherwise. `hashed` says which.
std::optional<std::string> ChangeJournal::LibraryDigest(bool& hashed) const {
    hashed = false;
    if (auto known = KnownDigest()) {
        return known;
    }
    hashed = true;
    return DigestOf(library_);
}

// The digest that `current` keeps, while the file's identity is still the one kept with it.
std::optional<std::string> ChangeJournal::KnownDigest() const {
    const auto left = ReadCurrentOf(folder_);
    if (left && !left->firstVersion && !left->digest.empty() &&
        left->identity == IdentityOf(library_)) {
        return left->digest;
    }
    return std::nullopt;
}

bool ChangeJournal::LibraryIsAsLeft(const std::vector<Stored>& entries) {
    const auto expected = LeftDigest(entries);
    if (!expected) {
        return true;
    }
    if (expected->empty()) {
        auto left = ReadCurrentOf(folder_);
        Identity now = IdentityOf(library_);
        if (left && left->firstVersion) {
            now.changed = 0;
        }
        return left && left->identity == now;
    }
    bool hashed = false;
    const auto digest = LibraryDigest(hashed);
    if (!digest || *digest != *expected) {
        return false;
    }
    if (hashed) {
        RememberLibrary(false, *digest);  // the next look is quick again
    }
    return true;
}

void ChangeJournal::Forget(const Stored& entry) {
    std::error_code ignored;
    fs::remove(PathFromUtf8(entry.path), ignored);
}

// A change that was under way when a process stopped, or whose last rename failed. Settled by
// the library's content: a library that holds what the change made is done; one that holds
// what was before is not; one half made in place has what was made taken back (the journal
// holds every byte it overwrote).
void ChangeJournal::Recover() {
    for (Stored& entry : Entries()) {
        if (!IsHalfDone(entry.state) || entry.foreign) {
            continue;
        }
        if (entry.damaged || !LoadSplices(entry.path, entry.splices)) {
            Forget(entry);
            continue;
        }
        Settle(entry);
    }
}

void ChangeJournal::Settle(Stored& entry) {
    if (entry.before.empty()) {
        SettleByBytes(entry);
        return;
    }
    const Splices inverse = InverseOf(entry.splices);
    const std::uint64_t sizeAfter = SizeAfter(entry.sizeBefore, entry.splices);
    bool hashed = false;
    const auto digest = LibraryDigest(hashed);
    const bool isAfter = digest == entry.after;
    const bool isBefore = digest == entry.before;
    std::string left;  // the digest of the library once settled, when known
    if (entry.state == "pending") {
        if (isAfter) {
            SettleAs(entry, "done", true);
            left = entry.after;
        } else if (isBefore || entry.how == ChangeWrite::ByRename) {
            Forget(entry);
            left = isBefore ? entry.before : std::string();
        } else if (TakeBackInPlace(library_, entry.sizeBefore, entry.splices)) {
            Forget(entry);
            left = entry.before;
        }
    } else {
        const bool undoing = entry.state == "undoing";
        const std::string& from = undoing ? entry.after : entry.before;
        const std::string& to = undoing ? entry.before : entry.after;
        const char* madeState = undoing ? "undone" : "done";
        const char* oldState = undoing ? "done" : "undone";
        const Splices& made = undoing ? inverse : entry.splices;
        const std::uint64_t madeFrom = undoing ? sizeAfter : entry.sizeBefore;
        if (digest == to) {
            SettleAs(entry, madeState, true);
            left = to;
        } else if (digest == from || !IsInPlace(made, madeFrom)) {
            SettleAs(entry, oldState, true);
            left = digest == from ? from : std::string();
        } else if (TakeBackInPlace(library_, madeFrom, made)) {
            SettleAs(entry, oldState, true);
            left = from;
        }
    }
    RememberLibrary(true, left);
}

// An entry of the first version, which keeps no digests: settled by the bytes the change
// touched.
void ChangeJournal::SettleByBytes(Stored& entry) {
    const Splices inverse = InverseOf(entry.splices);
    const std::uint64_t sizeAfter = SizeAfter(entry.sizeBefore, entry.splices);
    if (entry.state == "pending") {
        if (entry.how == ChangeWrite::InPlace) {
            if (TakeBackInPlace(library_, entry.sizeBefore, entry.splices)) {
                Forget(entry);
            }
        } else if (FileHolds(library_, true, entry.sizeBefore, entry.splices)) {
            SettleAs(entry, "done", true);
        } else {
            Forget(entry);
        }
    } else if (entry.state == "undoing") {
        if (IsInPlace(inverse, sizeAfter)) {
            if (TakeBackInPlace(library_, sizeAfter, inverse)) {
                SettleAs(entry, "done", true);
            }
        } else {
            SettleAs(
                entry,
                FileHolds(library_, false, entry.sizeBefore, entry.splices) ? "undone" : "done",
                true);
        }
    } else if (entry.state == "redoing") {
        if (IsInPlace(entry.splices, entry.sizeBefore)) {
            if (TakeBackInPlace(library_, entry.sizeBefore, entry.splices)) {
                SettleAs(entry, "undone", true);
            }
        } else {
            SettleAs(entry,
                     FileHolds(library_, true, entry.sizeBefore, entry.splices) ? "done" : "undone",
                     true);
        }
    }
    RememberLibrary(true, "");
}

// What every recording does first; gives the number of the new entry.
std::uint64_t ChangeJournal::PrepareRecording() {
    std::vector<Stored> entries = Entries();
    // A library written by another program since makes the old entries unsafe to apply; a new
    // change makes what was undone impossible to redo; another library's entries never apply.
    const bool asLeft = LibraryIsAsLeft(entries);
    std::uint64_t sequence = 1;
    for (const Stored& entry : entries) {
        if (!asLeft || entry.state == "undone" || entry.foreign) {
            Forget(entry);
        }
        sequence = std::max(sequence, entry.sequence + 1);
    }
    if (!SameLibrary(folderLibrary_, library_)) {
        WriteJournalFile(Utf8Of(PathFromUtf8(folder_) / "library"), library_ + "\n", true, folder_);
        folderLibrary_ = library_;
    }
    return sequence;
}

ChangeJournal::Stored ChangeJournal::PendingEntry(std::uint64_t sequence, const std::string& what,
                                                  int row) const {
    Stored stored;
    stored.sequence = sequence;
    stored.state = "pending";
    stored.path = Utf8Of(PathFromUtf8(folder_) / EntryName(sequence, "pending"));
    stored.entry = {what, UtcTimestamp(), row};
    return stored;
}

JournalResult ChangeJournal::Record(const std::string& what, int row, const Splices& splices,
                                    ChangeWrite how, const std::function<bool()>& make) {
    if (status_ != JournalResult::Done) {
        return status_;
    }
    const std::uint64_t sequence = PrepareRecording();
    // One pass over the library gives what it is and what the change makes of it.
    const auto digests = DigestsOf(library_, splices);
    if (!digests) {
        return JournalResult::CannotRecord;
    }
    Stored stored = PendingEntry(sequence, what, row);
    const EntryOwner owner{library_, digests->before, digests->after};
    if (!WriteJournalFile(stored.path,
                          EncodeEntry(stored.entry, how, digests->size, owner, splices), true,
                          folder_)) {
        return JournalResult::CannotRecord;
    }
    if (!make()) {
        if (how == ChangeWrite::ByRename || TakeBackInPlace(library_, digests->size, splices)) {
            Forget(stored);
        }
        return JournalResult::WriteFailed;
    }
    return FinishRecording(stored, how, digests->size, splices, digests->after);
}

JournalResult ChangeJournal::RecordRewrite(const std::string& what, int row,
                                           const Splices& splices) {
    if (status_ != JournalResult::Done) {
        return status_;
    }
    const std::uint64_t sequence = PrepareRecording();
    ByteFile file;
    const auto size = file.Open(library_, ByteFile::Mode::Read) ? file.CheckedSize() : std::nullopt;
    // What the library is, `current` knows as surely as undo trusts it; the pass learns it else.
    const auto known = KnownDigest();
    WatchedDigests digests(!known);
    if (!size || !digests.IsReady()) {
        return JournalResult::CannotRecord;
    }
    Stored stored = PendingEntry(sequence, what, row);
    bool asked = false;
    bool recorded = false;
    // The new file is whole but not yet in place: the entry comes now, as before any change.
    const auto record = [&] {
        asked = true;
        const EntryOwner owner{library_, known ? *known : digests.Before(), digests.After()};
        recorded = WriteJournalFile(
            stored.path, EncodeEntry(stored.entry, ChangeWrite::ByRename, *size, owner, splices),
            true, folder_);
        return recorded;
    };
    if (!ApplyByRewriteWatched(library_, file, splices, kNewSuffix, digests.Watcher(), record)) {
        if (!recorded) {
            return asked ? JournalResult::CannotRecord : JournalResult::WriteFailed;
        }
        Forget(stored);
        return JournalResult::WriteFailed;
    }
    return FinishRecording(stored, ChangeWrite::ByRename, *size, splices, digests.After());
}

JournalResult ChangeJournal::FinishRecording(Stored& stored, ChangeWrite how, std::uint64_t size,
                                             const Splices& splices, const std::string& after) {
    if (how == ChangeWrite::ByRename) {
        RelockLibrary();
        // Another writer may have got in between the rename and the lock.
        libraryRelocked_ = libraryRelocked_ && FileHolds(library_, true, size, splices);
    }
    // Should the rename fail, the entry stays pending with the digest of what the change made:
    // the next writer finds the library so and finishes the recording.
    SettleAs(stored, "done", true);
    RememberLibrary(true, after);
    Prune();
    return JournalResult::Done;
}

JournalResult ChangeJournal::Move(Stored& entry, bool forward, const std::vector<Stored>& entries) {
    if (entry.foreign) {
        return JournalResult::OtherLibrary;
    }
    if (entry.damaged || !LoadSplices(entry.path, entry.splices)) {
        return JournalResult::Damaged;
    }
    const Splices inverse = InverseOf(entry.splices);
    const std::uint64_t sizeAfter = SizeAfter(entry.sizeBefore, entry.splices);
    const Splices& splices = forward ? entry.splices : inverse;
    const std::uint64_t from = forward ? entry.sizeBefore : sizeAfter;
    if (!LibraryIsAsLeft(entries) ||
        !FileHolds(library_, !forward, entry.sizeBefore, entry.splices)) {
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
            SettleAs(entry, forward ? "undone" : "done", false);
            RememberLibrary(false, forward ? entry.before : entry.after);
        }
        return JournalResult::WriteFailed;
    }
    if (!inPlace) {
        RelockLibrary();
        libraryRelocked_ =
            libraryRelocked_ && FileHolds(library_, forward, entry.sizeBefore, entry.splices);
    }
    SettleAs(entry, forward ? "done" : "undone", false);
    RememberLibrary(false, forward ? entry.after : entry.before);
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
    return Move(*last, false, entries);
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
    return Move(*next, true, entries);
}

// Both lists end where Undo and Redo would stop: at an entry that is damaged or another
// library's.
std::vector<JournalEntry> ChangeJournal::UndoList() const {
    std::vector<JournalEntry> list;
    const std::vector<Stored> entries = Entries();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->state != "done") {
            continue;
        }
        if (it->damaged || it->foreign) {
            break;
        }
        list.push_back(it->entry);
    }
    return list;
}

std::vector<JournalEntry> ChangeJournal::RedoList() const {
    std::vector<JournalEntry> list;
    for (const Stored& entry : Entries()) {
        if (entry.state != "undone") {
            continue;
        }
        if (entry.damaged || entry.foreign) {
            break;
        }
        list.push_back(entry.entry);
    }
    return list;
}

// What the library is, as the journal left it: after the newest change that is made, or before
// the oldest that was taken back. Nothing when there is none; empty when that entry keeps no
// digest (it is then checked by identity).
std::optional<std::string> ChangeJournal::LeftDigest(const std::vector<Stored>& entries) {
    const auto decides = [](const Stored& entry, const char* state) {
        return entry.state == state && !entry.foreign;
    };
    const auto made = std::find_if(entries.rbegin(), entries.rend(),
                                   [&](const auto& entry) { return decides(entry, "done"); });
    if (made != entries.rend()) {
        return made->after;
    }
    const auto taken = std::find_if(entries.begin(), entries.end(),
                                    [&](const auto& entry) { return decides(entry, "undone"); });
    if (taken != entries.end()) {
        return taken->before;
    }
    return std::nullopt;
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
        case JournalResult::Damaged:
            return "The recorded change of " + name + " in " + journalFolder +
                   " is damaged and cannot be read; " + action;
        case JournalResult::OtherLibrary:
            return "The changes recorded for " + name + " in " + journalFolder +
                   " are another library's; " + action;
        case JournalResult::LockNotAFile:
            return "The lock of the change journal of " + name + " in " + journalFolder +
                   " is not a plain file; " + action;
        case JournalResult::NotOwnFolder:
            return "The change journal in " + journalFolder +
                   " is a link or a folder that others may write; " + action;
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
