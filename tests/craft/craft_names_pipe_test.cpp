#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/fifo.h"
#include "tests/support/test_files.h"
#include "tools/craft/craft_names.h"

namespace vexlor {
namespace {

TEST(CraftNames, StringsTxtThatIsAPipeCountsAsMissingAndALinkIsRead) {
    test::TempDir dir;
    const std::string pipePath = dir.File("strings.txt");
    const test::WaitingFifo pipe(pipePath);
    const auto fromPipe = LoadCraftNames(pipePath);
    ASSERT_EQ(fromPipe.size(), 218u);
    EXPECT_EQ(fromPipe[0], "*craft_1");

    const std::string text = "x:!KSPECXW!:X-wing\r\n";
    test::WriteFileBytes(dir.File("real.txt"), test::Bytes(text.begin(), text.end()));
    std::filesystem::create_symlink("real.txt", dir.File("link.txt"));
    EXPECT_EQ(LoadCraftNames(dir.File("link.txt"))[0], "!KSPECXW!:X-wing");
}

}  // namespace
}  // namespace vexlor
