#include <gtest/gtest.h>

#include "craft/craft_preview.h"
#include "craft/number_field.h"
#include "tests/craft/craft_test_files.h"

namespace vexlor {
namespace {

using test::Bytes;
using test::EntryOf;
using test::SetEntry;
using test::TempDir;
namespace exe = test::exe;

// A game folder with an executable whose craft 3 holds numbers above the fields' range.
class CraftPreviewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        original_ = test::ExecutableBytes();
        test::ClearShipSlots(original_);
        SetEntry(original_, exe::kHull, 3, 65535);
        SetEntry(original_, exe::kMap, 3, 65501);
        SetEntry(original_, exe::kMap, 100, 1200);
        SetEntry(original_, exe::kShipSlots, 12, 3);
        test::WriteFileBytes(exePath_, original_);
        ASSERT_TRUE(preview_.Load(folder_));
    }

    Bytes FileBytes() const { return test::ReadFileBytes(exePath_); }

    TempDir dir_;
    std::string folder_ = dir_.Path().string() + "/";
    std::string exePath_ = dir_.File("xwingalliance.exe");
    Bytes original_;
    CraftPreview preview_;
};

TEST_F(CraftPreviewTest, DisplayShowsFieldValuesAndSearchesFromTheSecondRunOn) {
    CraftDisplay first = preview_.Display(3, {});
    EXPECT_TRUE(first.selected);
    EXPECT_FALSE(first.searched);
    EXPECT_EQ(first.hull, 65500);
    EXPECT_EQ(first.map, 65500);
    EXPECT_EQ(first.ship, " 20012");
    EXPECT_TRUE(first.shipEnabled);
    EXPECT_EQ(first.battle, original_[exe::kBattle]);

    const CraftDisplay craft100 = preview_.Display(100, {});
    EXPECT_TRUE(craft100.searched);
    EXPECT_EQ(craft100.hull, std::nullopt);
    EXPECT_EQ(craft100.map, 1200);
    EXPECT_EQ(craft100.ship, "none");
    EXPECT_FALSE(craft100.shipEnabled);

    for (int outside : {0, 219}) {
        const CraftDisplay none = preview_.Display(outside, {});
        EXPECT_FALSE(none.selected);
        EXPECT_FALSE(none.searched);
    }
}

TEST_F(CraftPreviewTest, SaveWritesOnlyTheEditedValues) {
    CraftEdit edit;
    edit.map = 4700;
    edit.mission = 7;
    ASSERT_EQ(preview_.Save(3, edit), CraftTablesResult::Ok);
    Bytes expected = original_;
    SetEntry(expected, exe::kMap, 3, 4700);
    expected[exe::kMission] = 7;
    // HULL 65535 stays, though its field could only show 65500.
    EXPECT_EQ(FileBytes(), expected);
    EXPECT_EQ(preview_.Tables().MapPictureId[3], 4700);
}

TEST_F(CraftPreviewTest, SaveOfCraftWithoutHullEntryLeavesTheHullTable) {
    CraftEdit edit;
    edit.hull = 100;
    edit.map = 300;
    ASSERT_EQ(preview_.Save(72, edit), CraftTablesResult::Ok);
    Bytes expected = original_;
    SetEntry(expected, exe::kMap, 72, 300);
    EXPECT_EQ(FileBytes(), expected);
    EXPECT_EQ(preview_.Save(219, edit), CraftTablesResult::CannotWrite);
    EXPECT_EQ(FileBytes(), expected);
}

TEST_F(CraftPreviewTest, FailedSaveKeepsPictureNumbersInMemoryButNotSettings) {
    Bytes replaced = original_;
    test::PutText(replaced, exe::kVersion, "1.00");
    test::WriteFileBytes(exePath_, replaced);
    CraftEdit edit;
    edit.hull = 900;
    edit.battle = 1;
    EXPECT_EQ(preview_.Save(5, edit), CraftTablesResult::WrongVersion);
    EXPECT_EQ(FileBytes(), replaced);
    EXPECT_EQ(preview_.Tables().HullPictureId[5], 900);
    EXPECT_EQ(preview_.Tables().EnabledBattle, original_[exe::kBattle]);

    // The next successful Save writes the kept number too.
    test::WriteFileBytes(exePath_, original_);
    ASSERT_EQ(preview_.Save(6, CraftEdit{}), CraftTablesResult::Ok);
    EXPECT_EQ(EntryOf(FileBytes(), exe::kHull, 5), 900);
}

TEST(CraftPreviewLoad, WrongVersionIsRefusedAndNamesStillRead) {
    TempDir dir;
    CraftPreview preview;
    EXPECT_FALSE(preview.Load(dir.Path().string()));
    ASSERT_EQ(preview.Names().size(), 218u);
    EXPECT_EQ(preview.Names()[0], "*craft_1");
}

TEST(CraftNumberField, TextIsReadAsAWholeNumberLimitedToTheRange) {
    EXPECT_EQ(FieldValueFromText("4700", kPictureNumberFieldMax), 4700);
    EXPECT_EQ(FieldValueFromText("+12", kPictureNumberFieldMax), 12);
    EXPECT_EQ(FieldValueFromText("70000", kPictureNumberFieldMax), 65500);
    EXPECT_EQ(FieldValueFromText("99999999999999999999999", kSettingFieldMax), 255);
    EXPECT_EQ(FieldValueFromText("256", kSettingFieldMax), 255);
    EXPECT_EQ(FieldValueFromText("-5", kSettingFieldMax), 0);
    for (const char* notANumber : {"", "abc", "12a", " 12", "-", "1.5"}) {
        EXPECT_EQ(FieldValueFromText(notANumber, kSettingFieldMax), 0) << notANumber;
    }
    EXPECT_EQ(LimitToField(65535, kPictureNumberFieldMax), 65500);
    EXPECT_EQ(LimitToField(-1, kSettingFieldMax), 0);
}

}  // namespace
}  // namespace vexlor
