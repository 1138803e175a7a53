#include <gtest/gtest.h>
#include <QAction>
#include <QMenu>
#include <QTest>

#include "editors/windows/hull_editor_window.h"
#include "editors/windows/mission_editor_window.h"
#include "tests/editors/windows/editor_window_fixture.h"

namespace vexlor::test {
namespace {

const QString kHull = QStringLiteral("HULL (");
const QString kMission = QStringLiteral("MISSION (");

class ChangeCommandsTest : public EditorWindowTest {
  protected:
    static QList<int> Selected(const QWidget& window) {
        QList<int> rows;
        for (const QModelIndex& index : List(window)->selectionModel()->selectedRows()) {
            rows << index.row();
        }
        return rows;
    }
    // "D" and "R" for Delete and Replace enabled, as the buttons and the list's menu offer them.
    static QString Offered(const QWidget& window) {
        EXPECT_EQ(Find<QAction>(window, "ListDelete")->isEnabled(),
                  Button(window, "DeleteButton")->isEnabled());
        EXPECT_EQ(Find<QAction>(window, "ListReplace")->isEnabled(),
                  Button(window, "ReplaceButton")->isEnabled());
        return QString(Button(window, "DeleteButton")->isEnabled() ? "D" : "") +
               (Button(window, "ReplaceButton")->isEnabled() ? "R" : "");
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
    auto* hull = Open<HullEditorWindow>(path, kHull);
    for (const auto& [rows, names] : {std::pair<std::vector<int>, QString>{{1}, "4800"},
                                      {{0, 2}, "4700 and 4900"},
                                      {{2, 0, 1}, "4700, 4800 and 4900"}}) {
        SelectRows(*hull, rows);
        dialogs_.events.clear();
        hull->DeleteClick();
        EXPECT_EQ(dialogs_.events,
                  QStringList{"confirm: Delete: Delete " + names + " from HULL.DAT?"});
    }
    // The Delete key in the list asks the same; with Shift it is no Delete.
    SelectRows(*hull, {0});
    dialogs_.events.clear();
    QTest::keyClick(List(*hull), Qt::Key_Delete, Qt::ShiftModifier);
    QTest::keyClick(List(*hull), Qt::Key_Delete);
    EXPECT_EQ(dialogs_.events, QStringList{"confirm: Delete: Delete 4700 from HULL.DAT?"});
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(Column(*hull), (QStringList{"4700", "4800", "4900"}));
    EXPECT_TRUE(hull->NextUndo().rfind("append", 0) == 0);

    // Series pictures are named with their series; beyond a screenful the rest are counted.
    auto* mission = Open<MissionEditorWindow>(
        MakeMissionLibrary("MISSION.DAT", {{2, 510, 260}, {2, 260, 260}, {7, 100, 75}}), kMission);
    SelectRows(*mission, {0, 1, 2});
    dialogs_.events.clear();
    mission->DeleteClick();
    EXPECT_EQ(dialogs_.events, QStringList{"confirm: Delete: Delete BATTLE 2, MISSION 2 and "
                                           "mission 7 from MISSION.DAT?"});
    std::vector<int> numbers(45);
    std::vector<int> rows(45);
    for (int k = 0; k < 45; ++k) {
        numbers[k] = 100 * k;
        rows[k] = k;
    }
    auto* big = Open<HullEditorWindow>(MakeLibrary(EditorKind::Hull, "BIG.DAT", numbers), kHull);
    SelectRows(*big, rows);
    dialogs_.events.clear();
    big->DeleteClick();
    ASSERT_EQ(dialogs_.events.size(), 1);
    EXPECT_TRUE(dialogs_.events[0].endsWith(", 3700, 3800 and 6 more pictures from BIG.DAT?"));
}

TEST_F(ChangeCommandsTest, DeleteAndReplaceAreOfferedOnlyWhereTheyCanAct) {
    auto* hull =
        Open<HullEditorWindow>(MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700, 4800}), kHull);
    EXPECT_EQ(Offered(*hull), "");
    SelectRows(*hull, {1});
    EXPECT_EQ(Offered(*hull), "D");
    StageHull(*hull);
    EXPECT_EQ(Offered(*hull), "DR");
    SelectRows(*hull, {0, 1});
    EXPECT_EQ(Offered(*hull), "D");
    // "<- Add" uses the staged picture up.
    hull->AddClick();
    SelectRows(*hull, {0});
    EXPECT_EQ(Offered(*hull), "D");

    // A library of another kind is only listed: nothing is offered, asked or undone.
    auto* readOnly =
        Open<HullEditorWindow>(MakeLibrary(EditorKind::Map, "MAP.DAT", {17500}), kHull);
    SelectRows(*readOnly, {0});
    EXPECT_EQ(Offered(*readOnly), "");
    dialogs_.events.clear();
    readOnly->DeleteClick();
    readOnly->UndoClick();
    QTest::keyClick(List(*readOnly), Qt::Key_Delete);
    EXPECT_TRUE(dialogs_.events.isEmpty());
    EXPECT_TRUE(readOnly->NextUndo().empty());
    EXPECT_EQ(PictureIds(EditorKind::Map, File("MAP.DAT")), std::vector<int>{17500});
}

// Rows name pictures only as they were listed: the file is read again before a change.
TEST_F(ChangeCommandsTest, ChangesAreRefusedWhenTheFileNoLongerHoldsWhatTheListShows) {
    const std::string path = MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700, 4800});
    auto* hull = Open<HullEditorWindow>(path, kHull);
    StageHull(*hull);
    ASSERT_EQ(MakeEditorLogic(EditorKind::Hull, path, "")->WritePictureId(2, 4800, 9900),
              RenumberResult::Written);
    const Bytes before = ReadFileBytes(path);
    SelectRows(*hull, {1});
    dialogs_.confirmAnswers = {true};
    dialogs_.events.clear();
    hull->DeleteClick();
    hull->ReplaceClick();
    const QString refusal =
        "message: Error: HULL.DAT has changed since it was listed; nothing "
        "was %1. Press Refresh and choose again";
    EXPECT_EQ(dialogs_.events,
              (QStringList{"confirm: Delete: Delete 4800 from HULL.DAT?", "beep",
                           refusal.arg("deleted"), "beep", refusal.arg("replaced")}));
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(Offered(*hull), "DR");  // still staged for another try
}

TEST_F(ChangeCommandsTest, DeleteUndoAndRedoShowTheListWithTheRowConcernedSelected) {
    const std::string path = MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700, 4800, 4900, 5000});
    const Bytes before = ReadFileBytes(path);
    auto* hull = Open<HullEditorWindow>(path, kHull);
    SelectRows(*hull, {3, 1});
    dialogs_.confirmAnswers = {true};
    hull->DeleteClick();
    const Bytes deleted = ReadFileBytes(path);
    EXPECT_EQ(PictureIds(EditorKind::Hull, path), (std::vector<int>{4700, 4900}));
    EXPECT_EQ(Column(*hull), (QStringList{"4700", "4900"}));
    EXPECT_EQ(hull->StatusMessage(), "Deleted 4800 5000");
    EXPECT_EQ(Selected(*hull), QList<int>{1});

    hull->UndoClick();
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(Column(*hull), (QStringList{"4700", "4800", "4900", "5000"}));
    EXPECT_EQ(hull->StatusMessage(), "Undid delete 4800 5000");
    EXPECT_EQ(Selected(*hull), QList<int>{1});
    hull->RedoClick();
    EXPECT_EQ(ReadFileBytes(path), deleted);
    EXPECT_EQ(hull->StatusMessage(), "Redid delete 4800 5000");
    EXPECT_EQ(Selected(*hull), QList<int>{1});
    EXPECT_EQ(dialogs_.beeps, 0);

    // The row after the last one deleted is past the end: the new last row is selected.
    SelectRows(*hull, {1});
    dialogs_.confirmAnswers = {true};
    hull->DeleteClick();
    EXPECT_EQ(Selected(*hull), QList<int>{0});
}

// The journal, the command line and `history` keep the stored numbers ("delete 2"); the window
// says what it did in the words of its list and its question.
TEST_F(ChangeCommandsTest, SeriesPicturesAreNamedAsListedInWhatUndoAndRedoSay) {
    const std::string path = MakeMissionLibrary("MISSION.DAT", {{1, 260, 260}, {3, 510, 260}});
    auto* mission = Open<MissionEditorWindow>(path, kMission);
    SelectRows(*mission, {0, 1});
    dialogs_.confirmAnswers = {true};
    mission->DeleteClick();
    EXPECT_EQ(mission->StatusMessage(), "Deleted MISSION 1 BATTLE 3");
    EXPECT_EQ(mission->NextUndo(), "delete MISSION 1 BATTLE 3");
    EXPECT_EQ(MakeEditorLogic(EditorKind::Mission, path, "")->NextUndo(), "delete 2 2003");

    mission->UndoClick();
    EXPECT_EQ(mission->StatusMessage(), "Undid delete MISSION 1 BATTLE 3");
    emit List(*mission)->customContextMenuRequested(QPoint(4, 4));
    EXPECT_EQ(Find<QAction>(*mission, "ListRedo")->text(), "&Redo delete MISSION 1 BATTLE 3");
    Find<QMenu>(*mission, "ListMenu")->close();
    mission->RedoClick();
    EXPECT_EQ(mission->StatusMessage(), "Redid delete MISSION 1 BATTLE 3");
    EXPECT_EQ(MakeEditorLogic(EditorKind::Mission, path, "")->NextUndo(), "delete 2 2003");
}

TEST_F(ChangeCommandsTest, ReplaceKeepsTheRowAndItsNumberAndUsesTheStagedPictureUp) {
    const std::string path = MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700, 4800});
    const Bytes before = ReadFileBytes(path);
    auto* hull = Open<HullEditorWindow>(path, kHull);
    const QImage thumbnail = Thumbnail(*hull, 1);
    StageHull(*hull);
    SelectRows(*hull, {1});
    hull->ReplaceClick();
    EXPECT_TRUE(dialogs_.events.filter("confirm").isEmpty());  // it can be undone
    EXPECT_EQ(PictureIds(EditorKind::Hull, path), (std::vector<int>{4700, 4800}));
    EXPECT_NE(Thumbnail(*hull, 1), thumbnail);
    EXPECT_EQ(hull->StatusMessage(), "Replaced 4800");
    EXPECT_EQ(Selected(*hull), QList<int>{1});
    EXPECT_TRUE(Panel(*hull)->ShownPicture().isNull());
    EXPECT_EQ(Offered(*hull), "D");
    hull->UndoClick();
    EXPECT_EQ(ReadFileBytes(path), before);

    // A picture of another series' size is refused; the staged picture stays for "<- Add".
    const std::string missionPath = MakeMissionLibrary("MISSION.DAT", {{2, 510, 260}});
    const Bytes missionBefore = ReadFileBytes(missionPath);
    auto* mission = Open<MissionEditorWindow>(missionPath, kMission);
    Import(*mission, WriteBmp("mission.bmp", TestPicture(260, 260)));
    SelectRows(*mission, {0});
    dialogs_.events.clear();
    mission->ReplaceClick();
    ASSERT_EQ(dialogs_.events.size(), 2);
    EXPECT_TRUE(dialogs_.events[1].startsWith("message: Error: The staged picture is "));
    EXPECT_EQ(ReadFileBytes(missionPath), missionBefore);
    EXPECT_EQ(Offered(*mission), "DR");
}

TEST_F(ChangeCommandsTest, AddAndRenameSelectTheirRowAndSayWhenItsNumberIsShared) {
    const std::string path = MakeLibrary(EditorKind::Hull, "HULL.DAT", {4700, 4800});
    auto* hull = Open<HullEditorWindow>(path, kHull);
    StageHull(*hull);
    Spin(*hull)->setValue(4800);
    hull->AddClick();
    EXPECT_EQ(Selected(*hull), QList<int>{2});
    EXPECT_EQ(hull->StatusMessage(), "4800 is now used by 2 pictures");
    StageHull(*hull);
    Spin(*hull)->setValue(4900);
    hull->AddClick();
    EXPECT_EQ(Selected(*hull), QList<int>{3});
    EXPECT_TRUE(hull->StatusMessage().isEmpty());

    SelectRows(*hull, {3});
    ASSERT_TRUE(hull->OnCaptionEditing(3));
    hull->OnCaptionEdited(3, "4700");
    hull->OnRenameTimer();
    EXPECT_EQ(PictureIds(EditorKind::Hull, path), (std::vector<int>{4700, 4800, 4800, 4700}));
    EXPECT_EQ(Selected(*hull), QList<int>{3});
    EXPECT_EQ(hull->StatusMessage(), "4700 is now used by 2 pictures");

    // BATTLE 2 and MISSION 2 are different numbers; only the same series counts.
    auto* mission =
        Open<MissionEditorWindow>(MakeMissionLibrary("MISSION.DAT", {{2, 510, 260}}), kMission);
    for (const auto& [width, height, shared] :
         {std::tuple{260, 260, ""}, {510, 260, "BATTLE 2 is now used by 2 pictures"}}) {
        Import(*mission, WriteBmp("staged.bmp", TestPicture(width, height)));
        Spin(*mission)->setValue(2);
        mission->AddClick();
        EXPECT_EQ(mission->StatusMessage(), shared);
    }
}

}  // namespace
}  // namespace vexlor::test
