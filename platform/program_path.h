#pragma once

#include <string>

namespace vexlor {

// The full path of the running program's own file; `argv0` is the fallback where the system
// cannot tell.
std::string ProgramFilePath(const char* argv0);

// The folder that holds the running program, with its final separator.
std::string ProgramFolder(const char* argv0);

}  // namespace vexlor
