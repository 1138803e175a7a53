#include "platform/working_folder.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "library/utf8_path.h"

namespace vexlor {

namespace {

#ifndef _WIN32
std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// The XDG rule: a relative path in the variable is ignored, as if it were not set.
bool IsAbsolute(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

std::string UserDataFolder() {
    const std::string data = Environment("XDG_DATA_HOME");
    if (IsAbsolute(data)) {
        return data + "/vexlor/";
    }
    const std::string home = Environment("HOME");
    return IsAbsolute(home) ? home + "/.local/share/vexlor/" : std::string();
}

// Earlier versions found out by making a file of this name and removing it again; a run stopped
// in between left it behind.
constexpr std::string_view kOldProbePrefix = ".vexlor-write-test-";

void RemoveOldProbes(const std::string& folder) {
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        std::error_code ignored;
        if (name.rfind(kOldProbePrefix, 0) == 0 && entry->is_regular_file(ignored) &&
            entry->file_size(ignored) == 0) {
            std::filesystem::remove(entry->path(), ignored);
        }
    }
}
#endif

}  // namespace

bool CanCreateFileIn(const std::string& folder) {
    std::error_code error;
    if (!std::filesystem::is_directory(PathFromUtf8(folder), error)) {
        return false;
    }
#ifdef _WIN32
    return ::_waccess(WideFromUtf8(folder).c_str(), 2) == 0;
#else
    // The system's own answer for this user: it knows root, read-only mounts and access control
    // lists, and nothing is written to ask it.
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
#endif
}

std::string WorkingFolder(const std::string& programFolder, bool programFolderTakesFiles) {
#ifdef _WIN32
    (void)programFolderTakesFiles;
    return programFolder;
#else
    if (programFolderTakesFiles) {
        RemoveOldProbes(programFolder);
        return programFolder;
    }
    const std::string own = UserDataFolder();
    if (own.empty()) {
        return programFolder;
    }
    std::error_code error;
    std::filesystem::create_directories(own, error);
    return std::filesystem::is_directory(own, error) ? own : programFolder;
#endif
}

std::string WorkingFolder(const std::string& programFolder) {
#ifdef _WIN32
    return programFolder;
#else
    return WorkingFolder(programFolder, CanCreateFileIn(programFolder));
#endif
}

}  // namespace vexlor
