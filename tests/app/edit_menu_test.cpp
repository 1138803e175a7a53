#include <filesystem>

#include <gtest/gtest.h>
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTreeView>

#include "app/main_window.h"
#include "editors/windows/hull_editor_window.h"
#include "editors/windows/map_editor_window.h"
#include "platform/folders.h"
#include "tests/editors/editor_test_support.h"
#include "tests/support/test_files.h"
#include "tests/support_qt/fake_user_dialogs.h"
#include "tests/support_qt/scoped_state_folder.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;

// The main window with a HULL and a MAP editor, as Open project leaves them.
class EditMenuTest : public ::testing::Test {
  protected:
    EditMenuTest() {
        fs::create_directories(temp_.Path() / "program" / "OutPut");
        SetAppFolders({(temp_.Path() / "program").string() + "/", temp_.Path().string() + "/"});
        hull_ = OpenEditor<HullEditorWindow>(EditorKind::Hull, "HULL.DAT", {4700, 4800, 4900});
        map_ = OpenEditor<MapEditorWindow>(EditorKind::Map, "MAP.DAT", {17500});
        mainWindow_.show();
    }
    ~EditMenuTest() override { SetAppFolders({}); }

    template <class Window>
    Window* OpenEditor(EditorKind kind, const std::string& name, const std::vector<int>& numbers) {
        const std::string path = temp_.File(name);
        auto logic = test::NewLibrary(kind, path);
        for (int number : numbers) {
            const KindConstants& constants = ConstantsOf(kind);
            EXPECT_EQ(
                logic
                    ->AppendPicture(
                        test::TestPicture(constants.pictureWidth, constants.pictureHeight), number)
                    .result,
                WriteResult::Ok);
        }
        auto* editor = new Window(QString::fromStdString(path), dialogs_);
        editor->setWindowTitle(QString::fromStdString(name));
        QMdiSubWindow* frame = mainWindow_.AddEditorWindow(editor);
        editor->RefreshClick();
        frame->show();
        return editor;
    }
    void Activate(QWidget* editor) {
        for (QMdiSubWindow* frame : mainWindow_.EditorArea()->subWindowList()) {
            if (frame->widget() == editor) {
                mainWindow_.EditorArea()->setActiveSubWindow(frame);
            }
        }
    }
    QAction* Item(const char* name) const {
        return mainWindow_.findChild<QAction*>(QString::fromLatin1(name));
    }
    // "TEXT" when enabled, "(TEXT)" when not.
    QString Shown(const char* name) const {
        QAction* item = Item(name);
        return item->isEnabled() ? item->text() : "(" + item->text() + ")";
    }
    QMenu* EditMenu() const { return mainWindow_.menuBar()->actions().at(1)->menu(); }
    static void Select(LibraryEditorWindow& editor, int row) {
        auto* list = editor.findChild<QTreeView*>(QStringLiteral("PictureList"));
        list->selectionModel()->select(
            list->model()->index(row, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    test::TempDir temp_;
    test::ScopedStateFolder stateFolder_{temp_.Path() / "state"};
    test::FakeUserDialogs dialogs_;
    MainWindow mainWindow_{dialogs_};
    HullEditorWindow* hull_ = nullptr;
    MapEditorWindow* map_ = nullptr;
};

TEST_F(EditMenuTest, UndoAndRedoSayWhatTheActiveEditorWouldTakeBack) {
    Activate(hull_);
    EXPECT_EQ(Shown("UndoItem"), "&Undo append 4900");
    EXPECT_EQ(Shown("RedoItem"), "(&Redo)");
    Select(*hull_, 1);
    dialogs_.confirmAnswers = {true};
    hull_->DeleteClick();
    // Said at once, without the menu being opened: the shortcut follows the item.
    EXPECT_EQ(Shown("UndoItem"), "&Undo delete 4800");
    Activate(map_);
    EXPECT_EQ(Shown("UndoItem"), "&Undo append 17500");
    Activate(hull_);
    emit EditMenu()->aboutToShow();
    EXPECT_EQ(Shown("UndoItem"), "&Undo delete 4800");

    Item("UndoItem")->trigger();
    EXPECT_EQ(hull_->StatusMessage(), "Undid delete 4800");
    EXPECT_EQ(Shown("UndoItem"), "&Undo append 4900");
    EXPECT_EQ(Shown("RedoItem"), "&Redo delete 4800");
    // The list's own menu says the same.
    auto* list = hull_->findChild<QTreeView*>(QStringLiteral("PictureList"));
    emit list->customContextMenuRequested(QPoint(4, 4));
    auto* listMenu = hull_->findChild<QMenu*>(QStringLiteral("ListMenu"));
    EXPECT_EQ(hull_->findChild<QAction*>(QStringLiteral("ListRedo"))->text(), "&Redo delete 4800");
    listMenu->close();
    Item("RedoItem")->trigger();
    EXPECT_EQ(hull_->StatusMessage(), "Redid delete 4800");
    EXPECT_EQ(Shown("RedoItem"), "(&Redo)");

    // Without an editor there is nothing to undo.
    for (QMdiSubWindow* frame : mainWindow_.EditorArea()->subWindowList()) {
        frame->close();
    }
    EXPECT_EQ(Shown("UndoItem"), "(&Undo)");
    EXPECT_EQ(Shown("RedoItem"), "(&Redo)");
}

}  // namespace
}  // namespace vexlor
