#include "tools/craft/craft_field_edits.h"

#include <map>

#include <gtest/gtest.h>

#include "tools/craft/craft_save_failure.h"

namespace vexlor {
namespace {

using Texts = std::map<CraftField, std::string>;

CraftEdit BuildFrom(const CraftFieldEdits& edits, const Texts& texts) {
    return edits.Build([&texts](CraftField field) {
        const auto found = texts.find(field);
        return found != texts.end() ? found->second : std::string("unused");
    });
}

TEST(CraftFieldEdits, OnlyChangesOutsideTheFillingAreEdits) {
    CraftFieldEdits edits;
    edits.BeginFilling();
    EXPECT_FALSE(edits.Changed(CraftField::Hull));
    EXPECT_FALSE(edits.Changed(CraftField::Battle));
    edits.EndFilling();
    EXPECT_TRUE(BuildFrom(edits, {}).Empty());

    EXPECT_TRUE(edits.Changed(CraftField::Map));
    EXPECT_TRUE(edits.Changed(CraftField::MissionLower));
    const CraftEdit edit =
        BuildFrom(edits, {{CraftField::Map, "4700"}, {CraftField::MissionLower, "12"}});
    EXPECT_EQ(edit.map, 4700);
    EXPECT_EQ(edit.missionLower, 12);
    EXPECT_FALSE(edit.hull || edit.battle || edit.mission);

    // The next display run drops them with the values they were made to.
    edits.BeginFilling();
    edits.EndFilling();
    EXPECT_TRUE(BuildFrom(edits, {}).Empty());
}

TEST(CraftFieldEdits, TextsAreReadWithEachFieldsRange) {
    CraftFieldEdits edits;
    for (CraftField field : {CraftField::Hull, CraftField::Map, CraftField::Battle,
                             CraftField::Mission, CraftField::MissionLower}) {
        edits.Changed(field);
    }
    const CraftEdit edit = BuildFrom(edits, {{CraftField::Hull, "none"},
                                             {CraftField::Map, "70000"},
                                             {CraftField::Battle, "256"},
                                             {CraftField::Mission, "-3"},
                                             {CraftField::MissionLower, " 7"}});
    EXPECT_EQ(edit.hull, 0);
    EXPECT_EQ(edit.map, 65500);
    EXPECT_EQ(edit.battle, 255);
    EXPECT_EQ(edit.mission, 0);
    EXPECT_EQ(edit.missionLower, 0);
}

TEST(CraftSaveFailure, EachFailureTellsTheUserAndSuccessTellsNothing) {
    EXPECT_FALSE(SaveFailureOf(CraftTablesResult::Ok, "/g/xwingalliance.exe"));
    const auto version = SaveFailureOf(CraftTablesResult::WrongVersion, "/g/xwingalliance.exe");
    ASSERT_TRUE(version);
    EXPECT_EQ(version->text, "Need XWingAlliance 2.02");
    EXPECT_EQ(version->caption, "Bad version");
    for (CraftTablesResult result :
         {CraftTablesResult::CannotWrite, CraftTablesResult::WriteFailed}) {
        const auto failure = SaveFailureOf(result, "/g/xwingalliance.exe");
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->text, "Cannot write /g/xwingalliance.exe");
        EXPECT_EQ(failure->caption, "Error");
    }
}

}  // namespace
}  // namespace vexlor
