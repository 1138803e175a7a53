#include <gtest/gtest.h>
#include <QAction>
#include <QMenu>
#include <QTest>

#include "editors/windows/tfhull.h"
#include "editors/windows/tfmis.h"
#include "editors/windows/tfship.h"
#include "tests/editor_windows/editor_window_fixture.h"

namespace vexlor {
namespace {

using test::Bytes;
using test::ReadFileBytes;
using test::TestPicture;

const QString kHull = QStringLiteral("HULL (");

class ChangeCommandsTest : public test::EditorWindowTest {
  protected:
    static QList<int> Selected(const QWidget& window) {
        QList<int> rows;
        for (const QModelIndex& index : List(window)->selectionModel()->selectedRows()) {
            rows << index.row();
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    static QAction* Item(const QWidget& window, const char* name) {
        return Find<QAction>(window, name);
    }
    // Delete and Replace as the buttons and the list's menu offer them: "D" and "R" when
    // enabled.
    static QString Offered(const QWidget& window) {
        QString offered;
        if (Button(window, 5)->isEnabled()) {
            offered += 'D';
        }
        if (Button(window, 6)->isEnabled()) {
            offered += 'R';
        }
        EXPECT_EQ(Item(window, "ListDelete")->isEnabled(), Button(window, 5)->isEnabled());
        EXPECT_EQ(Item(window, "ListReplace")->isEnabled(), Button(window, 6)->isEnabled());
        return offered;
    }
    // A picture unlike the libraries' own: a green line across it.
    void StageHull(LibraryEditorWindow& window) {
        IndexedImage picture = TestPicture(32, 32);
        for (int x = 0; x < 32; ++x) {
            picture.SetIndex(x, 20, 2);
        }
        Import(window, WriteBmp("staged.bmp", picture));
    }
};

TEST_F(ChangeCommandsTest, DeleteAsksNamingEveryPictureAndNoLeavesTheLibraryAlone) {
    const std::string path = MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700, 4800, 4900});
    const Bytes before = ReadFileBytes(path);
    auto* hull = Open<TfHULL>(path, kHull);
    for (const auto& [rows, question] :
         {std::pair<std::vector<int>, QString>{{1}, "Delete 4800 from HULL.DAT?"},
          {{0, 2}, "Delete 4700 and 4900 from HULL.DAT?"},
          {{2, 0, 1}, "Delete 4700, 4800 and 4900 from HULL.DAT?"}}) {
        SelectRows(*hull, rows);
        dialogs_.events.clear();
        hull->DeleteClick();
        EXPECT_EQ(dialogs_.events, QStringList{"confirm: Delete: " + question});
    }
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(Column(*hull), (QStringList{"4700", "4800", "4900"}));
    EXPECT_EQ(Selected(*hull), (QList<int>{0, 1, 2}));
    EXPECT_TRUE(hull->StatusMessage().isEmpty());

    // The Delete key in the list asks the same; with Shift or Ctrl it is no Delete.
    SelectRows(*hull, {0});
    dialogs_.events.clear();
    QTest::keyClick(List(*hull), Qt::Key_Delete, Qt::ShiftModifier);
    QTest::keyClick(List(*hull), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(dialogs_.events.isEmpty());
    QTest::keyClick(List(*hull), Qt::Key_Delete);
    EXPECT_EQ(dialogs_.events, QStringList{"confirm: Delete: Delete 4700 from HULL.DAT?"});
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST_F(ChangeCommandsTest, DeleteNamesSeriesPicturesByTheirSeriesAndCountsBeyondAScreenful) {
    auto* mission =
        Open<TfMIS>(MakeMissionLibrary("MISSION.DAT", {{2, 510, 260}, {2, 260, 260}, {7, 100, 75}}),
                    QStringLiteral("MISSION ("));
    SelectRows(*mission, {0, 1, 2});
    mission->DeleteClick();
    EXPECT_EQ(dialogs_.events,
              QStringList{"confirm: Delete: Delete BATTLE 2, MISSION 2 and mission 7 from "
                          "MISSION.DAT?"});

    std::vector<int> numbers;
    std::vector<int> rows;
    for (int k = 0; k < 45; ++k) {
        numbers.push_back(100 * k);
        rows.push_back(k);
    }
    auto* hull = Open<TfHULL>(MakeLibrary(EditorKind::Hull, "BIG.DAT", numbers), kHull);
    SelectRows(*hull, rows);
    dialogs_.events.clear();
    hull->DeleteClick();
    ASSERT_EQ(dialogs_.events.size(), 1);
    EXPECT_TRUE(dialogs_.events[0].startsWith("confirm: Delete: Delete 0, 100, 200, "));
    EXPECT_TRUE(dialogs_.events[0].endsWith(", 3700, 3800 and 6 more pictures from BIG.DAT?"));
}

TEST_F(ChangeCommandsTest, DeleteAndReplaceAreOfferedOnlyWhereTheyCanAct) {
    auto* hull = Open<TfHULL>(MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700, 4800}), kHull);
    EXPECT_EQ(Offered(*hull), "");
    SelectRows(*hull, {1});
    EXPECT_EQ(Offered(*hull), "D");
    StageHull(*hull);
    EXPECT_EQ(Offered(*hull), "DR");
    SelectRows(*hull, {0, 1});
    EXPECT_EQ(Offered(*hull), "D");
    SelectRows(*hull, {});
    EXPECT_EQ(Offered(*hull), "");
    // "<- Add" uses the staged picture up.
    SelectRows(*hull, {0});
    hull->Button4Click();
    SelectRows(*hull, {0});
    EXPECT_EQ(Offered(*hull), "D");
    // A refused bitmap leaves nothing staged.
    StageHull(*hull);
    test::WriteFileBytes(File("broken.bmp"), Bytes{'B', 'M', 1});
    Import(*hull, File("broken.bmp"));
    EXPECT_EQ(Offered(*hull), "D");

    // A library of another kind is only listed: nothing is offered and nothing asked.
    auto* readOnly = Open<TfHULL>(MakeLibrary(EditorKind::Map, "MAP.DAT", {17500, 17600}), kHull);
    SelectRows(*readOnly, {0});
    EXPECT_EQ(Offered(*readOnly), "");
    dialogs_.events.clear();
    readOnly->DeleteClick();
    readOnly->ReplaceClick();
    readOnly->UndoClick();
    readOnly->RedoClick();
    QTest::keyClick(List(*readOnly), Qt::Key_Delete);
    EXPECT_TRUE(dialogs_.events.isEmpty());
    EXPECT_TRUE(readOnly->NextUndo().empty());
}

TEST_F(ChangeCommandsTest, ListMenuOffersTheFourCommandsWithTheirKeys) {
    auto* ship =
        Open<TfSHIP>(MakeLibrary(EditorKind::Ship, "SHIP.DAT", {20001}), QStringLiteral("SHIP ("));
    auto* menu = Find<QMenu>(*ship, "ListMenu");
    ASSERT_NE(menu, nullptr);
    QStringList texts;
    for (QAction* item : menu->actions()) {
        texts << (item->isSeparator() ? QStringLiteral("-") : item->text());
    }
    EXPECT_EQ(texts, (QStringList{"&Delete", "Re&place", "-", "&Undo", "&Redo"}));
    EXPECT_EQ(Item(*ship, "ListDelete")->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(Item(*ship, "ListUndo")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(Item(*ship, "ListRedo")->shortcuts().size(), 2);
    EXPECT_EQ(List(*ship)->contextMenuPolicy(), Qt::CustomContextMenu);
    EXPECT_EQ(UndoItemText("append 4800"), "&Undo append 4800");
    EXPECT_EQ(RedoItemText("rename R&D"), "&Redo rename R&&D");
    EXPECT_EQ(RedoItemText(""), "&Redo");
}

// The file is read again before a change: rows name pictures only as they were listed.
TEST_F(ChangeCommandsTest, ChangesAreRefusedWhenTheFileNoLongerHoldsWhatTheListShows) {
    const std::string path = MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700, 4800});
    auto* hull = Open<TfHULL>(path, kHull);
    StageHull(*hull);
    ASSERT_EQ(MakeEditorLogic(EditorKind::Hull, path, "")->WritePictureId(2, 4800, 9900),
              RenumberResult::Written);
    const Bytes before = ReadFileBytes(path);
    SelectRows(*hull, {1});
    dialogs_.confirmAnswers = {true};
    dialogs_.events.clear();
    hull->DeleteClick();
    hull->ReplaceClick();
    const QString changed =
        "HULL.DAT has changed since it was listed; nothing was %1. Press "
        "Refresh and choose again";
    EXPECT_EQ(dialogs_.events, (QStringList{"confirm: Delete: Delete 4800 from HULL.DAT?", "beep",
                                            "message: Error: " + changed.arg("deleted"), "beep",
                                            "message: Error: " + changed.arg("replaced")}));
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(Column(*hull), (QStringList{"4700", "4800"}));
    // The staged picture is still there for another try.
    EXPECT_EQ(Offered(*hull), "DR");
}

TEST_F(ChangeCommandsTest, AddSelectsTheNewLastRowAndSaysWhenItsNumberIsShared) {
    const std::string path = MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700, 4800});
    auto* hull = Open<TfHULL>(path, kHull);
    SelectRows(*hull, {0});
    StageHull(*hull);
    Spin(*hull)->setValue(4800);
    hull->Button4Click();
    EXPECT_EQ(test::PictureIds(EditorKind::Hull, path), (std::vector<int>{4700, 4800, 4800}));
    EXPECT_EQ(Selected(*hull), QList<int>{2});
    EXPECT_EQ(List(*hull)->currentIndex().row(), 2);
    EXPECT_EQ(hull->StatusMessage(), "4800 is now used by 2 pictures");

    StageHull(*hull);
    Spin(*hull)->setValue(4900);
    hull->Button4Click();
    EXPECT_EQ(Selected(*hull), QList<int>{3});
    EXPECT_TRUE(hull->StatusMessage().isEmpty());

    // BATTLE 2 and MISSION 2 are different pictures; only the same series counts.
    auto* mission = Open<TfMIS>(MakeMissionLibrary("MISSION.DAT", {{2, 510, 260}}),
                                QStringLiteral("MISSION ("));
    Import(*mission, WriteBmp("mission.bmp", TestPicture(260, 260)));
    Spin(*mission)->setValue(2);
    mission->Button4Click();
    EXPECT_TRUE(mission->StatusMessage().isEmpty());
    Import(*mission, WriteBmp("battle.bmp", TestPicture(510, 260)));
    Spin(*mission)->setValue(2);
    mission->Button4Click();
    EXPECT_EQ(mission->StatusMessage(), "BATTLE 2 is now used by 2 pictures");
    EXPECT_EQ(Selected(*mission), QList<int>{2});
}

TEST_F(ChangeCommandsTest, RenameKeepsTheRowSelectedAndSaysWhenTheNumberIsShared) {
    const std::string path = MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700, 4800, 4900});
    auto* hull = Open<TfHULL>(path, kHull);
    SelectRows(*hull, {2});
    ASSERT_TRUE(hull->ListView1Editing(2));
    hull->ListView1Edited(2, "4700");
    hull->TimerTimer();
    EXPECT_EQ(test::PictureIds(EditorKind::Hull, path), (std::vector<int>{4700, 4800, 4700}));
    EXPECT_EQ(Selected(*hull), QList<int>{2});
    EXPECT_EQ(hull->StatusMessage(), "4700 is now used by 2 pictures");
}

TEST_F(ChangeCommandsTest, DeleteUndoAndRedoShowTheListWithTheRowConcernedSelected) {
    const std::string path = MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700, 4800, 4900, 5000});
    const Bytes before = ReadFileBytes(path);
    auto* hull = Open<TfHULL>(path, kHull);
    SelectRows(*hull, {3, 1});
    dialogs_.confirmAnswers = {true};
    hull->DeleteClick();
    EXPECT_EQ(test::PictureIds(EditorKind::Hull, path), (std::vector<int>{4700, 4900}));
    EXPECT_EQ(Column(*hull), (QStringList{"4700", "4900"}));
    EXPECT_EQ(hull->StatusText(), "2 pictures");
    EXPECT_EQ(hull->StatusMessage(), "Deleted 4800 5000");
    EXPECT_EQ(Selected(*hull), QList<int>{1});
    EXPECT_EQ(hull->NextUndo(), "delete 4800 5000");
    const Bytes deleted = ReadFileBytes(path);

    hull->UndoClick();
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(Column(*hull), (QStringList{"4700", "4800", "4900", "5000"}));
    EXPECT_EQ(hull->StatusMessage(), "Undid delete 4800 5000");
    EXPECT_EQ(Selected(*hull), QList<int>{1});
    EXPECT_EQ(hull->NextRedo(), "delete 4800 5000");

    hull->RedoClick();
    EXPECT_EQ(ReadFileBytes(path), deleted);
    EXPECT_EQ(Column(*hull), (QStringList{"4700", "4900"}));
    EXPECT_EQ(hull->StatusMessage(), "Redid delete 4800 5000");
    EXPECT_EQ(Selected(*hull), QList<int>{1});
    EXPECT_EQ(dialogs_.beeps, 0);

    // The row after the last one deleted is past the end: the new last row is selected.
    SelectRows(*hull, {1});
    dialogs_.confirmAnswers = {true};
    hull->DeleteClick();
    EXPECT_EQ(Column(*hull), QStringList{"4700"});
    EXPECT_EQ(Selected(*hull), QList<int>{0});
}

TEST_F(ChangeCommandsTest, ReplaceKeepsTheRowAndItsNumberAndUsesTheStagedPictureUp) {
    const std::string path = MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700, 4800});
    const Bytes before = ReadFileBytes(path);
    auto* hull = Open<TfHULL>(path, kHull);
    const QImage thumbnail = Thumbnail(*hull, 1);
    StageHull(*hull);
    SelectRows(*hull, {1});
    hull->ReplaceClick();
    EXPECT_TRUE(dialogs_.events.filter("confirm").isEmpty());  // it can be undone
    EXPECT_EQ(test::PictureIds(EditorKind::Hull, path), (std::vector<int>{4700, 4800}));
    EXPECT_NE(ReadFileBytes(path), before);
    EXPECT_NE(Thumbnail(*hull, 1), thumbnail);
    EXPECT_EQ(hull->StatusMessage(), "Replaced 4800");
    EXPECT_EQ(Selected(*hull), QList<int>{1});
    EXPECT_EQ(hull->NextUndo(), "replace 4800");
    EXPECT_TRUE(Panel(*hull)->ShownPicture().isNull());
    EXPECT_EQ(Offered(*hull), "D");
    hull->UndoClick();
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(Thumbnail(*hull, 1), thumbnail);

    // A picture of another series' size is refused; the staged picture stays for "<- Add".
    const std::string missionPath = MakeMissionLibrary("MISSION.DAT", {{2, 510, 260}});
    const Bytes missionBefore = ReadFileBytes(missionPath);
    auto* mission = Open<TfMIS>(missionPath, QStringLiteral("MISSION ("));
    Import(*mission, WriteBmp("mission.bmp", TestPicture(260, 260)));
    SelectRows(*mission, {0});
    dialogs_.events.clear();
    mission->ReplaceClick();
    ASSERT_EQ(dialogs_.events.size(), 2);
    EXPECT_EQ(dialogs_.events[0], "beep");
    EXPECT_TRUE(dialogs_.events[1].startsWith("message: Error: The staged picture is "));
    EXPECT_EQ(ReadFileBytes(missionPath), missionBefore);
    EXPECT_EQ(Offered(*mission), "DR");
    EXPECT_TRUE(Button(*mission, 4)->isEnabled());
}

TEST_F(ChangeCommandsTest, UndoWithNothingToTakeBackSaysWhyAndChangesNothing) {
    const std::string path = MakeLibrary(EditorKind::Hull, "HULL.DAT", {});
    const Bytes before = ReadFileBytes(path);
    auto* hull = Open<TfHULL>(path, kHull);
    EXPECT_TRUE(hull->NextUndo().empty());
    hull->UndoClick();
    hull->RedoClick();
    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[0].caption, "Error");
    EXPECT_FALSE(dialogs_.messages[0].text.isEmpty());
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(hull->StatusText(), "0 pictures");
}

}  // namespace
}  // namespace vexlor
