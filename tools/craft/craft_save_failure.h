#pragma once

#include <optional>
#include <string>

#include "tools/craft/craft_table_file.h"

namespace vexlor {

// What the user is told, after a beep, when a Save did not write the executable.
struct CraftSaveFailure {
    std::string text;
    std::string caption;
};

// Nothing for a Save that wrote. A file replaced by another version since start-up gets the
// start-up's version message, though the program goes on; a file that cannot be opened for
// writing, or whose write failed and was undone, is named so that the user knows it is unchanged.
std::optional<CraftSaveFailure> SaveFailureOf(CraftTablesResult result,
                                              const std::string& executablePath);

}  // namespace vexlor
