#include <gtest/gtest.h>

#include <filesystem>

#include "editors/mission_editor_logic.h"
#include "editors/ship_editor_logic.h"
#include "tests/editors/editor_test_support.h"
#include "tests/support/test_files.h"

namespace vexlor::test {
namespace {

TEST(ShipLogicTest, SuggestionIsHighestPlusOneInsideTheRange) {
    TempDir dir;
    auto ship = NewLibrary(EditorKind::Ship, dir.File("SHIP.DAT"), dir.File("SHIP.tmp"));
    PictureList list = ship->LoadPictureList();
    EXPECT_EQ(ship->SuggestedIdentifier(list), 20001);
    list.highestIdentifier = 20254;
    EXPECT_EQ(ship->SuggestedIdentifier(list), 20254);
    list.highestIdentifier = 20100;
    EXPECT_EQ(ship->SuggestedIdentifier(list), 20101);
}

TEST(ShipLogicTest, AppendListsByGroupIdAndKeepsTheCopy) {
    TempDir dir;
    auto ship = NewLibrary(EditorKind::Ship, dir.File("SHIP.DAT"), dir.File("SHIP.tmp"));
    ASSERT_EQ(ship->AppendPicture(TestPicture(180, 180), 20001).result, WriteResult::Ok);
    const auto before = ReadFileBytes(ship->LibraryPath());
    ASSERT_EQ(ship->AppendPicture(TestPicture(180, 180, 3), 20005).result, WriteResult::Ok);
    EXPECT_EQ(ReadFileBytes(dir.File("SHIP.tmp")), before);

    const PictureList list = ship->LoadPictureList();
    ASSERT_EQ(list.PictureCount(), 2);
    EXPECT_EQ(ship->CaptionOf(list.entries[1].image), "20005");
    EXPECT_EQ(+list.entries[1].image.PictureId, 1);
    EXPECT_EQ(list.highestIdentifier, 20005);
    EXPECT_EQ(ship->SuggestedIdentifier(list), 20006);

    Thumbnail thumbnail;
    ASSERT_TRUE(ship->ReadThumbnail(list.entries[0], thumbnail));
    EXPECT_EQ(thumbnail.image.width, 90);
    EXPECT_EQ(thumbnail.image.Pixel(0, 0), 0u);  // transparent background is black
    EXPECT_EQ(thumbnail.image.Pixel(45, 60), MakeColour(255, 0, 0));
}

TEST(ShipLogicTest, RenameRangeAndBothRecordsChange) {
    TempDir dir;
    auto ship = NewLibrary(EditorKind::Ship, dir.File("SHIP.DAT"), dir.File("SHIP.tmp"));
    ASSERT_EQ(ship->AppendPicture(TestPicture(180, 180), 20001).result, WriteResult::Ok);
    EXPECT_FALSE(ship->AcceptRename(0, "20001", "20000", ""));
    EXPECT_FALSE(ship->AcceptRename(0, "20001", "20255", ""));
    const auto rename = ship->AcceptRename(0, "20001", "20100", "");
    ASSERT_TRUE(rename);
    EXPECT_EQ(ship->WritePictureId(rename->position, rename->oldIdentifier, rename->newIdentifier),
              RenumberResult::Written);
    const auto bytes = ReadFileBytes(ship->LibraryPath());
    EXPECT_EQ(+tGROUP::Decode(bytes.data() + 34).GroupId, 20100);
    EXPECT_EQ(+tIMAGE::Decode(bytes.data() + 58).GroupId, 20100);
    EXPECT_EQ(+tIMAGE::Decode(bytes.data() + 58).PictureId, 1);
}

TEST(ShipLogicTest, ExportDecodesTheRunLengthPicture) {
    TempDir dir;
    auto ship = NewLibrary(EditorKind::Ship, dir.File("SHIP.DAT"), dir.File("SHIP.tmp"));
    const IndexedImage picture = TestPicture(180, 180);
    ASSERT_EQ(ship->AppendPicture(picture, 20017).result, WriteResult::Ok);
    const ExportResult result = ship->ExportPictures({0}, dir.Path().string());
    ASSERT_EQ(result.written.size(), 1u);
    EXPECT_EQ(std::filesystem::path(result.written[0]).filename(), "ship_20017.bmp");
    BmpPicture bmp;
    ASSERT_TRUE(ReadBmpFile(result.written[0], bmp));
    for (int y = 0; y < 180; y += 7) {
        for (int x = 0; x < 180; x += 7) {
            ASSERT_EQ(bmp.colours.Pixel(x, y), picture.PixelColour(x, y)) << x << "," << y;
        }
    }
}

std::unique_ptr<LibraryEditorLogic> MissionWith(const TempDir& dir,
                                                std::initializer_list<int> ids) {
    auto mission = NewLibrary(EditorKind::Mission, dir.File("MISSION.DAT"));
    for (int id : ids) {
        const Series series = SeriesOfIdentifier(id);
        const SeriesInfo& info = InfoOf(series);
        EXPECT_EQ(
            mission->AppendPicture(TestPicture(info.width, info.height), id - info.offset).result,
            WriteResult::Ok);
    }
    return mission;
}

TEST(MissionLogicTest, ListsEachSeriesByNumberAndTracksTheHighest) {
    TempDir dir;
    auto mission = MissionWith(dir, {1, 2, 1000, 2050});
    const PictureList list = mission->LoadPictureList();
    ASSERT_EQ(list.PictureCount(), 4);
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"0", "MISSION"}, {"1", "MISSION"}, {"0", "mission"}, {"50", "BATTLE"}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(mission->CaptionOf(list.entries[k].image), rows[k].first);
        EXPECT_EQ(mission->TypeWordOf(list.entries[k].image), rows[k].second);
    }
    EXPECT_EQ(MissionEditorLogic::SuggestedNumber(list, Series::Battle), 51);
    EXPECT_EQ(MissionEditorLogic::SuggestedNumber(list, Series::Mission), 2);
    EXPECT_EQ(MissionEditorLogic::SuggestedNumber(list, Series::MissionLower), 1);

    PictureList empty;
    EXPECT_EQ(MissionEditorLogic::SuggestedNumber(empty, Series::Battle), 0);
    empty.highest.battle = 99;
    EXPECT_EQ(MissionEditorLogic::SuggestedNumber(empty, Series::Battle), 99);
    empty.highest.mission = 998;
    EXPECT_EQ(MissionEditorLogic::SuggestedNumber(empty, Series::Mission), 998);
}

TEST(MissionLogicTest, OutlyingIdentifiersAreListedUnderMission) {
    tIMAGE image{};
    MissionEditorLogic mission("unused.dat");
    image.PictureId = 0;
    EXPECT_EQ(mission.CaptionOf(image), "-1");
    EXPECT_EQ(mission.TypeWordOf(image), "MISSION");
    image.PictureId = 2100;
    EXPECT_EQ(mission.CaptionOf(image), "2099");
    EXPECT_FALSE(mission.LoadPictureList().opened);
}

TEST(MissionLogicTest, NumbersStayInsideTheirSeries) {
    TempDir dir;
    auto mission = MissionWith(dir, {6, 2005});
    // 999 in the 260 x 260 series would be identifier 1000, the first of the small pictures.
    EXPECT_FALSE(mission->IsValidIdentifier(999, Series::Mission));
    EXPECT_TRUE(mission->IsValidIdentifier(998, Series::Mission));
    EXPECT_TRUE(mission->IsValidIdentifier(999, Series::MissionLower));
    EXPECT_FALSE(mission->AcceptRename(1, "5", "150", "BATTLE"));
    EXPECT_FALSE(mission->AcceptRename(0, "5", "1000", "MISSION"));
    EXPECT_FALSE(mission->AcceptRename(0, "5", "-1", "mission"));

    const auto rename = mission->AcceptRename(1, "5", "7", "BATTLE");
    ASSERT_TRUE(rename);
    EXPECT_EQ(rename->oldIdentifier, 2005);
    EXPECT_EQ(rename->newIdentifier, 2007);
    EXPECT_EQ(
        mission->WritePictureId(rename->position, rename->oldIdentifier, rename->newIdentifier),
        RenumberResult::Written);
    EXPECT_EQ(+mission->LoadPictureList().entries[1].image.PictureId, 2007);
}

TEST(MissionLogicTest, ImportNeeds8BitsForEverySize) {
    MissionEditorLogic mission("unused.dat");
    EXPECT_TRUE(mission.CheckStagedBmp(AsBmp(TestPicture(510, 260))));
    EXPECT_TRUE(mission.CheckStagedBmp(AsBmp(TestPicture(260, 260))));
    EXPECT_TRUE(mission.CheckStagedBmp(AsBmp(TestPicture(100, 75))));
    EXPECT_FALSE(mission.CheckStagedBmp(AsBmp(TestPicture(260, 260), 24)));
    EXPECT_FALSE(mission.CheckStagedBmp(AsBmp(TestPicture(100, 75), 4)));
    EXPECT_FALSE(mission.CheckStagedBmp(AsBmp(TestPicture(512, 260))));
    EXPECT_FALSE(mission.CheckStagedBmp(AsBmp(TestPicture(510, 75))));
}

TEST(MissionLogicTest, ExportNamesFollowTheWidth) {
    TempDir dir;
    auto mission = MissionWith(dir, {2005, 7, 1003});
    const ExportResult result = mission->ExportPictures({0, 1, 2}, dir.Path().string());
    ASSERT_EQ(result.written.size(), 3u);
    EXPECT_EQ(std::filesystem::path(result.written[0]).filename(), "BATTLE_5.bmp");
    EXPECT_EQ(std::filesystem::path(result.written[1]).filename(), "MISSION_6.bmp");
    EXPECT_EQ(std::filesystem::path(result.written[2]).filename(), "sMISSION_3.bmp");

    const PictureList list = mission->LoadPictureList();
    Thumbnail thumbnail;
    ASSERT_TRUE(mission->ReadThumbnail(list.entries[2], thumbnail));
    EXPECT_EQ(thumbnail.image.width, 105);
    EXPECT_EQ(thumbnail.image.Pixel(5, 5), 0u);
}

}  // namespace
}  // namespace vexlor::test
