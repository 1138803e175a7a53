#include "library/replacement_file.h"

#include "library/utf8_path.h"
#include "library/write_access.h"

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

#if defined(_WIN32)
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

namespace {

namespace fs = std::filesystem;

// As many links as the systems themselves follow before they call it a loop.
constexpr int kMaxLinks = 40;

fs::path FolderOf(const fs::path& file) {
    const fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

// The data must be on the disk before the rename makes it the file: otherwise a power cut
// right after could leave the new name on an empty file.
bool SyncToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) {
        return false;
    }
#if defined(_WIN32)
    return _commit(_fileno(file)) == 0;
#else
    return ::fsync(::fileno(file)) == 0;
#endif
}

// Puts the new file in place of the target in one step. On Windows the file system is asked
// directly, so that the rename is on the disk when it returns, as the folder's sync makes it
// elsewhere.
void MoveIntoPlace(const fs::path& from, const fs::path& to, std::error_code& error) {
#if defined(_WIN32)
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ==
        0) {
        error = std::error_code(static_cast<int>(GetLastError()), std::system_category());
    }
#else
    fs::rename(from, to, error);
#endif
}

int CreateExclusively(const std::string& path) {
#if defined(_WIN32)
    return ::_wopen(WideFromUtf8(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                    _S_IREAD | _S_IWRITE);
#else
    // O_NOFOLLOW too: O_EXCL already refuses a link planted at the name, this says so twice.
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
#endif
}

// While a new file is being written, its writer holds a lock on it that a later writer's
// clean-up asks for: a file that nobody holds was left by a writer that stopped. On Windows an
// open file cannot be removed at all, which says the same.
int HoldWhileWriting([[maybe_unused]] int descriptor) {
#if defined(_WIN32)
    return -1;
#else
    const int held = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    if (held >= 0 && ::flock(held, LOCK_EX | LOCK_NB) != 0) {
        ::close(held);
        return -1;
    }
    return held;
#endif
}

void LetGo([[maybe_unused]] int& held) {
#if !defined(_WIN32)
    if (held >= 0) {
        ::close(held);
    }
#endif
    held = -1;
}

std::FILE* WriterOn(int descriptor) {
#if defined(_WIN32)
    std::FILE* file = ::_fdopen(descriptor, "wb");
    if (file == nullptr) {
        ::_close(descriptor);
    }
#else
    std::FILE* file = ::fdopen(descriptor, "wb");
    if (file == nullptr) {
        ::close(descriptor);
    }
#endif
    return file;
}

// A file of the new file's name may be left by an interrupted write, or be another copy's new
// file that it is writing this very moment: it is left alone and another name is taken. Anything
// else there, a folder say, was put there on purpose: the write fails rather than go around it.
constexpr int kOtherNames = 100;

bool MayTakeAnotherName(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(PathFromUtf8(path), error);
    return !error && (fs::is_regular_file(status) || fs::is_symlink(status));
}

std::string OtherName(const std::string& first, int other) {
    return first + "-" + std::to_string(other);
}

// Removes what a stopped writer left at `name`: a link planted there goes as a link, a plain
// file only when no writer still holds it. Anything else (a folder) stays.
void RemoveLeftover(const std::string& name) {
#if defined(_WIN32)
    if (MayTakeAnotherName(name)) {
        std::error_code ignored;
        fs::remove(PathFromUtf8(name), ignored);  // refused while its writer has it open
    }
#else
    struct stat named {};
    if (::lstat(name.c_str(), &named) != 0) {
        return;
    }
    if (S_ISLNK(named.st_mode)) {
        ::unlink(name.c_str());
        return;
    }
    if (!S_ISREG(named.st_mode)) {
        return;
    }
    const int descriptor = ::open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) {
        return;
    }
    struct stat opened {};
    struct stat again {};
    // The name must still be the file that was found free: another clean-up may have removed
    // it and a new writer taken the name meanwhile.
    if (::fstat(descriptor, &opened) == 0 && ::flock(descriptor, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(name.c_str(), &again) == 0 && again.st_dev == opened.st_dev &&
        again.st_ino == opened.st_ino) {
        ::unlink(name.c_str());
    }
    ::close(descriptor);
#endif
}

void RemoveLeftoversBeside(const std::string& file, std::string_view newFileSuffix) {
    const std::string first = file + std::string(newFileSuffix);
    for (int other = 0; other <= kOtherNames; ++other) {
        RemoveLeftover(other == 0 ? first : OtherName(first, other));
    }
}

// Only Vexlor's own suffixes are cleaned up unasked: a name like "strings.txt.new" may be
// someone else's file.
bool IsOwnSuffix(std::string_view newFileSuffix) {
    return newFileSuffix.rfind(".vexlor-", 0) == 0;
}

// "4700.png.vexlor-new" or "4700.png.vexlor-new-12".
bool IsLeftoverName(const std::string& name, std::string_view newFileSuffix) {
    const std::size_t at = name.rfind(newFileSuffix);
    if (at == std::string::npos || at == 0) {
        return false;
    }
    const std::string rest = name.substr(at + newFileSuffix.size());
    return rest.empty() || (rest.size() > 1 && rest[0] == '-' &&
                            rest.find_first_not_of("0123456789", 1) == std::string::npos);
}

}  // namespace

std::optional<std::string> FinalLinkTarget(const std::string& path) {
    try {
        fs::path current = PathFromUtf8(path);
        for (int hop = 0; hop <= kMaxLinks; ++hop) {
            std::error_code error;
            if (!fs::is_symlink(fs::symlink_status(current, error))) {
                return Utf8Of(current);
            }
            const fs::path next = fs::read_symlink(current, error);
            if (error) {
                return std::nullopt;
            }
            current = next.is_absolute() ? next : current.parent_path() / next;
        }
        return std::nullopt;
    } catch (...) {
        return std::nullopt;
    }
}

ReplacementFile::ReplacementFile(const std::string& path, std::string_view newFileSuffix,
                                 Links links, Leftovers leftovers) {
    try {
        if (!Prepare(path, newFileSuffix, links, leftovers)) {
            Discard();
        }
    } catch (...) {
        Discard();
    }
}

ReplacementFile::~ReplacementFile() {
    if (!committed_) {
        Discard();
    }
}

bool ReplacementFile::Prepare(const std::string& path, std::string_view newFileSuffix, Links links,
                              Leftovers leftovers) {
    const std::optional<std::string> target =
        links == Links::Follow ? FinalLinkTarget(path) : std::optional<std::string>(path);
    if (!target) {
        systemError_ = ELOOP;
        return false;
    }
    target_ = *target;
    if (!MayReplace(links)) {
        return false;
    }
    if (IsOwnSuffix(newFileSuffix) && leftovers == Leftovers::RemoveFirst) {
        RemoveLeftoversBeside(target_, newFileSuffix);
    }
    newPath_ = target_ + std::string(newFileSuffix);
    return CreateNewFile();
}

bool ReplacementFile::MayReplace(Links links) {
    std::error_code error;
    const fs::file_status named = fs::symlink_status(PathFromUtf8(target_), error);
    if (links == Links::Replace && fs::is_symlink(named)) {
        keepPermissions_ = false;  // the link's own are no file's
        return true;
    }
    switch (WriteAccessOf(target_)) {
        case WriteAccess::Allowed:
            return true;
        case WriteAccess::ReadOnly:
            systemError_ = EACCES;
            return false;
        case WriteAccess::HardLinked:
            systemError_ = EMLINK;
            return false;
        case WriteAccess::NotPlain:
            systemError_ =
                fs::is_directory(fs::status(PathFromUtf8(target_), error)) ? EISDIR : EINVAL;
            return false;
        case WriteAccess::Missing:
            break;
    }
    if (!fs::is_directory(FolderOf(PathFromUtf8(target_)), error)) {
        systemError_ = ENOENT;
        return false;
    }
    return true;
}

bool ReplacementFile::CreateNewFile() {
    const std::string first = newPath_;
    int descriptor = CreateExclusively(newPath_);
    int reason = errno;
    const bool mayTakeAnother = descriptor < 0 && reason == EEXIST && MayTakeAnotherName(first);
    for (int other = 1;
         mayTakeAnother && descriptor < 0 && reason == EEXIST && other <= kOtherNames; ++other) {
        newPath_ = OtherName(first, other);
        descriptor = CreateExclusively(newPath_);
        reason = errno;
    }
    if (descriptor < 0) {
        systemError_ = reason;
        newPath_.clear();  // not ours: Discard must leave it
        return false;
    }
    held_ = HoldWhileWriting(descriptor);
    file_ = WriterOn(descriptor);
    if (file_ == nullptr) {
        systemError_ = errno;
        return false;
    }
    return true;
}

bool ReplacementFile::Write(std::string_view bytes) {
    if (file_ == nullptr) {
        return false;
    }
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        return Fail();
    }
    return true;
}

bool ReplacementFile::Commit() {
    if (file_ == nullptr || committed_) {
        return false;
    }
    const bool synced = SyncToDisk(file_);
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!synced || !closed) {
        return Fail();
    }
    if (!PutInPlace()) {
        return false;
    }
    SyncFolder(Utf8Of(FolderOf(PathFromUtf8(target_))));
    return true;
}

bool ReplacementFile::FinishWriting() {
    if (file_ == nullptr || committed_) {
        return false;
    }
    const bool flushed = std::fflush(file_) == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || !closed) {
        return Fail();
    }
    finished_ = true;
    return true;
}

bool ReplacementFile::SyncFinished() {
    if (!finished_ || committed_) {
        return false;
    }
#if defined(_WIN32)
    // Nothing holds the closed file on Windows: it is opened again to be flushed.
    const int descriptor = ::_wopen(WideFromUtf8(newPath_).c_str(), _O_RDWR | _O_BINARY);
    const bool synced = descriptor >= 0 && _commit(descriptor) == 0;
    if (descriptor >= 0) {
        ::_close(descriptor);
    }
#else
    const bool synced = held_ >= 0 && ::fsync(held_) == 0;
#endif
    return synced || Fail();
}

bool ReplacementFile::CommitFinished() {
    if (!finished_ || committed_) {
        return false;
    }
    return PutInPlace();
}

bool ReplacementFile::PutInPlace() {
    try {
        std::error_code error;
        const fs::file_status old = fs::status(PathFromUtf8(target_), error);
        error.clear();  // a missing target is created
        if (keepPermissions_ && fs::exists(old)) {
            fs::permissions(PathFromUtf8(newPath_), old.permissions() & fs::perms::mask,
                            fs::perm_options::replace, error);
        }
        if (!error) {
            MoveIntoPlace(PathFromUtf8(newPath_), PathFromUtf8(target_), error);
        }
        if (error) {
            systemError_ = error.value();
            return Fail();
        }
        committed_ = true;
        LetGo(held_);
        return true;
    } catch (...) {
        return Fail();
    }
}

bool ReplacementFile::Fail() {
    if (systemError_ == 0) {
        systemError_ = errno != 0 ? errno : EIO;
    }
    Discard();
    return false;
}

void ReplacementFile::Discard() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!newPath_.empty()) {
        std::error_code ignored;
        fs::remove(PathFromUtf8(newPath_), ignored);
        newPath_.clear();
    }
    LetGo(held_);
}

void SyncFolder([[maybe_unused]] const std::string& folder) {
#if !defined(_WIN32)
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
#endif
}

void RemoveLeftoverNewFiles(const std::string& path, std::string_view newFileSuffix,
                            ReplacementFile::Links links) {
    try {
        const std::optional<std::string> target = links == ReplacementFile::Links::Follow
                                                      ? FinalLinkTarget(path)
                                                      : std::optional<std::string>(path);
        if (target) {
            RemoveLeftoversBeside(*target, newFileSuffix);
        }
    } catch (...) {
        // What could not be removed stays for the next write to try again.
    }
}

void RemoveLeftoverNewFilesIn(const std::string& folder, std::string_view newFileSuffix) {
    try {
        std::error_code error;
        for (fs::directory_iterator entry(PathFromUtf8(folder), error), end; !error && entry != end;
             entry.increment(error)) {
            const std::string name = Utf8Of(entry->path().filename());
            if (IsLeftoverName(name, newFileSuffix)) {
                RemoveLeftover(Utf8Of(entry->path()));
            }
        }
    } catch (...) {
        // As above.
    }
}

bool ReplaceFileWith(const std::string& path, std::string_view bytes,
                     std::string_view newFileSuffix, int* systemError,
                     ReplacementFile::Links links) {
    ReplacementFile replacement(path, newFileSuffix, links);
    const bool replaced = replacement.Write(bytes) && replacement.Commit();
    if (!replaced && systemError != nullptr) {
        *systemError = replacement.SystemError();
    }
    return replaced;
}

}  // namespace vexlor
