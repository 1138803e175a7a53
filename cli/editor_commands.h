#pragma once

#include "cli/command.h"

namespace vexlor::cli {

// The library editors' commands: list, export, append and renumber for a KIND.
int RunList(const Invocation& invocation);
int RunExport(const Invocation& invocation);
int RunAppend(const Invocation& invocation);
int RunRenumber(const Invocation& invocation);

}  // namespace vexlor::cli
