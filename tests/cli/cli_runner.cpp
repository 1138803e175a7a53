#include "tests/cli/cli_runner.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "tests/support/test_files.h"

namespace vexlor::test {

namespace {

// The argument as one word of the shell, whatever characters it holds.
std::string ShellWord(const std::string& text) {
    std::string word = "'";
    for (const char c : text) {
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return word + "'";
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args) {
    const char* program = std::getenv("VEXLOR_CLI");
    if (program == nullptr || *program == '\0') {
        throw std::runtime_error("VEXLOR_CLI is not set");
    }
    TempDir folder;
    const std::string errPath = folder.File("stderr");
    std::string command = ShellWord(program);
    for (const std::string& arg : args) {
        command += " " + ShellWord(arg);
    }
    command += " 2>" + ShellWord(errPath) + " </dev/null";

    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        throw std::runtime_error("cannot run " + command);
    }
    CliResult result;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        result.out.append(buffer, got);
    }
    const int wait = ::pclose(pipe);
    result.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    const Bytes err = ReadFileBytes(errPath);
    result.err.assign(err.begin(), err.end());
    return result;
}

}  // namespace vexlor::test
