#include "library/journal_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "library/byte_file.h"
#include "library/replacement_file.h"
#include "library/utf8_path.h"

namespace vexlor {

namespace fs = std::filesystem;

bool RenameDurably(const std::string& from, const std::string& to, const std::string& folder) {
    std::error_code error;
    fs::rename(PathFromUtf8(from), PathFromUtf8(to), error);
    if (error) {
        return false;
    }
    SyncFolder(folder);
    return true;
}

// Reads a whole small journal file; nothing when it cannot be read or is no plain file itself:
// a link planted in the journal's folder never steers what it reads.
std::optional<std::string> ReadJournalFile(const std::string& path, std::uint64_t limit) {
#ifdef _WIN32
    std::error_code error;
    if (!fs::is_regular_file(fs::symlink_status(PathFromUtf8(path), error))) {
        return std::nullopt;
    }
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
#else
    // Not blocking either: a pipe planted at the name must not hold the program.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return std::nullopt;
    }
    struct stat status {};
    std::optional<std::string> bytes;
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
        bytes.emplace(
            static_cast<std::size_t>(std::min(static_cast<std::uint64_t>(status.st_size), limit)),
            '\0');
        std::size_t done = 0;
        while (done < bytes->size()) {
            const ssize_t got = ::pread(descriptor, bytes->data() + done, bytes->size() - done,
                                        static_cast<off_t>(done));
            if (got <= 0) {
                bytes.reset();
                break;
            }
            done += static_cast<std::size_t>(got);
        }
    }
    ::close(descriptor);
    return bytes;
#endif
}

namespace {

// Makes a new file of its own at `path` (an existing name is no file to write through).
int CreateOwnFile(const std::string& path) {
#ifdef _WIN32
    return ::_wopen(WideFromUtf8(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                    _S_IREAD | _S_IWRITE);
#else
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
#endif
}

bool WriteAllAndClose(int descriptor, std::string_view bytes, bool durable) {
    bool ok = true;
    while (ok && !bytes.empty()) {
#ifdef _WIN32
        const int wrote =
            ::_write(descriptor, bytes.data(),
                     static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1 << 20)));
#else
        const ssize_t wrote = ::write(descriptor, bytes.data(), bytes.size());
#endif
        ok = wrote > 0;
        bytes.remove_prefix(ok ? static_cast<std::size_t>(wrote) : 0);
    }
#ifdef _WIN32
    ok = ok && (!durable || ::_commit(descriptor) == 0);
    return ::_close(descriptor) == 0 && ok;
#else
    ok = ok && (!durable || ::fsync(descriptor) == 0);
    return ::close(descriptor) == 0 && ok;
#endif
}

}  // namespace

// Gives a journal file its new content through a new file renamed over it, so that it is whole,
// old or new, at every instant. The journal's lock keeps other writers of the folder out, so a
// file left at the new file's name is a stopped process's: it goes (a link there is removed
// itself, never what it leads to), and so does a link at `path`, which the rename replaces.
// `durable`: on the disk before it returns.
bool WriteJournalFile(const std::string& path, std::string_view bytes, bool durable,
                      const std::string& folder) {
    const std::string written = path + kJournalNewSuffix;
    std::error_code error;
    const fs::file_status left = fs::symlink_status(PathFromUtf8(written), error);
    if (fs::is_regular_file(left) || fs::is_symlink(left)) {
        fs::remove(PathFromUtf8(written), error);
    }
    const int descriptor = CreateOwnFile(written);
    if (descriptor < 0) {
        return false;
    }
    if (!WriteAllAndClose(descriptor, bytes, durable)) {
        fs::remove(PathFromUtf8(written), error);
        return false;
    }
    if (durable ? !RenameDurably(written, path, folder)
                : (fs::rename(PathFromUtf8(written), PathFromUtf8(path), error),
                   static_cast<bool>(error))) {
        fs::remove(PathFromUtf8(written), error);
        return false;
    }
    return true;
}

bool IsOwnFolder([[maybe_unused]] const std::string& path, [[maybe_unused]] bool mayBeLink) {
#ifdef _WIN32
    return true;
#else
    struct stat link {};
    struct stat folder {};
    if (::lstat(path.c_str(), &link) != 0 || ::stat(path.c_str(), &folder) != 0) {
        return false;
    }
    if (S_ISLNK(link.st_mode) && (!mayBeLink || (link.st_uid != ::geteuid() && link.st_uid != 0))) {
        return false;
    }
    return S_ISDIR(folder.st_mode) && folder.st_uid == ::geteuid() &&
           (folder.st_mode & S_IWOTH) == 0;
#endif
}

}  // namespace vexlor
