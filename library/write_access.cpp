#include "library/write_access.h"

#include <filesystem>
#include <optional>

#include "library/replacement_file.h"
#include "library/utf8_path.h"

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vexlor {

namespace {

namespace fs = std::filesystem;

// The system's answer for the user the program runs as: false for a file on a read-only mount
// or one that an access control list closes, even to root.
bool SystemAllowsWriting(const std::string& file) {
#if defined(_WIN32)
    return ::_waccess(WideFromUtf8(file).c_str(), 2) == 0;
#else
    return ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) == 0;
#endif
}

}  // namespace

std::uintmax_t HardLinkCount(const std::string& file, std::error_code& error) {
#if defined(_WIN32)
    // The C runtime of Windows always says 1, so the file itself is asked.
    const HANDLE handle = CreateFileW(WideFromUtf8(file).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known =
        handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, &information) != 0;
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
    }
    if (!known) {
        error = std::error_code(EACCES, std::generic_category());
        return 0;
    }
    return information.nNumberOfLinks;
#else
    return fs::hard_link_count(file, error);
#endif
}

WriteAccess WriteAccessOf(const std::string& path) {
    try {
        const std::optional<std::string> target = FinalLinkTarget(path);
        if (!target) {
            return WriteAccess::NotPlain;
        }
        std::error_code error;
        const fs::file_status status = fs::status(PathFromUtf8(*target), error);
        if (status.type() == fs::file_type::not_found) {
            return WriteAccess::Missing;
        }
        if (error || !fs::is_regular_file(status)) {
            return WriteAccess::NotPlain;
        }
        if ((status.permissions() & fs::perms::owner_write) == fs::perms::none ||
            !SystemAllowsWriting(*target)) {
            return WriteAccess::ReadOnly;
        }
        const std::uintmax_t names = HardLinkCount(*target, error);
        if (error) {
            return WriteAccess::NotPlain;
        }
        return names > 1 ? WriteAccess::HardLinked : WriteAccess::Allowed;
    } catch (...) {
        return WriteAccess::NotPlain;
    }
}

std::string ReadOnlyText(const std::string& name) {
    return name + " is read-only (it has no write permission), so it was not changed";
}

std::string HardLinkedText(const std::string& name) {
    return name + " has other hard links, so it was not changed";
}

std::string WriteRefusalText(WriteAccess access, const std::string& name) {
    switch (access) {
        case WriteAccess::ReadOnly:
            return ReadOnlyText(name);
        case WriteAccess::HardLinked:
            return HardLinkedText(name);
        case WriteAccess::Allowed:
        case WriteAccess::Missing:
        case WriteAccess::NotPlain:
            break;
    }
    return {};
}

}  // namespace vexlor
