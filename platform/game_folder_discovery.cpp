#include "platform/game_folder_discovery.h"

#include "platform/ascii_text.h"
#include "platform/ini_file.h"

namespace vexlor {

namespace {

using platform_detail::IsAsciiLetter;
using platform_detail::IsSeparator;

// Decision (a): a stored game folder of 4 or more characters that lacks its final separator
// would make every path built from it wrong; it gets one, in memory only.
std::string WithFinalSeparator(std::string folder) {
    if (!folder.empty() && !IsSeparator(folder.back())) {
        const bool windowsStyle =
            folder.find('\\') != std::string::npos && folder.find('/') == std::string::npos;
        folder.push_back(windowsStyle ? '\\' : '/');
    }
    return folder;
}

#if !defined(_WIN32)
bool IsWindowsDrivePath(const std::string& path) {
    return path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && IsSeparator(path[2]);
}
#endif

}  // namespace

std::string FolderPartOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    if (separator != std::string::npos) {
        return path.substr(0, separator + 1);
    }
    if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') {
        return path.substr(0, 2);
    }
    return {};
}

Folders DiscoverFolders(const std::string& programFilePath, const std::string& iniPath,
                        const std::function<RegistryValue()>& readRegistry) {
    Folders folders;
    folders.program = FolderPartOf(programFilePath);
    if (folders.program.empty()) {
        folders.program = "./";
    }
    folders.working = folders.program;

    const std::string stored =
        ReadProfileString(iniPath, kConfigSection, kConfigGameFolderKey, "", kConfigBufferSize);
    if (stored.size() >= 4) {
        folders.game = WithFinalSeparator(stored);
#if !defined(_WIN32)
        // Decision (b): a folder written on Windows names the drive of the Wine prefix.
        if (IsWindowsDrivePath(folders.game)) {
            const std::string mapped = MapWindowsPathToWinePrefix(WinePrefixFolder(), folders.game);
            if (!mapped.empty()) {
                folders.game = mapped;
            }
        }
#endif
        return folders;
    }

    const RegistryValue value = readRegistry ? readRegistry() : RegistryValue{};
    if (value.status == RegistryValue::Status::WrongType) {
        folders.game.clear();
        return folders;
    }
    folders.game = value.status == RegistryValue::Status::Text ? FolderPartOf(value.text) : "";
    WriteProfileString(iniPath, kConfigSection, kConfigGameFolderKey, folders.game);
    return folders;
}

}  // namespace vexlor
