#pragma once

#include "cli/command.h"

namespace vexlor::cli {

// The Preview tool's work on a game folder: the craft tables, the picture search and the Save.
int RunCraftList(const Invocation& invocation);
int RunCraftFind(const Invocation& invocation);
int RunCraftSet(const Invocation& invocation);

}  // namespace vexlor::cli
