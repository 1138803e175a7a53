#pragma once

#include <string>

namespace vexlor {

// The process-wide folders. They end with a path separator once discovery has run; the game
// folder is empty when the game was not found. Set once at start-up, read everywhere after.
// `working` gets OutPut, Input and SHIP.tmp (see WorkingFolder); it is the program folder unless
// start-up finds that folder cannot be written.
struct Folders {
    std::string program = "./";
    std::string game;
    std::string working = program;
};

const Folders& AppFolders();
void SetAppFolders(const Folders& folders);

}  // namespace vexlor
