#include <gtest/gtest.h>

#include "editors/hull_map_editor_logic.h"
#include "editors/mission_editor_logic.h"
#include "editors/ship_editor_logic.h"
#include "tests/editors/editor_test_support.h"

namespace vexlor {
namespace {

using test::AsBmp;
using test::TestPicture;

TEST(SpinTextValueTest, NoNumberReadsAsTheMinimumAndNumbersAreHeldInTheRange) {
    EXPECT_EQ(SpinTextValue("", 0, 65500), 0);
    EXPECT_EQ(SpinTextValue("-", 20001, 20254), 20001);
    EXPECT_EQ(SpinTextValue("2000", 20001, 20254), 20001);
    EXPECT_EQ(SpinTextValue("30000", 20001, 20254), 20254);
    EXPECT_EQ(SpinTextValue("99999", 0, 65500), 65500);
    EXPECT_EQ(SpinTextValue("+0042", 0, 99), 42);
}

TEST(IdentifierRuleTextTest, EachKindStatesItsRuleAndWhyANumberBreaksIt) {
    const HullMapEditorLogic hull(EditorKind::Hull, "unused.dat");
    EXPECT_EQ(hull.IdentifierRule(std::nullopt),
              "The number must be a multiple of 100 from 0 to 65500");
    EXPECT_EQ(hull.IdentifierRefusal(4750, std::nullopt), "4750 is not a multiple of 100");
    EXPECT_EQ(hull.IdentifierRefusal(65600, std::nullopt), "65600 is outside 0 to 65500");
    EXPECT_EQ(hull.RenameRefusal("abc", ""), "\"abc\" is not a number");
    EXPECT_EQ(hull.RenameRefusal("", ""), "no number was typed");
    EXPECT_EQ(hull.RenameRefusal("65500", ""), "");

    const ShipEditorLogic ship("unused.dat", "unused.tmp");
    EXPECT_EQ(ship.RenameRefusal("20000", ""), "20000 is outside 20001 to 20254");

    const MissionEditorLogic mission("unused.dat");
    EXPECT_EQ(mission.IdentifierRule(Series::Battle), "A BATTLE number must be from 0 to 99");
    EXPECT_EQ(mission.RenameRefusal("150", "BATTLE"), "150 is outside 0 to 99 for BATTLE pictures");
    EXPECT_EQ(mission.RenameRefusal("999", "MISSION"),
              "999 is outside 0 to 998 for MISSION pictures");
    EXPECT_EQ(mission.RenameRefusal("999", "mission"), "");
}

// The journal records stored identifiers; a BATTLE/MISSION window says them as its list does.
TEST(ChangeWordsTest, SeriesPicturesAreNamedAsListedAndOtherWordsStayAsRecorded) {
    const MissionEditorLogic mission("unused.dat");
    EXPECT_EQ(mission.InListWords("delete 2 1001 2003"), "delete MISSION 1 mission 1 BATTLE 3");
    EXPECT_EQ(mission.InListWords("renumber 2050 2051"), "renumber BATTLE 50 BATTLE 51");
    EXPECT_EQ(mission.InListWords("append 1000"), "append mission 0");
    EXPECT_EQ(mission.InListWords("replace 2100"), "replace MISSION 2099");
    // Identifier 0 is listed as MISSION -1; a long delete keeps its closing "...".
    EXPECT_EQ(mission.InListWords("delete 0 5 ..."), "delete MISSION -1 MISSION 4 ...");
    // Changes of any library name groups and pictures by their stored numbers.
    for (const char* recorded :
         {"remove 2 7", "rename 2 7 2 8", "add 2 7", "create", "repair", ""}) {
        EXPECT_EQ(mission.InListWords(recorded), recorded);
    }
    const HullMapEditorLogic hull(EditorKind::Hull, "unused.dat");
    EXPECT_EQ(hull.InListWords("delete 4700 4800"), "delete 4700 4800");
}

TEST(RefusedBmpTextTest, NamesTheFilesSizeAndDepthAndWhatIsNeeded) {
    const MissionEditorLogic mission("unused.dat");
    BmpPicture deep = AsBmp(TestPicture(260, 260), 24);
    deep.indexed = {};  // as the reader leaves a true-colour file
    EXPECT_EQ(mission.DescribeRefusedBmp("picture.bmp", deep),
              "picture.bmp is 260 x 260 with 24 bits per pixel; a 256-colour (8-bit) BMP is "
              "needed");
    EXPECT_EQ(mission.DescribeRefusedBmp("wide.bmp", AsBmp(TestPicture(512, 260))),
              "wide.bmp is 512 x 260 with 8 bits per pixel; a 510 x 260, 260 x 260 or 100 x 75 "
              "BMP is needed");

    const HullMapEditorLogic hull(EditorKind::Hull, "unused.dat");
    const BmpPicture small = AsBmp(TestPicture(16, 16), 4);
    EXPECT_EQ(hull.DescribeRefusedBmp("small.bmp", small),
              "small.bmp is 16 x 16 with 4 bits per pixel; a 32 x 32 256-colour (8-bit) BMP is "
              "needed");
}

}  // namespace
}  // namespace vexlor
