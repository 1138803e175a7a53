#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "platform/folders.h"
#include "platform/game_registry.h"

namespace vexlor {

// The INI file of the configuration: section "Folders", key "XWingAlliance" (the game folder).
inline constexpr char kConfigSection[] = "Folders";
inline constexpr char kConfigGameFolderKey[] = "XWingAlliance";
inline constexpr std::size_t kConfigBufferSize = 1024;

// The text of `path` up to and including its last '\' or '/', or the colon of a drive letter
// ("C:" at its start) when no separator follows it; empty when there is neither.
std::string FolderPartOf(const std::string& path);

// Game folder discovery, without windows:
// 1. program folder := FolderPartOf(programFilePath) ("./" when that is empty);
// 2. game folder := "XWingAlliance" of section "Folders" of the INI file `iniPath`, default "",
//    buffer 1024;
// 3. 4 characters or more: used as stored, the registry is not consulted and nothing is
//    written, except that (a) a value without a final separator gets one in memory ('\' when it
//    holds a '\' and no '/', else '/'), and (b) on platforms other than Windows a Windows path
//    with a drive letter ("C:\Games\XWA\") is mapped into the Wine prefix WinePrefixFolder()
//    when its drive exists there;
// 4. otherwise readRegistry(): Missing gives the empty text, Text the folder part of its text
//    (on Linux a path already mapped into the prefix); the game folder is written back to
//    `iniPath`, also when empty; 5. WrongType: game folder empty, nothing written.
Folders DiscoverFolders(const std::string& programFilePath, const std::string& iniPath,
                        const std::function<RegistryValue()>& readRegistry);

}  // namespace vexlor
