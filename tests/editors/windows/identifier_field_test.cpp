#include <gtest/gtest.h>
#include <QApplication>
#include <QFocusEvent>
#include <QTest>

#include "editors/windows/hull_editor_window.h"
#include "editors/windows/mission_editor_window.h"
#include "editors/windows/ship_editor_window.h"
#include "tests/editors/windows/editor_window_fixture.h"

namespace vexlor::test {
namespace {

class IdentifierFieldTest : public EditorWindowTest {
  protected:
    // Replaces the field's text key by key, as the user does.
    static void Type(QWidget& window, const QString& text) {
        Spin(window)->selectAll();
        QTest::keyClick(Spin(window), Qt::Key_Backspace);
        QTest::keyClicks(Spin(window), text);
    }
    static void LeaveField(QWidget& window) {
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(Spin(window), &leave);
    }
    static QString Shown(QWidget& window) { return Spin(window)->findChild<QLineEdit*>()->text(); }
};

TEST_F(IdentifierFieldTest, HullFieldShowsAndAddWritesTheNumberTheRuleTested) {
    const std::string path = MakeLibrary(EditorKind::Hull, "HULL.DAT", {4650});
    auto* hull = Open<HullEditorWindow>(path, QStringLiteral("HULL ("));
    const std::string bmp = WriteBmp("hull.bmp", TestPicture(32, 32));
    Import(*hull, bmp);
    EXPECT_FALSE(Button(*hull, "AddButton")->isEnabled());  // 4750
    EXPECT_EQ(Button(*hull, "AddButton")->toolTip(),
              "The number must be a multiple of 100 from 0 to 65500");

    // A cleared field reads as 0, which the rule takes; leaving it shows 0, not 4750 again.
    Type(*hull, "");
    EXPECT_TRUE(Button(*hull, "AddButton")->isEnabled());
    LeaveField(*hull);
    EXPECT_EQ(Shown(*hull), "0");
    hull->AddClick();
    EXPECT_EQ(PictureIds(EditorKind::Hull, path), (std::vector<int>{4650, 0}));

    // Beyond the range: held at 65500 as "<- Add" ends the edit.
    Import(*hull, bmp);
    Type(*hull, "99999");
    EXPECT_TRUE(Button(*hull, "AddButton")->isEnabled());
    hull->AddClick();
    EXPECT_EQ(PictureIds(EditorKind::Hull, path), (std::vector<int>{4650, 0, 65500}));
}

TEST_F(IdentifierFieldTest, ShipFieldSettlesOnTheNearestNumberInItsRange) {
    const std::string path = MakeLibrary(EditorKind::Ship, "SHIP.DAT", {20017});
    auto* ship = Open<ShipEditorWindow>(path, QStringLiteral("SHIP ("));
    Import(*ship, WriteBmp("ship.bmp", TestPicture(180, 180)));
    Type(*ship, "2000");
    QTest::keyClick(Spin(*ship), Qt::Key_Return);
    EXPECT_EQ(Shown(*ship), "20001");
    Type(*ship, "30000");
    ship->AddClick();
    EXPECT_EQ(Column(*ship), (QStringList{"20017", "20254"}));
}

TEST_F(IdentifierFieldTest, MissionFieldIsHeldInsideTheStagedSeries) {
    const std::string path = MakeMissionLibrary("MISSION.DAT", {});
    auto* mission = Open<MissionEditorWindow>(path, QStringLiteral("MISSION ("));
    const std::string battle = WriteBmp("battle.bmp", TestPicture(510, 260));
    Import(*mission, battle);
    Type(*mission, "150");
    LeaveField(*mission);
    EXPECT_EQ(Shown(*mission), "99");
    mission->AddClick();
    Import(*mission, battle);
    Type(*mission, "-");
    mission->AddClick();
    EXPECT_EQ(PictureIds(EditorKind::Mission, path), (std::vector<int>{2099, 2000}));
}

TEST_F(IdentifierFieldTest, RefusalsAndSilentEndsSayWhyInTheStatusBar) {
    const std::string path = MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700});
    auto* hull = Open<HullEditorWindow>(path, QStringLiteral("HULL ("));
    ASSERT_TRUE(hull->OnCaptionEditing(0));
    hull->OnCaptionEdited(0, "4750");
    EXPECT_EQ(hull->StatusMessage(), "Not renumbered: 4750 is not a multiple of 100");
    EXPECT_EQ(hull->StatusText(), "1 pictures");

    test::WriteFileBytes(File("broken.bmp"), test::Bytes{'B', 'M', 1});
    Import(*hull, File("broken.bmp"));
    EXPECT_EQ(hull->StatusMessage(),
              "broken.bmp cannot be loaded as a BMP picture; nothing is "
              "staged");
    test::WriteFileBytes(File("deep.bmp"), test::TrueColourBmp(32, 32));
    Import(*hull, File("deep.bmp"));
    EXPECT_EQ(hull->StatusMessage(),
              "deep.bmp is 32 x 32 with 24 bits per pixel; a 256-colour (8-bit) BMP is needed");

    Import(*hull, WriteBmp("hull.bmp", TestPicture(32, 32)));
    std::filesystem::remove(path);
    SelectRows(*hull, {0});
    hull->ExportBmpClick();
    EXPECT_EQ(hull->StatusMessage(), "Cannot open HULL.DAT; nothing was exported");
    hull->AddClick();
    EXPECT_EQ(hull->StatusMessage(), "Cannot open HULL.DAT; nothing was added");
    EXPECT_EQ(dialogs_.beeps, 1);  // the box of the 24-bit picture's refusal only

    auto* mission = Open<MissionEditorWindow>(MakeMissionLibrary("MISSION.DAT", {}), "MISSION (");
    test::WriteFileBytes(File("picture.bmp"), test::TrueColourBmp(260, 260));
    dialogs_.events.clear();
    Import(*mission, File("picture.bmp"));
    EXPECT_EQ(dialogs_.events, (QStringList{"open dialog: Open BMP", "beep",
                                            "message: Format error: Need a 510x260 or 260x260 or "
                                            "100x75 BMP"}));
    EXPECT_EQ(mission->StatusMessage(),
              "picture.bmp is 260 x 260 with 24 bits per pixel; a "
              "256-colour (8-bit) BMP is needed");
    // A Refresh that lists the library again drops the message.
    mission->RefreshClick();
    EXPECT_TRUE(mission->StatusMessage().isEmpty());
}

}  // namespace
}  // namespace vexlor::test
