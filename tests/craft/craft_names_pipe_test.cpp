#include <gtest/gtest.h>

#include <string>

#include "craft/craft_names.h"
#include "tests/support/posix_only.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

TEST(CraftNames, StringsTxtThatIsAPipeCountsAsMissing) {
    VEXLOR_POSIX_ONLY("named pipes");
    test::TempDir dir;
    const std::string pipePath = dir.File("strings.txt");
    const test::WaitingFifo pipe(pipePath);
    const auto fromPipe = LoadCraftNames(pipePath);
    ASSERT_EQ(fromPipe.size(), 218u);
    EXPECT_EQ(fromPipe[0], "*craft_1");
}

}  // namespace
}  // namespace vexlor
