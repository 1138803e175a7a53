#include <filesystem>

#include <gtest/gtest.h>
#include <QHeaderView>

#include "editors/windows/editor_window_factory.h"
#include "editors/windows/mission_editor_window.h"
#include "editors/windows/swatch_strip.h"
#include "tests/editors/windows/editor_window_fixture.h"

namespace vexlor::test {
namespace {

namespace fs = std::filesystem;

const QString kMission = QStringLiteral("MISSION (");

std::vector<int> PictureIds(const std::string& path) {
    return test::PictureIds(EditorKind::Mission, path);
}

class MissionWindowTest : public EditorWindowTest {
  protected:
    // Identifiers 1, 2, 1000 and 2050: MISSION 0 and 1, mission 0, BATTLE 50.
    MissionEditorWindow* OpenFourSeriesLibrary() {
        path_ = MakeMissionLibrary("MISSION.DAT",
                                   {{0, 260, 260}, {1, 260, 260}, {0, 100, 75}, {50, 510, 260}});
        return Open<MissionEditorWindow>(path_, kMission);
    }
    static QLabel* Label(const QWidget& window) { return Find<QLabel>(window, "SeriesLabel"); }

    std::string path_;
};

TEST_F(MissionWindowTest, RefreshListsNumbersAndSeriesWordsAndLeavesTheSpinEdit) {
    MissionEditorWindow* mission = OpenFourSeriesLibrary();
    EXPECT_EQ(PictureIds(path_), (std::vector<int>{1, 2, 1000, 2050}));
    EXPECT_EQ(Column(*mission, 0), (QStringList{"0", "1", "0", "50"}));
    EXPECT_EQ(Column(*mission, 1), (QStringList{"MISSION", "MISSION", "mission", "BATTLE"}));
    const QAbstractItemModel* model = List(*mission)->model();
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Battle / Mission");
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Type");
    EXPECT_EQ(List(*mission)->header()->sectionSize(0), 160);
    EXPECT_EQ(List(*mission)->header()->sectionSize(1), 79);
    EXPECT_EQ(List(*mission)->width(), 257);
    EXPECT_EQ(mission->StatusText(), "4 pictures");
    EXPECT_EQ(Spin(*mission)->value(), 0);
    EXPECT_EQ(Spin(*mission)->maximum(), 999);
    EXPECT_EQ(Label(*mission)->text(), "         ");
    EXPECT_EQ(Panel(*mission)->Caption(), "510x260  260x260 100x75");
    EXPECT_EQ(Panel(*mission)->size(), QSize(223, 221));

    // Each size in its place on a black, see-through 105 x 105 square.
    const QImage battle = Thumbnail(*mission, 3);
    ASSERT_EQ(battle.size(), QSize(105, 105));
    EXPECT_EQ(qAlpha(battle.pixel(52, 10)), 0);
    EXPECT_EQ(qAlpha(battle.pixel(52, 70)), 255);
    const QImage small = Thumbnail(*mission, 2);
    EXPECT_EQ(qAlpha(small.pixel(20, 60)), 0);
    EXPECT_EQ(qAlpha(small.pixel(52, 60)), 255);
}

TEST_F(MissionWindowTest, ImportSuggestsTheSeriesNextNumberAndFitsThePreview) {
    MissionEditorWindow* mission = OpenFourSeriesLibrary();
    struct Case {
        int width, height;
        const char* label;
        int maximum, suggestion, imageHeight;
    };
    const std::vector<Case> cases = {{510, 260, "BATTLE id:", 99, 51, 104},
                                     {260, 260, "MISSION id:", 998, 2, 204},
                                     {100, 75, "mission id:", 999, 1, 153}};
    for (const Case& c : cases) {
        Import(*mission, WriteBmp("staged.bmp", TestPicture(c.width, c.height, 1)));
        EXPECT_EQ(Label(*mission)->text(), c.label);
        EXPECT_EQ(Spin(*mission)->maximum(), c.maximum) << c.label;
        EXPECT_EQ(Spin(*mission)->value(), c.suggestion) << c.label;
        EXPECT_TRUE(Button(*mission, "AddButton")->isEnabled()) << c.label;
        const QLabel* image = Panel(*mission)->Image();
        EXPECT_EQ(image->size(), QSize(204, c.imageHeight)) << c.label;
        EXPECT_EQ(image->pos(), QPoint(8, 8));
        EXPECT_EQ(Panel(*mission)->height(), c.imageHeight + 16) << c.label;
        const QWidget* strip = Find<SwatchStrip>(*mission, "SwatchStrip");
        EXPECT_EQ(strip->y(), Panel(*mission)->y() + Panel(*mission)->height() + 8) << c.label;
        const QImage preview = Panel(*mission)->ShownPicture();
        EXPECT_EQ(preview.size(), QSize(204, c.imageHeight));
        // Red, the top-left colour, is see-through; green and blue inside are not.
        EXPECT_EQ(qAlpha(preview.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(preview.pixel(203, preview.height() - 1)), 0);
        int opaque = 0;
        for (int x = 0; x < preview.width(); ++x) {
            const QRgb pixel = preview.pixel(x, preview.height() - 1);
            EXPECT_NE(pixel, qRgb(255, 0, 0));
            opaque += qAlpha(pixel) == 255 ? 1 : 0;
        }
        EXPECT_GT(opaque, 50) << c.label;
    }
    EXPECT_TRUE(Panel(*mission)->Caption().isEmpty());
}

TEST_F(MissionWindowTest, SuggestionsClampIntoTheSeries) {
    auto* empty = Open<MissionEditorWindow>(MakeMissionLibrary("EMPTY.DAT", {}), kMission);
    Import(*empty, WriteBmp("battle.bmp", TestPicture(510, 260)));
    EXPECT_EQ(Spin(*empty)->value(), 0);

    auto* full =
        Open<MissionEditorWindow>(MakeMissionLibrary("FULL.DAT", {{99, 510, 260}}), kMission);
    Import(*full, WriteBmp("battle.bmp", TestPicture(510, 260)));
    EXPECT_EQ(Spin(*full)->value(), 99);
}

TEST_F(MissionWindowTest, ImportRefusesOtherSizesAndDepthsAndEmptiesTheLabel) {
    MissionEditorWindow* mission = OpenFourSeriesLibrary();
    Import(*mission, WriteBmp("battle.bmp", TestPicture(510, 260)));
    const QImage shown = Panel(*mission)->ShownPicture();
    for (const std::string& refused :
         {WriteBmp("wide.bmp", TestPicture(512, 260)), WriteBmp("odd.bmp", TestPicture(260, 75))}) {
        dialogs_.events.clear();
        Import(*mission, refused);
        EXPECT_EQ(dialogs_.events.mid(1),
                  (QStringList{"beep",
                               "message: Format error: Need a 510x260 or 260x260 or 100x75 BMP"}));
        EXPECT_TRUE(Label(*mission)->text().isEmpty());
        EXPECT_FALSE(Button(*mission, "AddButton")->isEnabled());
        EXPECT_EQ(Panel(*mission)->ShownPicture(), shown);
    }
    for (const auto& [width, height] : {std::pair{510, 260}, {260, 260}, {100, 75}}) {
        test::WriteFileBytes(File("deep.bmp"), test::TrueColourBmp(width, height));
        Import(*mission, File("deep.bmp"));
        EXPECT_EQ(dialogs_.messages.back().text, "Need a 510x260 or 260x260 or 100x75 BMP");
    }
}

TEST_F(MissionWindowTest, AddWritesTheNumberPlusTheSeriesOffset) {
    MissionEditorWindow* mission = OpenFourSeriesLibrary();
    const Bytes before = ReadFileBytes(path_);
    fs::copy_file(path_, File("expected.dat"));
    const IndexedImage picture = TestPicture(260, 260, 2);
    Import(*mission, WriteBmp("mission.bmp", picture));
    Spin(*mission)->setValue(999);  // beyond the series: held at 998
    mission->AddClick();

    ASSERT_EQ(MakeEditorLogic(EditorKind::Mission, File("expected.dat"), "")
                  ->AppendPicture(picture, 998)
                  .result,
              WriteResult::Ok);
    const Bytes after = ReadFileBytes(path_);
    EXPECT_EQ(after, ReadFileBytes(File("expected.dat")));
    EXPECT_TRUE(std::equal(before.begin() + 58, before.end(), after.begin() + 58));
    EXPECT_EQ(PictureIds(path_), (std::vector<int>{1, 2, 1000, 2050, 999}));
    EXPECT_EQ(Column(*mission, 0).back(), "998");
    EXPECT_EQ(Column(*mission, 1).back(), "MISSION");
    EXPECT_EQ(mission->StatusText(), "5 pictures");
    EXPECT_EQ(Label(*mission)->text(), "MISSION id:");
    EXPECT_FALSE(Button(*mission, "AddButton")->isEnabled());
    EXPECT_FALSE(Spin(*mission)->isEnabled());

    // The next staging counts the new picture.
    Import(*mission, WriteBmp("mission.bmp", picture));
    EXPECT_EQ(Spin(*mission)->value(), 998);
}

TEST_F(MissionWindowTest, RenameTakesTheSeriesFromTheRowsType) {
    MissionEditorWindow* mission = OpenFourSeriesLibrary();
    ASSERT_TRUE(mission->OnCaptionEditing(3));
    // Numbers that would leave the series are refused.
    for (const char* refused : {"150", "100", "-1", "1000", "x"}) {
        mission->OnCaptionEdited(3, refused);
        EXPECT_EQ(Column(*mission, 0).at(3), "50") << refused;
    }
    mission->OnCaptionEdited(3, "7");
    mission->OnRenameTimer();
    ASSERT_TRUE(mission->OnCaptionEditing(2));
    mission->OnCaptionEdited(2, "999");
    mission->OnRenameTimer();
    ASSERT_TRUE(mission->OnCaptionEditing(0));
    mission->OnCaptionEdited(0, "998");
    mission->OnRenameTimer();
    EXPECT_EQ(PictureIds(path_), (std::vector<int>{999, 2, 1999, 2007}));
    EXPECT_EQ(Column(*mission, 0), (QStringList{"998", "1", "999", "7"}));
    EXPECT_EQ(Column(*mission, 1), (QStringList{"MISSION", "MISSION", "mission", "BATTLE"}));
}

TEST_F(MissionWindowTest, ExportNamesEachSeriesFile) {
    MissionEditorWindow* mission = OpenFourSeriesLibrary();
    SelectRows(*mission, {1, 2, 3});
    mission->ExportBmpClick();
    EXPECT_EQ(dialogs_.events, (QStringList{"beep", "message: Export: Picture exported"}));
    for (const char* name : {"BATTLE_50.bmp", "MISSION_1.bmp", "sMISSION_0.bmp"}) {
        EXPECT_TRUE(fs::exists(OutputFolder() / name)) << name;
    }
    EXPECT_FALSE(fs::exists(OutputFolder() / "MISSION_0.bmp"));
}

TEST_F(MissionWindowTest, FactoryMakesTheKindsWindowWithItsCaption) {
    const QString path = QString::fromStdString(File("sub/MISSION.DAT"));
    EXPECT_EQ(EditorCaption(EditorKind::Mission, path), "MISSION (MISSION.DAT)");
    EXPECT_EQ(EditorCaption(EditorKind::Hull, "HULL.DAT"), "HULL (HULL.DAT)");
    const auto window = CreateEditorWindow(EditorKind::Mission, path, dialogs_);
    EXPECT_NE(dynamic_cast<MissionEditorWindow*>(window.get()), nullptr);
    EXPECT_EQ(window->Kind(), EditorKind::Mission);
    EXPECT_EQ(window->LibraryPath(), path);
}

}  // namespace
}  // namespace vexlor::test
