#include "library/plain_file.h"

#if defined(_WIN32)
#include <filesystem>
#include <system_error>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vexlor {

#if defined(_WIN32)

std::FILE* OpenPlainFile(const std::string& path, bool forWriting) {
    std::error_code error;
    if (std::filesystem::status(path, error).type() != std::filesystem::file_type::regular) {
        return nullptr;
    }
    return std::fopen(path.c_str(), forWriting ? "r+b" : "rb");
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
    const bool plain = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
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
