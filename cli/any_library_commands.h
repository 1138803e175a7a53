#pragma once

#include "cli/command.h"

namespace vexlor::cli {

// Changing a library of any kind, its records named by GroupId and PictureId: add, set, remove
// and rename, each recorded so that undo takes it back.
int RunAdd(const Invocation& invocation);
int RunSet(const Invocation& invocation);
int RunRemove(const Invocation& invocation);
int RunRename(const Invocation& invocation);

}  // namespace vexlor::cli
