#pragma once

#include <string>
#include <vector>

namespace vexlor::test {

struct CliResult {
    int status = -1;  // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs the vexlor-cli that $VEXLOR_CLI names with `args`, capturing both output streams.
CliResult RunCli(const std::vector<std::string>& args);

}  // namespace vexlor::test
