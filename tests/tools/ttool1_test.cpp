#include "tools/ttool1.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>

#include "library/shade.h"
#include "platform/folders.h"
#include "tests/support_qt/fake_user_dialogs.h"
#include "tests/tools/preview_game_folder.h"
#include "tools/number_spin_edit.h"
#include "tools/picture_panel.h"
#include "tools/resource_list.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;
namespace exe = test::exe;
using Game = test::PreviewGameFolder;

QRgb RgbOf(Colour colour) {
    return qRgb(static_cast<int>(RedOf(colour)), static_cast<int>(GreenOf(colour)),
                static_cast<int>(BlueOf(colour)));
}

// Types into a number field as the user would: the field's own text, not the program's value.
void Type(NumberSpinEdit& field, const QString& text) {
    field.findChild<QLineEdit*>()->setText(text);
}

class TTOOL1Test : public ::testing::Test {
  protected:
    TTOOL1Test() {
        SetAppFolders({game_.Path(), game_.Path()});
        resources_.Reload();
    }
    ~TTOOL1Test() override { SetAppFolders({}); }

    // The window as start-up leaves it: created, its one display run done.
    TTOOL1& Created() {
        EXPECT_TRUE(window_.FormCreate());
        dialogs_.events.clear();
        return window_;
    }
    void ChooseCraft(int craft) {
        window_.CraftList()->setCurrentIndex(craft - 1);
        emit window_.CraftList()->activated(craft - 1);
    }
    NumberSpinEdit& Field(CraftField field) const { return *window_.Field(field); }
    QStringList LibraryLabels() const {
        return {window_.LibraryLabel(1)->text(), window_.LibraryLabel(2)->text(),
                window_.LibraryLabel(3)->text()};
    }
    QStringList PanelCaptions() const {
        return {window_.Panel(1)->Caption(), window_.Panel(2)->Caption(),
                window_.Panel(3)->Caption()};
    }
    int DisplaySearches() const { return static_cast<int>(dialogs_.events.count("busy")); }
    test::Bytes ExecutableNow() const { return test::ReadFileBytes(game_.Executable()); }

    test::TempDir temp_;
    Game game_{temp_.Path() / "game"};
    test::FakeUserDialogs dialogs_;
    ResourceList resources_{dialogs_};
    TTOOL1 window_{dialogs_, resources_, nullptr};
};

TEST_F(TTOOL1Test, IsAStayOnTopToolWindowWithSaveWaitingForAnEdit) {
    EXPECT_EQ(window_.windowTitle(), "Preview");
    EXPECT_TRUE(window_.windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(window_.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window_.size(), QSize(314, 374));
    EXPECT_FALSE(window_.SaveButton()->isEnabled());
    EXPECT_EQ(PanelCaptions(), (QStringList{"none", "none", "none"}));
    EXPECT_EQ(LibraryLabels(), (QStringList{"?", "?", "?"}));
    EXPECT_EQ(window_.ShipNumber()->text(), "0");
}

TEST_F(TTOOL1Test, CreationListsTheCraftAndFillsTheFieldsWithoutSearching) {
    Created();
    ASSERT_EQ(window_.CraftList()->count(), 218);
    EXPECT_EQ(window_.CraftList()->currentIndex(), 0);
    EXPECT_EQ(window_.CraftList()->itemText(0), "!KSPECXW!X-Wing");
    EXPECT_EQ(window_.CraftList()->itemText(1), "Y-Wing");
    EXPECT_EQ(window_.CraftList()->itemText(2), "A-Wing");
    EXPECT_EQ(window_.CraftList()->itemText(3), "*craft_4");

    EXPECT_EQ(Field(CraftField::Hull).FieldText(), "700");
    EXPECT_TRUE(Field(CraftField::Hull).isEnabled());
    EXPECT_EQ(Field(CraftField::Map).FieldText(), "1300");
    EXPECT_EQ(Field(CraftField::MissionLower).FieldText(), "3");
    EXPECT_EQ(window_.ShipNumber()->text(), " 20009");
    EXPECT_TRUE(window_.ShipNumber()->isEnabled());
    // The first run draws nothing and never showed the busy cursor.
    EXPECT_EQ(PanelCaptions(), (QStringList{"none", "none", "none"}));
    EXPECT_EQ(LibraryLabels(), (QStringList{"?", "?", "?"}));
    EXPECT_TRUE(window_.Panel(3)->ShownPicture().isNull());
    EXPECT_FALSE(window_.SaveButton()->isEnabled());
    EXPECT_TRUE(dialogs_.events.isEmpty());
}

TEST_F(TTOOL1Test, RefreshDrawsTheThreePicturesWithTheUpperCaseLibraryNames) {
    Created();
    window_.RefreshButton()->click();
    EXPECT_EQ(dialogs_.events, (QStringList{"busy", "idle"}));
    EXPECT_EQ(LibraryLabels(), (QStringList{"HULL.DAT", "MAP.DAT", "SHIP.DAT"}));
    EXPECT_EQ(PanelCaptions(), (QStringList{"", "", ""}));

    const QImage hull = window_.Panel(1)->ShownPicture();
    ASSERT_EQ(hull.size(), QSize(32, 32));
    EXPECT_EQ(hull.pixel(31, 31), RgbOf(GreenShade(Game::kHullColour, 255)));
    const QImage map = window_.Panel(2)->ShownPicture();
    ASSERT_EQ(map.size(), QSize(16, 16));
    EXPECT_EQ(map.pixel(0, 0), RgbOf(YellowShade(Game::kMapColour, 255)));
    const QImage ship = window_.Panel(3)->ShownPicture();
    ASSERT_EQ(ship.size(), QSize(180, 180));
    EXPECT_EQ(ship.pixel(0, 179), RgbOf(Game::kShipColour));
    EXPECT_FALSE(window_.Panel(3)->Image()->hasScaledContents());
}

TEST_F(TTOOL1Test, SearchesTheResourceListAsItStandsUnsavedEditsIncluded) {
    game_.WriteText("resdata.txt", "resdata\\map.dat\r\n");
    resources_.Reload();
    fs::rename(game_.Library("HULL.DAT"), game_.Library("hulls2.dat"));
    Created();
    window_.RefreshButton()->click();
    EXPECT_EQ(LibraryLabels(), (QStringList{"?", "MAP.DAT", "?"}));
    EXPECT_EQ(PanelCaptions(), (QStringList{"none", "", "none"}));

    resources_.InsertFirstLine("Resdata\\HULLS2.DAT");
    window_.RefreshButton()->click();
    EXPECT_EQ(LibraryLabels(), (QStringList{"HULLS2.DAT", "MAP.DAT", "?"}));
    // Nothing was written for it.
    EXPECT_TRUE(resources_.SaveEnabled());
}

TEST_F(TTOOL1Test, CraftWithoutHullEntryShowsNoneAndSearchesNoHull) {
    Created();
    window_.RefreshButton()->click();
    ChooseCraft(100);
    EXPECT_EQ(Field(CraftField::Hull).FieldText(), "none");
    EXPECT_FALSE(Field(CraftField::Hull).isEnabled());
    EXPECT_EQ(Field(CraftField::Map).FieldText(), "1400");
    EXPECT_TRUE(Field(CraftField::Map).isEnabled());
    EXPECT_EQ(window_.ShipNumber()->text(), "none");
    EXPECT_FALSE(window_.ShipNumber()->isEnabled());
    EXPECT_EQ(LibraryLabels(), (QStringList{"?", "MAP.DAT", "?"}));
    EXPECT_EQ(PanelCaptions(), (QStringList{"none", "", "none"}));
    EXPECT_TRUE(window_.Panel(1)->ShownPicture().isNull());

    // Back on a craft with a HULL entry, the field takes its number again.
    ChooseCraft(1);
    EXPECT_EQ(Field(CraftField::Hull).FieldText(), "700");
    EXPECT_TRUE(Field(CraftField::Hull).isEnabled());
}

TEST_F(TTOOL1Test, StepsRunTheDisplayOnceAndNothingAtTheEnds) {
    Created();
    window_.PreviousButton()->click();
    EXPECT_TRUE(dialogs_.events.isEmpty());
    EXPECT_EQ(window_.CraftList()->currentIndex(), 0);

    window_.NextButton()->click();
    EXPECT_EQ(window_.CraftList()->currentIndex(), 1);
    EXPECT_EQ(DisplaySearches(), 1);
    window_.PreviousButton()->click();
    EXPECT_EQ(window_.CraftList()->currentIndex(), 0);
    EXPECT_EQ(DisplaySearches(), 2);
    EXPECT_EQ(LibraryLabels(), (QStringList{"HULL.DAT", "MAP.DAT", "SHIP.DAT"}));

    ChooseCraft(218);
    dialogs_.events.clear();
    window_.NextButton()->click();
    EXPECT_TRUE(dialogs_.events.isEmpty());
    EXPECT_EQ(window_.CraftList()->currentIndex(), 217);
}

TEST_F(TTOOL1Test, OnlyTheUsersChangesEnableSaveAndADisplayRunDropsThem) {
    Created();
    // Each Refresh after an edit asks first; these edits are let go.
    dialogs_.unsavedChangesAnswers.assign(kCraftFieldCount, UnsavedChangesAnswer::Discard);
    EXPECT_FALSE(window_.SaveButton()->isEnabled());
    for (CraftField field : {CraftField::Hull, CraftField::Map, CraftField::Battle,
                             CraftField::Mission, CraftField::MissionLower}) {
        window_.RefreshButton()->click();
        ASSERT_FALSE(window_.SaveButton()->isEnabled());
        Type(Field(field), "42");
        EXPECT_TRUE(window_.SaveButton()->isEnabled()) << static_cast<int>(field);
    }
    window_.RefreshButton()->click();
    EXPECT_FALSE(window_.SaveButton()->isEnabled());
    EXPECT_EQ(Field(CraftField::MissionLower).FieldText(), "3");
    // Arrows step picture numbers by 100.
    Field(CraftField::Map).stepBy(1);
    EXPECT_EQ(Field(CraftField::Map).FieldText(), "1400");
    EXPECT_TRUE(window_.SaveButton()->isEnabled());
}

TEST_F(TTOOL1Test, SaveWritesOnlyTheEditedBytesAndShowsTheNewNumbers) {
    Created();
    Type(Field(CraftField::Map), "1500");
    Type(Field(CraftField::Mission), "7");
    window_.SaveButton()->click();

    test::Bytes expected = game_.ExecutableOriginal();
    test::SetEntry(expected, exe::kMap, 1, 1500);
    expected[exe::kMission] = 7;
    EXPECT_EQ(ExecutableNow(), expected);
    // The display ran again and searched with the new number, which no library holds.
    EXPECT_EQ(dialogs_.events, (QStringList{"busy", "idle"}));
    EXPECT_EQ(Field(CraftField::Map).FieldText(), "1500");
    EXPECT_EQ(LibraryLabels(), (QStringList{"HULL.DAT", "?", "SHIP.DAT"}));
    EXPECT_FALSE(window_.SaveButton()->isEnabled());
}

TEST_F(TTOOL1Test, SaveReadsTypedTextsAsTheFieldsDoAndKeepsUntouchedValues) {
    Created();
    ChooseCraft(3);
    EXPECT_EQ(Field(CraftField::Hull).FieldText(), "65500");
    Type(Field(CraftField::Map), "70000");
    Type(Field(CraftField::Battle), "abc");
    Type(Field(CraftField::MissionLower), "300");
    window_.SaveButton()->click();

    test::Bytes expected = game_.ExecutableOriginal();
    // HULL 65535 was never touched and goes back as it was.
    test::SetEntry(expected, exe::kMap, 3, 65500);
    expected[exe::kBattle] = 0;
    expected[exe::kMissionLower] = 255;
    EXPECT_EQ(ExecutableNow(), expected);

    // A craft without HULL entry leaves the HULL table alone.
    ChooseCraft(100);
    Type(Field(CraftField::Map), "1600");
    window_.SaveButton()->click();
    test::SetEntry(expected, exe::kMap, 100, 1600);
    EXPECT_EQ(ExecutableNow(), expected);
}

TEST_F(TTOOL1Test, SaveIntoAReplacedExecutableOfAnotherVersionIsRefusedAndKept) {
    Created();
    test::Bytes replaced = game_.ExecutableOriginal();
    test::PutText(replaced, exe::kVersion, "2.01");
    test::WriteFileBytes(game_.Executable(), replaced);
    Type(Field(CraftField::Map), "1500");
    window_.SaveButton()->click();
    EXPECT_EQ(dialogs_.events,
              (QStringList{"beep", "message: Bad version: Need XWingAlliance 2.02"}));
    EXPECT_EQ(ExecutableNow(), replaced);
    // The user's value stays for another try, which writes it once the right file is back.
    EXPECT_EQ(Field(CraftField::Map).FieldText(), "1500");
    EXPECT_TRUE(window_.SaveButton()->isEnabled());
    test::WriteFileBytes(game_.Executable(), game_.ExecutableOriginal());
    window_.SaveButton()->click();
    EXPECT_EQ(test::EntryOf(ExecutableNow(), exe::kMap, 1), 1500);
}

TEST_F(TTOOL1Test, SaveIntoAnExecutableThatCannotBeWrittenSaysSo) {
    Created();
    // Too short to hold the tables: nothing may be written into it.
    const test::Bytes shortened(game_.ExecutableOriginal().begin(),
                                game_.ExecutableOriginal().begin() + exe::kBattle);
    test::WriteFileBytes(game_.Executable(), shortened);
    Type(Field(CraftField::Hull), "900");
    window_.SaveButton()->click();
    const QString path = QString::fromStdString(game_.Executable().string());
    EXPECT_EQ(dialogs_.events, (QStringList{"beep", "message: Error: Cannot write " + path}));
    EXPECT_EQ(ExecutableNow(), shortened);
    EXPECT_TRUE(window_.SaveButton()->isEnabled());
    EXPECT_EQ(Field(CraftField::Hull).FieldText(), "900");

    fs::remove(game_.Executable());
    dialogs_.events.clear();
    window_.SaveButton()->click();
    EXPECT_EQ(dialogs_.events, (QStringList{"beep", "message: Error: Cannot write " + path}));
    EXPECT_FALSE(fs::exists(game_.Executable()));
}

TEST(NumberSpinEdit, WritesDigitsItCanReadBackWhateverTheLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    NumberSpinEdit field(65500, 100, nullptr);
    QLocale::setDefault(before);
    field.SetFieldValue(1300);
    field.stepBy(1);
    EXPECT_EQ(field.FieldText(), "1400");
    EXPECT_EQ(field.FieldValue(), 1400);
    field.SetFieldText("none");
    EXPECT_EQ(field.FieldValue(), 0);
}

TEST(TTOOL1Creation, AnExecutableOfAnotherVersionIsRefusedWithABeep) {
    test::TempDir temp;
    const test::PreviewGameFolder game(temp.Path());
    test::Bytes other = game.ExecutableOriginal();
    test::PutText(other, exe::kVersion, "2.00");
    test::WriteFileBytes(game.Executable(), other);
    SetAppFolders({game.Path(), game.Path()});
    test::FakeUserDialogs dialogs;
    ResourceList resources(dialogs);
    TTOOL1 window(dialogs, resources, nullptr);
    EXPECT_FALSE(window.FormCreate());
    EXPECT_EQ(dialogs.events,
              (QStringList{"beep", "message: Bad version: Need XWingAlliance 2.02"}));
    EXPECT_EQ(test::ReadFileBytes(game.Executable()), other);
    SetAppFolders({});
}

TEST_F(TTOOL1Test, ClosingOnlyHides) {
    Created();
    window_.show();
    QCloseEvent close;
    QApplication::sendEvent(&window_, &close);
    EXPECT_FALSE(close.isAccepted());
    EXPECT_FALSE(window_.isVisible());
    window_.show();
    EXPECT_EQ(Field(CraftField::Map).FieldText(), "1300");
}

}  // namespace
}  // namespace vexlor
