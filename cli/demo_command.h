#pragma once

#include "cli/command.h"

namespace vexlor::cli {

// demo DIR: the demo game folder and the vexlor.ini that names it.
int RunDemo(const Invocation& invocation);

}  // namespace vexlor::cli
