#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/cli/cli_runner.h"
#include "tests/support/test_files.h"

namespace vexlor::test {
namespace {

using Args = std::vector<std::string>;

std::string Joined(const Args& args) {
    std::string text;
    for (const std::string& arg : args) {
        text += arg + " ";
    }
    return text;
}

TEST(Dispatch, HelpPrintsUsageOnStandardOutput) {
    for (const Args& args : {Args{"--help"}, Args{"create", "--help"}, Args{"kind", "--help"},
                             Args{"info", "--help"}, Args{"check", "x.dat", "--help"}}) {
        SCOPED_TRACE(Joined(args));
        const CliResult result = RunCli(args);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out.rfind("usage: vexlor-cli", 0), 0u) << result.out;
        EXPECT_EQ(result.err, "");
    }
}

TEST(Dispatch, UsageErrorsExitTwoWithUsageOnStandardErrorAndWriteNothing) {
    const Args errors[] = {
        {},
        {"frobnicate"},
        {"craft"},
        {"create", "hull"},
        {"create", "hull", "a.dat", "b.dat"},
        {"create", "boat", "a.dat"},
        {"info"},
        {"kind", "--verbose", "a.dat"},
        {"list", "boat", "a.dat"},
        {"export", "hull", "a.dat", "first"},
        {"append", "hull", "a.dat", "b.bmp"},
        {"append", "hull", "a.dat", "b.bmp", "--id", "100", "--tmp", "c"},
        {"renumber", "hull", "a.dat", "-1", "100", "200"},
        {"craft", "find", "game", "0"},
        {"craft", "set", "game", "219", "--hull", "5"},
        {"demo"},
        {"demo", "dir", "other"},
    };
    TempDir dir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());  // so that relative names land in `dir`
    for (const Args& args : errors) {
        SCOPED_TRACE(Joined(args));
        const CliResult result = RunCli(args);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find("usage: vexlor-cli"), std::string::npos) << result.err;
    }
    std::filesystem::current_path(previous);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(Dispatch, DoubleDashEndsTheOptions) {
    TempDir dir;
    const std::string path = dir.File("--odd.dat");
    EXPECT_EQ(RunCli({"create", "ship", "--", path}).status, 0);
    EXPECT_EQ(ReadFileBytes(path).size(), 34u);
}

}  // namespace
}  // namespace vexlor::test
