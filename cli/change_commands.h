#pragma once

#include "cli/command.h"

namespace vexlor::cli {

// Changing a library and taking changes back: delete and replace for a KIND, and undo, redo
// and history for any library that Vexlor changed.
int RunDelete(const Invocation& invocation);
int RunReplace(const Invocation& invocation);
int RunUndo(const Invocation& invocation);
int RunRedo(const Invocation& invocation);
int RunHistory(const Invocation& invocation);

}  // namespace vexlor::cli
