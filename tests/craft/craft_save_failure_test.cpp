#include "craft/craft_save_failure.h"

#include <gtest/gtest.h>

namespace vexlor {
namespace {

TEST(CraftSaveFailure, EachFailureTellsTheUserAndSuccessTellsNothing) {
    const std::string path = "/g/xwingalliance.exe";
    EXPECT_FALSE(SaveFailureOf(CraftTablesResult::Ok, path));
    const auto version = SaveFailureOf(CraftTablesResult::WrongVersion, path);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->text, "Need XWingAlliance 2.02");
    EXPECT_EQ(version->caption, "Bad version");
    for (CraftTablesResult result :
         {CraftTablesResult::CannotWrite, CraftTablesResult::WriteFailed}) {
        const auto failure = SaveFailureOf(result, path);
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->text, "Cannot write /g/xwingalliance.exe");
        EXPECT_EQ(failure->caption, "Error");
    }
}

}  // namespace
}  // namespace vexlor
