#pragma once

#include "cli/command.h"

namespace vexlor::cli {

// extract FILE [--out DIR] [--png]: every record of any library written as a picture file.
int RunExtract(const Invocation& invocation);

}  // namespace vexlor::cli
