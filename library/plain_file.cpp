#include "library/plain_file.h"

#include "library/utf8_path.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <filesystem>
#include <system_error>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vexlor {

#if defined(_WIN32)

// The C runtime's fopen shares a file for reading and writing only: while Vexlor reads a
// library, no other program could rename or delete it. Delete sharing allows that, as POSIX
// does; the type is taken from what was opened, not from the name.
std::FILE* OpenPlainFile(const std::string& path, bool forWriting) {
    const DWORD access = GENERIC_READ | (forWriting ? GENERIC_WRITE : 0);
    const std::wstring name = WideFromUtf8(path);
    const HANDLE handle =
        CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    // Only plain files on a disk are libraries: not a folder, a pipe or a device.
    if (GetFileType(handle) != FILE_TYPE_DISK ||
        (GetFileAttributesW(name.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        CloseHandle(handle);
        return nullptr;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle),
                                           (forWriting ? _O_RDWR : _O_RDONLY) | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(descriptor, forWriting ? "r+b" : "rb");
    if (file == nullptr) {
        _close(descriptor);
    }
    return file;
}

#else

std::FILE* OpenPlainFile(const std::string& path, bool forWriting) {
    // O_NONBLOCK keeps the open from waiting for a writer to a pipe; the type is then taken
    // from what was opened, not from the name, which might have changed meanwhile.
    const int access = forWriting ? O_RDWR : O_RDONLY;
    const int descriptor = ::open(path.c_str(), access | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat status {};
    // Root opens any file for writing; a file whose owner may not write it stays unchanged all
    // the same, as it does on Windows, where the read-only mark stops every writer.
    const bool plain = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
                       (!forWriting || (status.st_mode & S_IWUSR) != 0);
    const int flags = plain ? ::fcntl(descriptor, F_GETFL) : -1;
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(descriptor);
        return nullptr;
    }
    std::FILE* file = ::fdopen(descriptor, forWriting ? "r+b" : "rb");
    if (file == nullptr) {
        ::close(descriptor);
    }
    return file;
}

#endif

}  // namespace vexlor
