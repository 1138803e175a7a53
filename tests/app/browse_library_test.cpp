#include <filesystem>

#include <gtest/gtest.h>
#include <QAction>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPushButton>
#include <QTreeView>
#include <QUrl>

#include "app/main_window.h"
#include "browser/windows/library_browser_model.h"
#include "browser/windows/library_browser_window.h"
#include "editors/windows/library_editor_window.h"
#include "library/byte_order.h"
#include "library/creation.h"
#include "platform/folders.h"
#include "tests/support/picture_library.h"
#include "tests/support/test_files.h"
#include "tests/support_qt/fake_user_dialogs.h"
#include "tests/support_qt/scoped_state_folder.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;

// A kind that no kind dialog entry names and GroupIds that fit none: no editor takes it.
constexpr std::uint32_t kNoKind = 9;

class BrowseLibraryTest : public ::testing::Test {
  protected:
    BrowseLibraryTest() {
        fs::create_directories(temp_.Path() / "program" / "OutPut");
        fs::create_directories(temp_.Path() / "resdata");
        SetAppFolders({(temp_.Path() / "program").string() + "/", temp_.Path().string() + "/"});
        mainWindow_.show();
    }
    ~BrowseLibraryTest() override { SetAppFolders({}); }

    fs::path Library(const char* name) const {
        const fs::path path = temp_.Path() / "resdata" / name;
        test::WriteFileBytes(
            path, test::BuildPictureLibrary(
                      kNoKind, {{100, 1, 23, 16, 16}, {200, 2, 24, 20, 10}, {300, 3, 23, 8, 8}}));
        return path;
    }
    QAction* Item(const char* name) const {
        return mainWindow_.findChild<QAction*>(QString::fromLatin1(name));
    }
    QList<LibraryBrowserWindow*> Browsers() const {
        return mainWindow_.findChildren<LibraryBrowserWindow*>();
    }
    LibraryBrowserWindow* ActiveBrowser() const {
        QMdiSubWindow* active = mainWindow_.EditorArea()->activeSubWindow();
        return active != nullptr ? qobject_cast<LibraryBrowserWindow*>(active->widget()) : nullptr;
    }
    void Browse(const fs::path& path) {
        dialogs_.fileAnswers.push_back(QString::fromStdString(path.string()));
        Item("BrowseLibraryItem")->trigger();
    }

    test::TempDir temp_;
    test::ScopedStateFolder stateFolder_{temp_.Path() / "state"};
    test::FakeUserDialogs dialogs_;
    MainWindow mainWindow_{dialogs_};
};

TEST_F(BrowseLibraryTest, BrowseLibraryOpensABrowserOnceAndActivatesItAgain) {
    EXPECT_EQ(Item("BrowseLibraryItem")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
    Browse(Library("ONE.DAT"));
    EXPECT_EQ(dialogs_.fileRequests.back().title, "Browse library");
    EXPECT_EQ(dialogs_.fileRequests.back().filterIndex, 1);
    Browse(Library("TWO.DAT"));
    ASSERT_EQ(Browsers().size(), 2);
    EXPECT_EQ(ActiveBrowser()->windowTitle(), "Library (TWO.DAT)");

    // The same file again, by another spelling of its path, activates its browser.
    Browse(temp_.Path() / "resdata" / ".." / "resdata" / "ONE.DAT");
    EXPECT_EQ(Browsers().size(), 2);
    ASSERT_NE(ActiveBrowser(), nullptr);
    EXPECT_EQ(ActiveBrowser()->windowTitle(), "Library (ONE.DAT)");
    EXPECT_TRUE(ActiveBrowser()->StatusText().startsWith("3 groups, 3 records"));
    // Browsers are no editors: an editor of the same name may still open.
    EXPECT_TRUE(mainWindow_.EditorCaptions().isEmpty());

    dialogs_.fileAnswers.push_back(std::nullopt);
    Item("BrowseLibraryItem")->trigger();
    EXPECT_EQ(Browsers().size(), 2);
}

TEST_F(BrowseLibraryTest, ARepairConfirmedIsTakenBackByTheEditMenusUndo) {
    const fs::path path = Library("REPAIR.DAT");
    test::Bytes damaged = test::ReadFileBytes(path);
    PutU16(&damaged[12], 7);  // ImageCount
    test::WriteFileBytes(path, damaged);
    Browse(path);
    LibraryBrowserWindow* browser = ActiveBrowser();
    ASSERT_NE(browser, nullptr);
    auto* repair = browser->findChild<QPushButton*>("Repair");
    ASSERT_TRUE(repair->isEnabled());

    repair->click();  // not confirmed
    EXPECT_TRUE(dialogs_.events.back().startsWith("confirm: Repair: Repair REPAIR.DAT?"));
    EXPECT_EQ(test::ReadFileBytes(path), damaged);
    dialogs_.confirmAnswers.push_back(true);
    repair->click();
    EXPECT_NE(test::ReadFileBytes(path), damaged);
    EXPECT_EQ(GetU16(&test::ReadFileBytes(path)[12]), 3);
    EXPECT_FALSE(repair->isEnabled());
    EXPECT_TRUE(Item("UndoItem")->isEnabled());
    EXPECT_TRUE(Item("UndoItem")->text().contains("repair"));

    Item("UndoItem")->trigger();
    EXPECT_EQ(test::ReadFileBytes(path), damaged);
    EXPECT_TRUE(repair->isEnabled());
    EXPECT_TRUE(Item("RedoItem")->isEnabled());
    Item("RedoItem")->trigger();
    EXPECT_EQ(GetU16(&test::ReadFileBytes(path)[12]), 3);
}

TEST_F(BrowseLibraryTest, ASoundLibraryIsNeverRepaired) {
    const fs::path path = Library("SOUND.DAT");
    const test::Bytes sound = test::ReadFileBytes(path);
    Browse(path);
    LibraryBrowserWindow* browser = ActiveBrowser();
    EXPECT_FALSE(browser->findChild<QPushButton*>("Repair")->isEnabled());
    dialogs_.confirmAnswers.push_back(true);
    browser->RepairClick();
    EXPECT_EQ(test::ReadFileBytes(path), sound);
    EXPECT_FALSE(Item("UndoItem")->isEnabled());
}

// A drop from a file manager onto the editor area, once the drop has ended.
bool Drop(QWidget* target, const fs::path& file) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file.string()))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    QCoreApplication::sendPostedEvents();
    return drop.isAccepted();
}

TEST_F(BrowseLibraryTest, ADroppedOrNamedLibraryThatNoKindAcceptsOpensInABrowser) {
    EXPECT_TRUE(Drop(mainWindow_.EditorArea()->viewport(), Library("ODD.DAT")));
    ASSERT_EQ(Browsers().size(), 1);
    EXPECT_EQ(Browsers()[0]->windowTitle(), "Library (ODD.DAT)");
    EXPECT_TRUE(dialogs_.messages.empty());

    // One accepting kind still opens its editor; the command line takes the browser too.
    const fs::path hull = temp_.Path() / "resdata" / "HULL.DAT";
    ASSERT_TRUE(CreateLibrary(LibraryKind::Hull, hull.string()));
    mainWindow_.OpenCommandLineLibraries({QString::fromStdString(hull.string()),
                                          QString::fromStdString(Library("ODD2.DAT").string())});
    EXPECT_EQ(mainWindow_.EditorCaptions(), QStringList{"HULL (HULL.DAT)"});
    EXPECT_EQ(Browsers().size(), 2);
}

TEST_F(BrowseLibraryTest, AChangeInTheBrowserOrTheEditorOfAFileIsSeenByTheOther) {
    const fs::path hull = temp_.Path() / "resdata" / "HULL.DAT";
    test::WriteFileBytes(hull, test::BuildPictureLibrary(1, {{kHullGroupId, 1, 23, 16, 16},
                                                             {kHullGroupId, 2, 23, 16, 16}}));
    mainWindow_.OpenCommandLineLibraries({QString::fromStdString(hull.string())});
    auto* editor = mainWindow_.findChild<LibraryEditorWindow*>();
    ASSERT_NE(editor, nullptr);
    const auto editorRows = [editor] {
        return editor->findChild<QTreeView*>(QStringLiteral("PictureList"))->model()->rowCount();
    };
    ASSERT_EQ(editorRows(), 2);
    mainWindow_.OpenBrowser(QString::fromStdString(hull.string()));
    LibraryBrowserWindow* browser = ActiveBrowser();
    ASSERT_NE(browser, nullptr);

    browser->SelectRecord(1);
    dialogs_.confirmAnswers.push_back(true);
    browser->DeleteClick();
    EXPECT_EQ(editorRows(), 1);
    EXPECT_EQ(browser->Model().RecordsUnder(browser->Model().GroupIndex(0)).size(), 1u);

    // The Edit menu's Undo with the editor in front: the browser walks the file anew.
    for (QMdiSubWindow* window : mainWindow_.EditorArea()->subWindowList()) {
        if (window->widget() == editor) {
            mainWindow_.EditorArea()->setActiveSubWindow(window);
        }
    }
    Item("UndoItem")->trigger();
    EXPECT_EQ(editorRows(), 2);
    EXPECT_EQ(browser->Model().RecordsUnder(browser->Model().GroupIndex(0)).size(), 2u);
}

}  // namespace
}  // namespace vexlor
