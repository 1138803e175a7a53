#include "app/main_window.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "app/about_box.h"
#include "app/window_arrangement.h"
#include "platform/folders.h"
#include "resources/windows/resource_list_window.h"
#include "tests/support/test_files.h"
#include "tests/support_qt/fake_user_dialogs.h"
#include "tests/support_qt/slashed_paths.h"
#include "widgets/help_viewer.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() {
        fs::create_directory(Program());
        fs::create_directory(Game());
        SetAppFolders({Program().string() + "/", Game().string() + "/"});
    }
    ~MainWindowTest() override { SetAppFolders({}); }

    fs::path Program() const { return temp_.Path() / "program"; }
    fs::path Game() const { return temp_.Path() / "game"; }
    QStringList ProgramFolderEntries() const {
        QStringList names;
        for (const auto& entry : fs::directory_iterator(Program())) {
            names << QString::fromStdString(entry.path().filename().string());
        }
        names.sort();
        return names;
    }
    QAction* MenuItem(const char* name) const {
        return mainWindow_.findChild<QAction*>(QString::fromLatin1(name));
    }
    QWidget* AddEditor(const QString& caption) {
        auto* editor = new QWidget;
        editor->setWindowTitle(caption);
        mainWindow_.AddEditorWindow(editor)->show();
        return editor;
    }

    test::TempDir temp_;
    test::FakeUserDialogs dialogs_;
    MainWindow mainWindow_{dialogs_};
};

TEST_F(MainWindowTest, WithoutAGameFolderStartUpIsRefusedAfterABeep) {
    SetAppFolders({Program().string() + "/", ""});
    EXPECT_FALSE(mainWindow_.SetUp());
    EXPECT_EQ(dialogs_.events, (QStringList{"beep", "message: Error: XWingAlliance not found"}));
    EXPECT_EQ(mainWindow_.windowTitle(), " Vexlor 0.72b ");
    EXPECT_TRUE(ProgramFolderEntries().isEmpty());
    EXPECT_FALSE(mainWindow_.windowState().testFlag(Qt::WindowMaximized));
}

TEST_F(MainWindowTest, StartUpMaximisesAndCreatesTheWorkingFolders) {
    EXPECT_TRUE(mainWindow_.SetUp());
    EXPECT_TRUE(dialogs_.events.isEmpty());
    EXPECT_EQ(mainWindow_.windowTitle(), " Vexlor 0.72b ");
    EXPECT_TRUE(mainWindow_.windowState().testFlag(Qt::WindowMaximized));
    EXPECT_EQ(ProgramFolderEntries(), (QStringList{"Input", "OutPut"}));
    // A second start finds both and changes nothing.
    MainWindow second(dialogs_);
    EXPECT_TRUE(second.SetUp());
    EXPECT_EQ(ProgramFolderEntries(), (QStringList{"Input", "OutPut"}));
}

TEST_F(MainWindowTest, WorkingFoldersAreMadeWhereStartUpPutThemNotBesideTheProgram) {
    const fs::path working = temp_.Path() / "data";
    fs::create_directory(working);
    SetAppFolders({Program().string() + "/", Game().string() + "/", working.string() + "/"});
    EXPECT_TRUE(mainWindow_.SetUp());
    EXPECT_TRUE(ProgramFolderEntries().isEmpty());
    EXPECT_TRUE(fs::is_directory(working / "OutPut"));
    EXPECT_TRUE(fs::is_directory(working / "Input"));
}

TEST_F(MainWindowTest, WorkingFoldersInAnotherLetterCaseAreTheOnesMeant) {
    fs::create_directory(Program() / "output");
    // A file where a folder should be is not this window's concern.
    test::WriteFileBytes(Program() / "INPUT", {});
    EXPECT_TRUE(mainWindow_.SetUp());
    EXPECT_EQ(ProgramFolderEntries(), (QStringList{"INPUT", "output"}));
    EXPECT_TRUE(dialogs_.events.isEmpty());
}

TEST_F(MainWindowTest, ToolbarHoldsTheSevenButtons) {
    const QStringList captions{"New", "Open", "", "", "", "Resdata", "Preview"};
    const QStringList names{"NewProjectButton",     "OpenProjectButton",         "CascadeButton",
                            "TileSideBySideButton", "TileOneAboveAnotherButton", "ResdataButton",
                            "PreviewButton"};
    for (int number = 1; number <= 7; ++number) {
        QToolButton* button = mainWindow_.ToolBarButton(number);
        ASSERT_NE(button, nullptr) << number;
        EXPECT_EQ(button->objectName(), names.at(number - 1));
        EXPECT_TRUE(button->isEnabled()) << number;
        if (captions.at(number - 1).isEmpty()) {
            EXPECT_FALSE(button->icon().isNull()) << number;
            EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly) << number;
        } else {
            EXPECT_EQ(button->text(), captions.at(number - 1));
        }
    }
    const auto* toolBar = mainWindow_.findChild<QToolBar*>();
    ASSERT_NE(toolBar, nullptr);
    EXPECT_EQ(toolBar->height(), 33);
    EXPECT_FALSE(toolBar->isMovable());
    ASSERT_NE(mainWindow_.findChild<QStatusBar*>(), nullptr);
    EXPECT_TRUE(mainWindow_.statusBar()->currentMessage().isEmpty());
}

TEST_F(MainWindowTest, MenusOfferTheCommandsInOrderWithTheirShortcuts) {
    QStringList menus;
    for (QAction* menu : mainWindow_.menuBar()->actions()) {
        menus << menu->text();
    }
    EXPECT_EQ(menus, (QStringList{"&File", "&Edit", "&View", "&Window", "&?"}));

    auto itemTexts = [](QMenu* menu) {
        QStringList texts;
        for (QAction* item : menu->actions()) {
            texts << (item->isSeparator() ? QStringLiteral("-") : item->text());
        }
        return texts;
    };
    const QList<QAction*> top = mainWindow_.menuBar()->actions();
    EXPECT_EQ(itemTexts(top[0]->menu()), (QStringList{"&New project...", "&Open project...",
                                                      "&Browse library...", "-", "Exit"}));
    EXPECT_EQ(itemTexts(top[1]->menu()), (QStringList{"&Undo", "&Redo"}));
    EXPECT_EQ(itemTexts(top[2]->menu()), (QStringList{"&Resdata", "&Preview"}));
    EXPECT_EQ(itemTexts(top[3]->menu()), (QStringList{"&Cascade", "Tile &vert", "Tile &horz"}));
    EXPECT_EQ(itemTexts(top[4]->menu()), (QStringList{"&Help", "-", "&About..."}));

    EXPECT_TRUE(MenuItem("NewProjectItem")->isEnabled());
    EXPECT_TRUE(MenuItem("OpenProjectItem")->isEnabled());
    EXPECT_EQ(MenuItem("ExitItem")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));
    EXPECT_EQ(MenuItem("HelpItem")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(MenuItem("NewProjectItem")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_EQ(MenuItem("OpenProjectItem")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(MenuItem("ResdataItem")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_1));
    EXPECT_EQ(MenuItem("PreviewItem")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_2));
    EXPECT_EQ(MenuItem("UndoItem")->shortcuts(),
              QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Z)});
    EXPECT_EQ(MenuItem("RedoItem")->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                   QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    // With no editor open there is nothing to undo or redo.
    EXPECT_FALSE(MenuItem("UndoItem")->isEnabled());
    EXPECT_FALSE(MenuItem("RedoItem")->isEnabled());
    // Each toolbar button says what it does, with the key that does the same.
    for (const auto& [number, key] :
         {std::pair{1, "Ctrl+N"}, {2, "Ctrl+O"}, {4, ""}, {6, "Ctrl+1"}}) {
        EXPECT_TRUE(mainWindow_.ToolBarButton(number)->toolTip().contains(key)) << number;
        EXPECT_FALSE(mainWindow_.ToolBarButton(number)->toolTip().isEmpty()) << number;
    }
}

TEST_F(MainWindowTest, ViewItemsFollowTheToolWindowsHoweverTheyAreShownOrHidden) {
    QWidget resdata;
    QWidget preview;
    resdata.show();
    mainWindow_.SetResourceListWindow(&resdata);
    mainWindow_.SetPreviewWindow(&preview);
    QAction* resdataItem = MenuItem("ResdataItem");
    QAction* previewItem = MenuItem("PreviewItem");
    EXPECT_TRUE(resdataItem->isChecked());
    EXPECT_FALSE(previewItem->isChecked());

    previewItem->trigger();
    EXPECT_TRUE(preview.isVisible());
    EXPECT_TRUE(previewItem->isChecked());
    // The close box hides a tool window without going through the main window.
    preview.close();
    EXPECT_FALSE(previewItem->isChecked());
    mainWindow_.ToolBarButton(6)->click();
    EXPECT_FALSE(resdata.isVisible());
    EXPECT_FALSE(resdataItem->isChecked());
    resdataItem->trigger();
    EXPECT_TRUE(resdata.isVisible());
    EXPECT_TRUE(resdataItem->isChecked());
}

TEST_F(MainWindowTest, ResdataButtonHidesAndShowsTheResourceListWindow) {
    QWidget toolWindow;
    mainWindow_.SetResourceListWindow(&toolWindow);
    toolWindow.show();
    mainWindow_.ToolBarButton(6)->click();
    EXPECT_FALSE(toolWindow.isVisible());
    mainWindow_.ToolBarButton(6)->click();
    EXPECT_TRUE(toolWindow.isVisible());
    // Without a Preview tool its handler has nothing to toggle.
    mainWindow_.TogglePreviewClick();
}

TEST_F(MainWindowTest, HelpOpensTheHelpFileOfTheProgramFolder) {
    MenuItem("HelpItem")->trigger();
    EXPECT_EQ(test::SlashedPaths(dialogs_.shellOpens),
              test::SlashedPaths({QString::fromStdString((Program() / "Help.txt").string())}));
#ifndef _WIN32  // where names differing in letter case only are one file
    test::WriteFileBytes(Program() / "HELP.TXT", {});
    mainWindow_.HelpClick();
    EXPECT_EQ(test::SlashedPath(dialogs_.shellOpens.last()),
              test::SlashedPath(QString::fromStdString((Program() / "HELP.TXT").string())));
#endif
}

TEST_F(MainWindowTest, WhereTheShellCannotOpenTheHelpFileTheProgramShowsIt) {
    dialogs_.shellOpenSucceeds = false;
    mainWindow_.HelpClick();  // missing: nothing to show, and nothing said
    EXPECT_EQ(mainWindow_.findChild<HelpViewer*>(), nullptr);
    EXPECT_EQ(dialogs_.beeps, 0);

    const std::string text = "Vexlor\r\n\r\n  Ctrl+1  resource list\r\n";
    test::WriteFileBytes(Program() / "Help.txt", test::Bytes(text.begin(), text.end()));
    mainWindow_.HelpClick();
    mainWindow_.HelpClick();  // the same window serves again
    ASSERT_EQ(mainWindow_.findChildren<HelpViewer*>().size(), 1);
    HelpViewer* viewer = mainWindow_.findChild<HelpViewer*>();
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_TRUE(viewer->TextArea()->isReadOnly());
    EXPECT_EQ(viewer->TextArea()->toPlainText(), "Vexlor\n\n  Ctrl+1  resource list\n");
    viewer->FindField()->setText("resource");
    viewer->FindNext();
    EXPECT_EQ(viewer->TextArea()->textCursor().selectedText(), "resource");
    viewer->FindField()->setText("absent");
    viewer->FindNext();
    EXPECT_EQ(dialogs_.beeps, 1);
}

TEST_F(MainWindowTest, AboutShowsTheAboutBoxModally) {
    AboutBox about(&mainWindow_);
    mainWindow_.SetAboutBox(&about);
    MenuItem("AboutItem")->trigger();
    EXPECT_EQ(dialogs_.events, QStringList{"modal: About Vexlor 0.72b"});
}

TEST_F(MainWindowTest, EditorWindowsAreListedByCaptionAndDestroyedWhenClosed) {
    AddEditor("HULL (HULL.DAT)");
    QWidget* second = AddEditor("MAP (MAP.DAT)");
    EXPECT_EQ(mainWindow_.EditorCaptions(), (QStringList{"HULL (HULL.DAT)", "MAP (MAP.DAT)"}));
    QPointer<QWidget> watched(second);
    mainWindow_.EditorArea()->subWindowList().at(1)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull());
    EXPECT_EQ(mainWindow_.EditorCaptions(), QStringList{"HULL (HULL.DAT)"});
}

// The main window with the resource list as its unsaved work, as the program starts them.
class MainWindowClosingTest : public MainWindowTest {
  protected:
    MainWindowClosingTest() {
        WriteResourceList("Resdata\\HULL.DAT\r\n");
        resourceList_ = std::make_unique<ResourceListWindow>(dialogs_, nullptr);
        mainWindow_.SetResourceListWindow(resourceList_.get());
        mainWindow_.AddUnsavedWork(*resourceList_);
        mainWindow_.show();
    }
    ~MainWindowClosingTest() override { fs::permissions(ResourceListFile(), fs::perms::owner_all); }

    fs::path ResourceListFile() const { return Game() / "resdata.txt"; }
    void WriteResourceList(const std::string& text) const {
        test::WriteFileBytes(ResourceListFile(), test::Bytes(text.begin(), text.end()));
    }
    std::string ResourceListOnDisk() const {
        const test::Bytes bytes = test::ReadFileBytes(ResourceListFile());
        return std::string(bytes.begin(), bytes.end());
    }
    // What New project does for a library that the list does not name yet.
    void AddLibraryLine() { resourceList_->List().InsertFirstLine("Resdata\\MIS9.DAT"); }

    static constexpr const char* kQuestion =
        "question: resdata.txt: resdata.txt has changes that are not saved.";
    std::unique_ptr<ResourceListWindow> resourceList_;
};

TEST_F(MainWindowClosingTest, ClosingAsksOnlyAboutChangesAndDoesAsAnswered) {
    MenuItem("ExitItem")->trigger();
    EXPECT_FALSE(mainWindow_.isVisible());
    EXPECT_TRUE(dialogs_.events.isEmpty());

    mainWindow_.show();
    AddLibraryLine();
    dialogs_.unsavedChangesAnswers = {UnsavedChangesAnswer::Discard, UnsavedChangesAnswer::Save};
    EXPECT_TRUE(mainWindow_.close());
    EXPECT_EQ(ResourceListOnDisk(), "Resdata\\HULL.DAT\r\n");
    mainWindow_.show();
    EXPECT_TRUE(mainWindow_.close());
    EXPECT_EQ(ResourceListOnDisk(), "Resdata\\MIS9.DAT\r\nResdata\\HULL.DAT\r\n");
    EXPECT_EQ(dialogs_.events, (QStringList{kQuestion, kQuestion}));
}

TEST_F(MainWindowClosingTest, CancelOrAFailedSaveKeepsTheProgramAndTheChanges) {
    AddLibraryLine();
    dialogs_.unsavedChangesAnswers = {UnsavedChangesAnswer::Cancel};
    EXPECT_FALSE(mainWindow_.close());

    fs::permissions(ResourceListFile(), fs::perms::owner_read);
    dialogs_.unsavedChangesAnswers = {UnsavedChangesAnswer::Save};
    EXPECT_FALSE(mainWindow_.close());
    EXPECT_EQ(dialogs_.events, (QStringList{kQuestion, kQuestion, "beep"}));
    EXPECT_TRUE(resourceList_->SaveButton()->isEnabled());
    EXPECT_EQ(ResourceListOnDisk(), "Resdata\\HULL.DAT\r\n");
    EXPECT_EQ(resourceList_->List().Line(0), "Resdata\\MIS9.DAT");
}

// Stands for a window of another kind that holds unsaved work.
struct ScriptedWork final : UnsavedWork {
    explicit ScriptedWork(bool answer) : settles(answer) {}
    bool SettleUnsavedWork() override {
        ++asked;
        return settles;
    }
    bool settles;
    int asked = 0;
};

TEST_F(MainWindowClosingTest, EachWindowIsAskedInTurnUntilOneKeepsItsChanges) {
    ScriptedWork keeps(false);
    ScriptedWork never(true);
    mainWindow_.AddUnsavedWork(keeps);
    mainWindow_.AddUnsavedWork(never);
    AddLibraryLine();
    dialogs_.unsavedChangesAnswers = {UnsavedChangesAnswer::Save};
    EXPECT_FALSE(mainWindow_.close());
    EXPECT_EQ(ResourceListOnDisk(), "Resdata\\MIS9.DAT\r\nResdata\\HULL.DAT\r\n");
    EXPECT_EQ(keeps.asked, 1);
    EXPECT_EQ(never.asked, 0);
}

class MainWindowArrangementTest : public MainWindowTest {
  protected:
    MainWindowArrangementTest() {
        mainWindow_.resize(900, 700);
        mainWindow_.show();
        AddEditor("A");
        AddEditor("B");
        AddEditor("C");
    }
    QList<QRect> Frames() const {
        QList<QRect> frames;
        for (QMdiSubWindow* window : mainWindow_.EditorArea()->subWindowList()) {
            frames << window->geometry();
        }
        return frames;
    }
    QRect Space() const { return mainWindow_.EditorArea()->viewport()->rect(); }
};

TEST_F(MainWindowArrangementTest, TileVerticalPutsTheWindowsSideBySide) {
    mainWindow_.ToolBarButton(4)->click();
    const QList<QRect> frames = Frames();
    const int width = Space().width() / 3;
    ASSERT_EQ(frames.size(), 3);
    EXPECT_EQ(frames[0], QRect(0, 0, width, Space().height()));
    EXPECT_EQ(frames[1], QRect(width, 0, width, Space().height()));
    EXPECT_EQ(frames[2].left(), 2 * width);
    EXPECT_EQ(frames[2].right(), Space().right());
}

TEST_F(MainWindowArrangementTest, TileHorizontalPutsTheWindowsOneAboveAnother) {
    mainWindow_.EditorArea()->subWindowList().at(0)->showMaximized();
    MenuItem("TileHorizontallyItem")->trigger();
    const QList<QRect> frames = Frames();
    const int height = Space().height() / 3;
    ASSERT_EQ(frames.size(), 3);
    EXPECT_EQ(frames[0], QRect(0, 0, Space().width(), height));
    EXPECT_EQ(frames[1], QRect(0, height, Space().width(), height));
    EXPECT_EQ(frames[2].bottom(), Space().bottom());
}

TEST_F(MainWindowArrangementTest, MinimisedWindowsStayOutOfTheTiling) {
    mainWindow_.EditorArea()->subWindowList().at(1)->showMinimized();
    mainWindow_.TileSideBySideClick();
    const QList<QRect> frames = Frames();
    EXPECT_EQ(frames[0].width(), Space().width() / 2);
    EXPECT_EQ(frames[2].left(), Space().width() / 2);
}

TEST_F(MainWindowArrangementTest, TilingNeverMakesAWindowSmallerThanItsMinimumAndScrollsInstead) {
    for (const char* caption : {"D", "E", "F", "G"}) {
        AddEditor(caption);
    }
    for (QMdiSubWindow* window : mainWindow_.EditorArea()->subWindowList()) {
        window->widget()->setMinimumSize(250, 250);
    }
    const QSize smallest = mainWindow_.EditorArea()->subWindowList().at(0)->minimumSizeHint();
    ASSERT_GT(7 * smallest.width(), Space().width());
    ASSERT_GT(7 * smallest.height(), Space().height());
    // Strips of the smallest length, one after another, as long crosswise as the view.
    auto expectStrips = [this](QSize strip, QPoint step) {
        const QList<QRect> frames = Frames();
        for (qsizetype i = 0; i < frames.size(); ++i) {
            EXPECT_EQ(frames[i], QRect(step * static_cast<int>(i), strip)) << i;
        }
    };
    mainWindow_.TileSideBySideClick();
    QCoreApplication::processEvents();  // the scroll bar comes and the view shrinks
    expectStrips({smallest.width(), Space().height()}, {smallest.width(), 0});
    EXPECT_TRUE(mainWindow_.EditorArea()->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(mainWindow_.EditorArea()->verticalScrollBar()->isVisible());
    mainWindow_.TileOneAboveAnotherClick();
    QCoreApplication::processEvents();
    expectStrips({Space().width(), smallest.height()}, {0, smallest.height()});
    EXPECT_TRUE(mainWindow_.EditorArea()->verticalScrollBar()->isVisible());
    EXPECT_FALSE(mainWindow_.EditorArea()->horizontalScrollBar()->isVisible());
}

TEST_F(MainWindowArrangementTest, AWindowThatNeedsMoreThanItsShareGetsItAndTheOthersShareTheRest) {
    QMdiSubWindow* wide = mainWindow_.EditorArea()->subWindowList().at(1);
    wide->widget()->setMinimumWidth(Space().width() / 2);
    mainWindow_.TileSideBySideClick();
    QCoreApplication::processEvents();
    const QList<QRect> frames = Frames();
    EXPECT_EQ(frames[1].width(), wide->minimumSizeHint().width());
    EXPECT_EQ(frames[0].width(), (Space().width() - frames[1].width()) / 2);
    EXPECT_EQ(frames[2].right(), Space().right());
    EXPECT_FALSE(mainWindow_.EditorArea()->horizontalScrollBar()->isVisible());
}

// Four windows that one row cannot hold: two rows of two, each window whole in view.
TEST_F(MainWindowArrangementTest, WhereOneLineCannotHoldThemTheWindowsWrapIntoLines) {
    AddEditor("D");
    for (QMdiSubWindow* window : mainWindow_.EditorArea()->subWindowList()) {
        window->widget()->setMinimumSize(Space().width() * 2 / 5, Space().height() / 3);
    }
    mainWindow_.TileSideBySideClick();
    QCoreApplication::processEvents();
    const QList<QRect> frames = Frames();
    ASSERT_EQ(frames.size(), 4);
    EXPECT_EQ(frames[0].top(), 0);
    EXPECT_EQ(frames[1].top(), 0);
    EXPECT_EQ(frames[2].top(), frames[0].bottom() + 1);
    EXPECT_EQ(frames[3].top(), frames[0].bottom() + 1);
    for (const QRect& frame : frames) {
        EXPECT_TRUE(Space().contains(frame)) << frame.x() << "," << frame.y();
    }
    EXPECT_FALSE(mainWindow_.EditorArea()->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(mainWindow_.EditorArea()->verticalScrollBar()->isVisible());
}

// Windows wider than their buttons need, a little too many for the row and too tall for two
// rows: each covers only the empty right part of the one before.
TEST_F(MainWindowArrangementTest, WhereSpaceIsShortWindowsOverlapOnlyBeyondTheirButtons) {
    QList<QPushButton*> buttons;
    for (QMdiSubWindow* window : mainWindow_.EditorArea()->subWindowList()) {
        auto* row = new QHBoxLayout(window->widget());
        buttons << new QPushButton(QStringLiteral("Refresh"), window->widget());
        buttons.last()->setFixedWidth(80);
        row->addWidget(buttons.last());
        row->addStretch(1);
        window->widget()->setMinimumSize(Space().width() * 2 / 5, Space().height() * 2 / 3);
    }
    mainWindow_.TileSideBySideClick();
    QCoreApplication::processEvents();
    const QList<QRect> frames = Frames();
    EXPECT_FALSE(mainWindow_.EditorArea()->horizontalScrollBar()->isVisible());
    EXPECT_EQ(frames[2].right(), Space().right());
    for (qsizetype i = 0; i + 1 < frames.size(); ++i) {
        const QWidget* button = buttons.at(i);
        const int buttonRight =
            button->mapTo(mainWindow_.EditorArea()->viewport(), QPoint(button->width(), 0)).x();
        EXPECT_LT(frames[i + 1].left(), frames[i].right()) << "overlapping";
        EXPECT_GE(frames[i + 1].left(), buttonRight) << i;
    }
}

TEST_F(MainWindowArrangementTest, WindowsOpenedTogetherStandInARowWhereTheyFitElseTiled) {
    QList<QMdiSubWindow*> windows =
        mainWindow_.EditorArea()->subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow* window : windows) {
        window->resize(200, 150);
        window->move(40, 40);
    }
    ArrangeOpenedTogether(*mainWindow_.EditorArea(), windows);
    QList<QRect> frames = Frames();
    EXPECT_EQ(frames[0], QRect(0, 0, 200, 150));
    EXPECT_EQ(frames[1], QRect(200, 0, 200, 150));
    EXPECT_EQ(frames[2], QRect(400, 0, 200, 150));

    for (QMdiSubWindow* window : windows) {
        window->resize(Space().width() / 2, 150);
    }
    ArrangeOpenedTogether(*mainWindow_.EditorArea(), windows);
    frames = Frames();
    EXPECT_EQ(frames[0], QRect(0, 0, Space().width() / 3, Space().height()));
    EXPECT_EQ(frames[2].right(), Space().right());
}

TEST_F(MainWindowArrangementTest, WindowMenuListsTheEditorsAndBringsOneToTheFront) {
    QMenu* windowMenu = mainWindow_.menuBar()->actions().at(3)->menu();
    mainWindow_.EditorArea()->setActiveSubWindow(mainWindow_.EditorArea()->subWindowList().at(2));
    emit windowMenu->aboutToShow();
    QStringList texts;
    QAction* first = nullptr;
    for (QAction* item : windowMenu->actions()) {
        if (item->isCheckable()) {
            texts << item->text() + (item->isChecked() ? "*" : "");
            first = first != nullptr ? first : item;
        }
    }
    EXPECT_EQ(texts, (QStringList{"&1 A", "&2 B", "&3 C*"}));
    ASSERT_NE(first, nullptr);
    first->trigger();
    EXPECT_EQ(mainWindow_.EditorArea()->activeSubWindow()->widget()->windowTitle(), "A");
    // The arrangement items stay at the top, listed once.
    emit windowMenu->aboutToShow();
    EXPECT_EQ(windowMenu->actions().at(0)->text(), "&Cascade");
    EXPECT_EQ(windowMenu->actions().size(), 3 + 1 + 3);
}

TEST_F(MainWindowTest, BringingToFrontRestoresAMinimisedWindowToItsFormerState) {
    ASSERT_TRUE(mainWindow_.SetUp());
    mainWindow_.show();
    mainWindow_.setWindowState(mainWindow_.windowState() | Qt::WindowMinimized);
    mainWindow_.BringToFront();
    EXPECT_FALSE(mainWindow_.isMinimized());
    EXPECT_TRUE(mainWindow_.isMaximized());
    EXPECT_TRUE(mainWindow_.isVisible());
}

}  // namespace
}  // namespace vexlor
