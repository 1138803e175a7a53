#include "platform/working_folder.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

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
#endif

std::string ProbeName() {
    std::random_device device;
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    std::mt19937_64 mix(device() ^ static_cast<std::uint64_t>(ticks));
    return ".vexlor-write-test-" + std::to_string(mix());
}

}  // namespace

bool CanCreateFileIn(const std::string& folder) {
    // A name taken by another program's probe at the same moment is tried again under another.
    for (int attempt = 0; attempt < 4; ++attempt) {
        const std::filesystem::path probe = std::filesystem::path(folder) / ProbeName();
        errno = 0;
        if (std::FILE* file = std::fopen(probe.string().c_str(), "wbx")) {
            std::fclose(file);
            std::error_code ignored;
            std::filesystem::remove(probe, ignored);
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

std::string WorkingFolder(const std::string& programFolder, bool programFolderTakesFiles) {
#ifdef _WIN32
    (void)programFolderTakesFiles;
    return programFolder;
#else
    if (programFolderTakesFiles) {
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
