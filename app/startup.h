#pragma once

namespace vexlor {

// The whole run of the program, from finding the folders to the end of the event loop.
// Returns the process's exit code.
int RunVexlor(int argc, char** argv);

}  // namespace vexlor
