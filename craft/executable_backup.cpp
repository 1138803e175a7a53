#include "craft/executable_backup.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

#include "library/replacement_file.h"
#include "library/utf8_path.h"

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vexlor {
namespace fs = std::filesystem;
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// A copy that only reached the operating system's cache would be lost with the power; nothing
// may take the copy's name before it is on the disk.
bool FlushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) {
        return false;
    }
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return ::fsync(::fileno(file)) == 0;
#endif
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

// Removes a file or a link of ours, never a folder that happens to carry the name.
void RemoveQuietly(const fs::path& path) {
    std::error_code ignored;
    if (!fs::is_directory(fs::symlink_status(path, ignored))) {
        fs::remove(path, ignored);
    }
}

bool CopyContent(std::FILE* from, std::FILE* to) {
    char buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, from)) > 0) {
        if (std::fwrite(buffer, 1, count, to) != count) {
            return false;
        }
    }
    return std::ferror(from) == 0;
}

// Writes a complete copy of `source` to `copy`, replacing whatever `copy` held.
bool WriteCopy(const fs::path& source, const fs::path& copy) {
    std::error_code error;
    if (!fs::is_regular_file(source, error)) {
        return false;
    }
    UniqueFile from(OpenFileUtf8(Utf8Of(source), "rb"));
    if (!from) {
        return false;
    }
    // A stale copy from a run that stopped half-way goes; a link there is removed, not followed.
    if (Exists(copy)) {
        RemoveQuietly(copy);
    }
    UniqueFile to(OpenFileUtf8(Utf8Of(copy), "wbx"));
    if (!to) {
        return false;
    }
    if (!CopyContent(from.get(), to.get()) || !FlushToDisk(to.get())) {
        return false;
    }
    return std::fclose(to.release()) == 0;
}

// Once renamed, the new name itself must survive a power loss too.
void SyncFolderOf(const fs::path& path) {
#ifndef _WIN32
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const int descriptor = ::open(folder.string().c_str(), O_RDONLY);
    if (descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
#else
    (void)path;
#endif
}

// Gives `from` the name `to` only when nothing is called `to`; a file that appears there
// meanwhile is never replaced.
bool RenameWithoutReplacing(const fs::path& from, const fs::path& to) {
#ifdef _WIN32
    // The C library's rename refuses a name that is taken.
    return ::_wrename(from.c_str(), to.c_str()) == 0;
#else
    if (::link(from.string().c_str(), to.string().c_str()) == 0) {
        std::error_code ignored;
        fs::remove(from, ignored);
        return true;
    }
    if (errno == EEXIST) {
        return false;
    }
    // A file system without hard links: the name is checked just before the rename.
    std::error_code error;
    if (fs::exists(fs::symlink_status(to, error)) || error) {
        return false;
    }
    fs::rename(from, to, error);
    return !error;
#endif
}

}  // namespace

BackupResult BackUpFile(const std::string& source, const std::string& backup) {
    // A copy that a stopped run left goes, also when the backup itself was made before.
    RemoveLeftoverNewFiles(backup, ".new", ReplacementFile::Links::Replace);
    const fs::path backupPath = PathFromUtf8(backup);
    std::error_code error;
    if (Exists(backupPath)) {
        return fs::is_regular_file(backupPath, error) ? BackupResult::AlreadyThere
                                                      : BackupResult::Failed;
    }
    fs::path copy = backupPath;
    copy += ".new";
    if (!WriteCopy(PathFromUtf8(source), copy)) {
        RemoveQuietly(copy);
        return BackupResult::Failed;
    }
    if (!RenameWithoutReplacing(copy, backupPath)) {
        RemoveQuietly(copy);
        // Another run may have made it meanwhile; either way that one stays.
        return fs::is_regular_file(backupPath, error) ? BackupResult::AlreadyThere
                                                      : BackupResult::Failed;
    }
    SyncFolderOf(backupPath);
    return BackupResult::Made;
}

// Through the shared replacement, so that an executable reached through a link is restored
// where the link leads, with its permissions, and is never half restored.
bool RestoreFileFrom(const std::string& backup, const std::string& target, int* systemError) {
    std::error_code error;
    if (!fs::is_regular_file(PathFromUtf8(backup), error)) {
        return false;
    }
    UniqueFile from(OpenFileUtf8(backup, "rb"));
    if (!from) {
        return false;
    }
    ReplacementFile replacement(target, ".vexlor-new");
    if (!replacement.IsOpen()) {
        if (systemError != nullptr) {
            *systemError = replacement.SystemError();
        }
        return false;
    }
    char buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, from.get())) > 0) {
        if (!replacement.Write(std::string_view(buffer, count))) {
            return false;
        }
    }
    return std::ferror(from.get()) == 0 && replacement.Commit();
}

}  // namespace vexlor
