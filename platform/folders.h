#pragma once

#include <string>

namespace vexlor {

// The two process-wide folders. Both end with a path separator once discovery has run; the game
// folder is empty when the game was not found. Set once at start-up, read everywhere after.
struct Folders {
    std::string program = "./";
    std::string game;
};

const Folders& AppFolders();
void SetAppFolders(const Folders& folders);

}  // namespace vexlor
