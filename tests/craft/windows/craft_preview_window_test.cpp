#include "craft/windows/craft_preview_window.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QToolButton>

#include "library/shade.h"
#include "platform/folders.h"
#include "resources/resource_list.h"
#include "tests/craft/windows/preview_game_folder.h"
#include "tests/support_qt/fake_user_dialogs.h"
#include "tests/support_qt/slashed_paths.h"
#include "widgets/number_spin_edit.h"
#include "widgets/picture_panel.h"

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

class CraftPreviewWindowTest : public ::testing::Test {
  protected:
    CraftPreviewWindowTest() {
        SetAppFolders({game_.Path(), game_.Path()});
        resources_.Reload();
    }
    ~CraftPreviewWindowTest() override { SetAppFolders({}); }

    // The window as start-up leaves it: created, its one display run done.
    CraftPreviewWindow& Created() {
        EXPECT_TRUE(window_.ReadGameFiles());
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
    fs::path Backup() const { return game_.Executable().string() + ".bak"; }
    // Craft 1 shown with its MAP number typed over, and the events so far forgotten.
    void EditMap(const QString& text) {
        Type(Field(CraftField::Map), text);
        dialogs_.events.clear();
    }

    test::TempDir temp_;
    Game game_{temp_.Path() / "game"};
    test::FakeUserDialogs dialogs_;
    ResourceList resources_{dialogs_};
    CraftPreviewWindow window_{dialogs_, resources_, nullptr};
};

TEST_F(CraftPreviewWindowTest, IsAStayOnTopToolWindowWithSaveWaitingForAnEdit) {
    EXPECT_EQ(window_.windowTitle(), "Preview");
    EXPECT_TRUE(window_.windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(window_.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(window_.size(), QSize(314, 374));
    EXPECT_FALSE(window_.SaveButton()->isEnabled());
    EXPECT_EQ(PanelCaptions(), (QStringList{"", "", ""}));
    EXPECT_EQ(LibraryLabels(),
              (QStringList{"not searched yet", "not searched yet", "not searched yet"}));
    EXPECT_EQ(window_.ShipNumber()->text(), "0");
}

TEST_F(CraftPreviewWindowTest, CreationListsTheCraftAndFillsTheFieldsWithoutSearching) {
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
    // The first run draws nothing and never showed the busy cursor; as nothing was looked
    // for, nothing is called missing.
    EXPECT_EQ(PanelCaptions(), (QStringList{"", "", ""}));
    EXPECT_EQ(LibraryLabels(),
              (QStringList{"not searched yet", "not searched yet", "not searched yet"}));
    EXPECT_TRUE(window_.Panel(3)->ShownPicture().isNull());
    EXPECT_FALSE(window_.SaveButton()->isEnabled());
    EXPECT_TRUE(dialogs_.events.isEmpty());
}

TEST_F(CraftPreviewWindowTest, RefreshDrawsTheThreePicturesWithTheUpperCaseLibraryNames) {
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

TEST_F(CraftPreviewWindowTest, SearchesTheResourceListAsItStandsUnsavedEditsIncluded) {
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

TEST_F(CraftPreviewWindowTest, CraftWithoutHullEntryShowsNoneAndSearchesNoHull) {
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

TEST_F(CraftPreviewWindowTest, StepsRunTheDisplayOnceAndNothingAtTheEnds) {
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

TEST_F(CraftPreviewWindowTest, OnlyTheUsersChangesEnableSaveAndADisplayRunDropsThem) {
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

TEST_F(CraftPreviewWindowTest, SaveWritesOnlyTheEditedBytesAndShowsTheNewNumbers) {
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

TEST_F(CraftPreviewWindowTest, SaveReadsTypedTextsAsTheFieldsDoAndKeepsUntouchedValues) {
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

TEST_F(CraftPreviewWindowTest, SaveIntoAReplacedExecutableOfAnotherVersionIsRefusedAndKept) {
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

TEST_F(CraftPreviewWindowTest, SaveIntoAnExecutableThatCannotBeWrittenSaysSo) {
    Created();
    // Too short to hold the tables: nothing may be written into it.
    const test::Bytes shortened(game_.ExecutableOriginal().begin(),
                                game_.ExecutableOriginal().begin() + exe::kBattle);
    test::WriteFileBytes(game_.Executable(), shortened);
    Type(Field(CraftField::Hull), "900");
    window_.SaveButton()->click();
    const QString path = QString::fromStdString(game_.Executable().string());
    EXPECT_EQ(test::SlashedPaths(dialogs_.events),
              test::SlashedPaths({"beep", "message: Error: Cannot write " + path}));
    EXPECT_EQ(ExecutableNow(), shortened);
    EXPECT_TRUE(window_.SaveButton()->isEnabled());
    EXPECT_EQ(Field(CraftField::Hull).FieldText(), "900");

    fs::remove(game_.Executable());
    dialogs_.events.clear();
    window_.SaveButton()->click();
    EXPECT_EQ(test::SlashedPaths(dialogs_.events),
              test::SlashedPaths({"beep", "message: Error: Cannot write " + path}));
    EXPECT_FALSE(fs::exists(game_.Executable()));
}

const QString kQuestion = "question: Preview: The Preview has changes that are not saved.";

TEST_F(CraftPreviewWindowTest, ChangingTheCraftWithEditsAsksAndCancelKeepsTheEditedCraft) {
    Created();
    EditMap("1500");
    dialogs_.unsavedChangesAnswers = {UnsavedChangesAnswer::Cancel};
    ChooseCraft(100);
    EXPECT_EQ(dialogs_.events, QStringList{kQuestion});
    EXPECT_EQ(window_.CraftList()->currentIndex(), 0);
    EXPECT_EQ(Field(CraftField::Map).FieldText(), "1500");
    EXPECT_TRUE(window_.SaveButton()->isEnabled());
    window_.NextButton()->click();
    EXPECT_EQ(window_.CraftList()->currentIndex(), 0);
    EXPECT_EQ(ExecutableNow(), game_.ExecutableOriginal());

    // Save writes craft 1's edit, though the list already shows craft 100.
    dialogs_.unsavedChangesAnswers = {UnsavedChangesAnswer::Save};
    ChooseCraft(100);
    EXPECT_EQ(test::EntryOf(ExecutableNow(), exe::kMap, 1), 1500);
    EXPECT_EQ(window_.CraftList()->currentIndex(), 99);
    EXPECT_EQ(Field(CraftField::Map).FieldText(), "1400");

    EditMap("1600");
    dialogs_.unsavedChangesAnswers = {UnsavedChangesAnswer::Discard};
    window_.PreviousButton()->click();
    EXPECT_EQ(window_.CraftList()->currentIndex(), 98);
    EXPECT_EQ(test::EntryOf(ExecutableNow(), exe::kMap, 100), Game::kCraft100Map);
    // Nothing edited: no question.
    dialogs_.events.clear();
    window_.NextButton()->click();
    EXPECT_FALSE(dialogs_.events.contains(kQuestion));
}

TEST_F(CraftPreviewWindowTest, RefreshAndTheProgramsEndAskAboutEdits) {
    Created();
    EditMap("1500");
    window_.RefreshButton()->click();
    EXPECT_EQ(dialogs_.events, QStringList{kQuestion});
    EXPECT_EQ(Field(CraftField::Map).FieldText(), "1500");
    EXPECT_FALSE(window_.SettleUnsavedWork());

    dialogs_.unsavedChangesAnswers = {UnsavedChangesAnswer::Discard};
    EXPECT_TRUE(window_.SettleUnsavedWork());
    EXPECT_EQ(Field(CraftField::Map).FieldText(), "1500");
    dialogs_.unsavedChangesAnswers = {UnsavedChangesAnswer::Discard};
    window_.RefreshButton()->click();
    EXPECT_EQ(Field(CraftField::Map).FieldText(), "1300");
    EXPECT_EQ(ExecutableNow(), game_.ExecutableOriginal());

    EditMap("1700");
    dialogs_.unsavedChangesAnswers = {UnsavedChangesAnswer::Save};
    window_.RefreshButton()->click();
    EXPECT_EQ(dialogs_.events.count("busy"), 1);
    EXPECT_EQ(test::EntryOf(ExecutableNow(), exe::kMap, 1), 1700);
    EXPECT_FALSE(window_.SaveButton()->isEnabled());

    EditMap("1800");
    dialogs_.unsavedChangesAnswers = {UnsavedChangesAnswer::Save};
    EXPECT_TRUE(window_.SettleUnsavedWork());
    EXPECT_EQ(test::EntryOf(ExecutableNow(), exe::kMap, 1), 1800);
    dialogs_.events.clear();
    EXPECT_TRUE(window_.SettleUnsavedWork());
    EXPECT_TRUE(dialogs_.events.isEmpty());
}

TEST_F(CraftPreviewWindowTest, FieldsThatSaveWouldNotWriteAsShownAreRedAndSaySo) {
    Created();
    NumberSpinEdit& map = Field(CraftField::Map);
    const QString description = map.toolTip();
    EXPECT_FALSE(description.isEmpty());
    const struct {
        const char* text;
        const char* warning;
    } cases[] = {{"abc", "Not a number: will be written as 0"},
                 {"", "Not a number: will be written as 0"},
                 {"70000", "Out of range: will be written as 65500"},
                 {"-5", "Out of range: will be written as 0"},
                 {"0100", nullptr}};
    for (const auto& c : cases) {
        Type(map, c.text);
        EXPECT_EQ(map.ShowsWarning(), c.warning != nullptr) << c.text;
        EXPECT_EQ(map.findChild<QLineEdit*>()->palette().color(QPalette::Text) == Qt::red,
                  c.warning != nullptr)
            << c.text;
        EXPECT_EQ(map.toolTip(), c.warning ? c.warning + QString("\n") + description : description);
    }
    // Leaving the field shows the number its text stands for, which needs no warning.
    Type(map, "abc");
    QFocusEvent focusLeaves(QEvent::FocusOut);
    QApplication::sendEvent(&map, &focusLeaves);
    EXPECT_EQ(map.FieldText(), "0");
    EXPECT_FALSE(map.ShowsWarning());
    Type(Field(CraftField::Battle), "300");
    EXPECT_TRUE(
        Field(CraftField::Battle).toolTip().startsWith("Out of range: will be written as 255"));
    // The HULL field's "none" of a craft without HULL entry is never written.
    dialogs_.unsavedChangesAnswers = {UnsavedChangesAnswer::Discard};
    ChooseCraft(100);
    EXPECT_FALSE(Field(CraftField::Hull).ShowsWarning());
}

TEST_F(CraftPreviewWindowTest, TheFirstChangingSaveBacksTheExecutableUpOnce) {
    Created();
    window_.SaveButton()->setEnabled(true);
    window_.SaveButton()->click();
    EXPECT_FALSE(fs::exists(Backup()));

    EditMap("1500");
    window_.SaveButton()->click();
    EXPECT_EQ(test::ReadFileBytes(Backup()), game_.ExecutableOriginal());
    EditMap("1600");
    window_.SaveButton()->click();
    EXPECT_EQ(test::ReadFileBytes(Backup()), game_.ExecutableOriginal());

    // Another run finds the backup and leaves it as it is.
    CraftPreviewWindow again(dialogs_, resources_, nullptr);
    ASSERT_TRUE(again.ReadGameFiles());
    Type(*again.Field(CraftField::Map), "1700");
    again.SaveButton()->click();
    EXPECT_EQ(test::EntryOf(ExecutableNow(), exe::kMap, 1), 1700);
    EXPECT_EQ(test::ReadFileBytes(Backup()), game_.ExecutableOriginal());
}

TEST_F(CraftPreviewWindowTest, SaveWithoutABackupWritesNothingAndNamesTheBackup) {
    fs::create_directory(Backup());
    Created();
    EditMap("1500");
    window_.SaveButton()->click();
    const QString path = QString::fromStdString(Backup().string());
    EXPECT_EQ(test::SlashedPaths(dialogs_.events),
              test::SlashedPaths({"beep", "message: Error: Cannot make the backup " + path +
                                              ", so the executable was not changed"}));
    EXPECT_EQ(ExecutableNow(), game_.ExecutableOriginal());
    EXPECT_TRUE(window_.SaveButton()->isEnabled());
}

TEST_F(CraftPreviewWindowTest, RestoringTheBackupAsksThenReadsTheTablesAgain) {
    Created();
    EditMap("1500");
    window_.SaveButton()->click();
    const test::Bytes saved = ExecutableNow();

    dialogs_.events.clear();
    window_.RestoreBackupItem()->trigger();
    ASSERT_EQ(dialogs_.events.size(), 1);
    EXPECT_TRUE(dialogs_.events[0].startsWith("confirm: Restore the backup: The content of "));
    EXPECT_EQ(ExecutableNow(), saved);

    dialogs_.confirmAnswers = {true};
    window_.RestoreBackupItem()->trigger();
    EXPECT_EQ(ExecutableNow(), game_.ExecutableOriginal());
    EXPECT_EQ(Field(CraftField::Map).FieldText(), "1300");
    EXPECT_TRUE(fs::exists(Backup()));

    // A backup of another version is not put back.
    test::Bytes other = game_.ExecutableOriginal();
    test::PutText(other, exe::kVersion, "2.01");
    test::WriteFileBytes(Backup(), other);
    dialogs_.confirmAnswers = {true};
    dialogs_.events.clear();
    window_.RestoreBackupItem()->trigger();
    EXPECT_TRUE(dialogs_.events.contains("beep"));
    EXPECT_EQ(ExecutableNow(), game_.ExecutableOriginal());
}

TEST_F(CraftPreviewWindowTest, TheCraftListShowsSixteenRowsAndTheMapCaptionFits) {
    // No library is found, so every panel says "none".
    game_.WriteText("resdata.txt", "resdata\\missing.dat\r\n");
    resources_.Reload();
    Created();
    window_.RefreshButton()->click();
    window_.show();
    const QString before = QApplication::style()->name();
    for (const QString& style : QStyleFactory::keys()) {
        QApplication::setStyle(QStyleFactory::create(style));
        window_.CraftList()->showPopup();
        const QAbstractItemView* list = window_.CraftList()->view();
        EXPECT_LE(list->height(), 17 * list->sizeHintForRow(0)) << style.toStdString();
        window_.CraftList()->hidePopup();
    }
    QApplication::setStyle(QStyleFactory::create(before));
    const PicturePanel& map = *window_.Panel(2);
    EXPECT_EQ(map.Caption(), "none");
    EXPECT_LE(QFontMetrics(map.CaptionFont()).horizontalAdvance("none"), map.width());
    EXPECT_TRUE(map.CaptionFont().bold());
    for (QWidget* control : window_.findChildren<QWidget*>()) {
        const bool ownControl =
            !control->inherits("QMenu") &&
            (control->parent() == &window_ || control->parent()->objectName() == "EnabledImages");
        if (ownControl) {
            EXPECT_FALSE(control->toolTip().isEmpty()) << control->objectName().toStdString();
        }
    }
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

TEST(CraftPreviewWindowCreation, AnExecutableOfAnotherVersionIsRefusedWithABeep) {
    test::TempDir temp;
    const test::PreviewGameFolder game(temp.Path());
    test::Bytes other = game.ExecutableOriginal();
    test::PutText(other, exe::kVersion, "2.00");
    test::WriteFileBytes(game.Executable(), other);
    SetAppFolders({game.Path(), game.Path()});
    test::FakeUserDialogs dialogs;
    ResourceList resources(dialogs);
    CraftPreviewWindow window(dialogs, resources, nullptr);
    EXPECT_FALSE(window.ReadGameFiles());
    EXPECT_EQ(dialogs.events,
              (QStringList{"beep", "message: Bad version: Need XWingAlliance 2.02"}));
    EXPECT_EQ(test::ReadFileBytes(game.Executable()), other);
    SetAppFolders({});
}

TEST_F(CraftPreviewWindowTest, ClosingOnlyHides) {
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
