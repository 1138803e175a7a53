#pragma once

#include "cli/command.h"

namespace vexlor::cli {

// Library file commands: create KIND FILE, kind FILE, info FILE, check FILE.
int RunCreate(const Invocation& invocation);
int RunKind(const Invocation& invocation);
int RunInfo(const Invocation& invocation);
int RunCheck(const Invocation& invocation);

}  // namespace vexlor::cli
