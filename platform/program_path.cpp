#include "platform/program_path.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "library/utf8_path.h"

namespace vexlor {

std::string ProgramFilePath(const char* argv0) {
#if defined(_WIN32)
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
    if (length > 0 && length < MAX_PATH * 4) {
        return Utf8FromWide(std::wstring_view(buffer, length));
    }
#else
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        return self.string();
    }
#endif
    std::error_code ignored;
    const auto absolute = std::filesystem::absolute(argv0 != nullptr ? argv0 : "", ignored);
    return ignored ? std::string(argv0 != nullptr ? argv0 : "") : absolute.string();
}

std::string ProgramFolder(const char* argv0) {
    const std::string path = ProgramFilePath(argv0);
    const auto cut = path.find_last_of("/\\:");
    return cut == std::string::npos ? std::string("./") : path.substr(0, cut + 1);
}

}  // namespace vexlor
