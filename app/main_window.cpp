#include "app/main_window.h"

#include <filesystem>
#include <system_error>

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QSessionManager>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "app/about_box.h"
#include "app/app_title.h"
#include "app/drawn_icons.h"
#include "app/main_window_projects.h"
#include "app/project_commands.h"
#include "app/tool_window_placement.h"
#include "app/window_arrangement.h"
#include "browser/windows/library_browser_window.h"
#include "editors/windows/library_editor_window.h"
#include "platform/folders.h"
#include "platform/path_resolver.h"
#include "platform/unsaved_work.h"
#include "platform/user_dialogs.h"
#include "widgets/help_viewer.h"

namespace vexlor {
namespace {

constexpr int kToolBarHeight = 33;
constexpr int kTextButtonWidth = 60;
const QKeySequence kNewShortcut(Qt::CTRL | Qt::Key_N);
const QKeySequence kOpenShortcut(Qt::CTRL | Qt::Key_O);
const QKeySequence kBrowseShortcut(Qt::CTRL | Qt::Key_B);
const QKeySequence kResdataShortcut(Qt::CTRL | Qt::Key_1);
const QKeySequence kPreviewShortcut(Qt::CTRL | Qt::Key_2);

QString WithShortcut(const char* text, const QKeySequence& shortcut) {
    return QStringLiteral("%1 (%2)").arg(QString::fromLatin1(text),
                                         shortcut.toString(QKeySequence::NativeText));
}

// The tooltips of the toolbar buttons, by number.
// The toolbar's buttons, 1 to 7 from the left.
QString ToolBarButtonName(int number) {
    static const char* const kNames[] = {
        "NewProjectButton",          "OpenProjectButton", "CascadeButton", "TileSideBySideButton",
        "TileOneAboveAnotherButton", "ResdataButton",     "PreviewButton"};
    return QString::fromLatin1(kNames[number - 1]);
}

QString ToolBarButtonTip(int number) {
    switch (number) {
        case 1:
            return WithShortcut("New project: create an empty library", kNewShortcut);
        case 2:
            return WithShortcut("Open project: open a library", kOpenShortcut);
        case 3:
            return QStringLiteral("Cascade the library windows");
        case 4:
            return QStringLiteral("Tile the library windows side by side");
        case 5:
            return QStringLiteral("Tile the library windows one above another");
        case 6:
            return WithShortcut("Show or hide the resource list, resdata.txt", kResdataShortcut);
        case 7:
            return WithShortcut("Show or hide the Preview", kPreviewShortcut);
        default:
            return {};
    }
}

// The library files among dropped ones. Other files are left alone: over an editor window they
// may be pictures for it, and elsewhere they are nothing this window opens.
QStringList DroppedLibraryPaths(const QMimeData* data) {
    QStringList paths;
    if (data == nullptr || !data->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : data->urls()) {
        const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
        if (QFileInfo(path).suffix().compare(QStringLiteral("dat"), Qt::CaseInsensitive) == 0) {
            paths.append(path);
        }
    }
    return paths;
}

}  // namespace

MainWindow::MainWindow(UserDialogs& dialogs)
    : dialogs_(dialogs),
      projectWindows_(std::make_unique<MainWindowProjects>(*this, dialogs)),
      projectCommands_(std::make_unique<ProjectCommands>(dialogs, *projectWindows_)) {
    setObjectName(QStringLiteral("MainWindow"));
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    // Drops over the editor area and the editor windows come here unless a window below takes
    // them first.
    setAcceptDrops(true);
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &MainWindow::UpdateEditMenu);
    // The browser's record and picture views take the whole area; the tool windows would
    // cover them.
    toolWindowsGiveWay_ = new ToolWindowsGiveWay(this);
    toolWindowsGiveWay_->SetWanted([this] {
        const QMdiSubWindow* active = mdiArea_->activeSubWindow();
        return active != nullptr &&
               qobject_cast<const LibraryBrowserWindow*>(active->widget()) != nullptr;
    });
    connect(mdiArea_, &QMdiArea::subWindowActivated, toolWindowsGiveWay_,
            &ToolWindowsGiveWay::Update);
    CreateToolBar();
    CreateMenus();
    statusBar();
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        application->installEventFilter(this);
#ifndef QT_NO_SESSIONMANAGER
        connect(application, &QGuiApplication::commitDataRequest, this, &MainWindow::CommitData);
#endif
    }
}

MainWindow::~MainWindow() = default;

bool MainWindow::SetUp() {
    setWindowTitle(QStringLiteral(" ") + QString::fromLatin1(kApplicationTitle) +
                   QStringLiteral(" "));
    if (AppFolders().game.empty()) {
        dialogs_.Beep();
        dialogs_.ShowMessage(QStringLiteral("XWingAlliance not found"), QStringLiteral("Error"));
        return false;
    }
    setWindowState(windowState() | Qt::WindowMaximized);
    CreateWorkingFolders();
    return true;
}

// Exports go to "Output" and picture dialogs start in "input"; an existing folder of either
// name in any letter case is the one meant, and any failure here is of no concern.
void MainWindow::CreateWorkingFolders() {
    for (const char* name : {"OutPut", "Input"}) {
        std::error_code ignored;
        std::filesystem::create_directory(ResolvePath(AppFolders().working, name), ignored);
    }
}

void MainWindow::CreateToolBar() {
    QToolBar* toolBar = addToolBar(QStringLiteral("Commands"));
    toolBar->setObjectName(QStringLiteral("ToolBar"));
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setFixedHeight(kToolBarHeight);
    toolBar->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    const QIcon none;
    toolBar->addWidget(
        AddToolBarButton(1, QStringLiteral("New"), none, &MainWindow::NewProjectClick));
    toolBar->addWidget(
        AddToolBarButton(2, QStringLiteral("Open"), none, &MainWindow::OpenProjectClick));
    toolBar->addSeparator();
    toolBar->addWidget(AddToolBarButton(3, {}, CascadeIcon(), &MainWindow::CascadeClick));
    toolBar->addWidget(
        AddToolBarButton(4, {}, TileSideBySideIcon(), &MainWindow::TileSideBySideClick));
    toolBar->addWidget(
        AddToolBarButton(5, {}, TileOneAboveAnotherIcon(), &MainWindow::TileOneAboveAnotherClick));
    toolBar->addSeparator();
    toolBar->addWidget(
        AddToolBarButton(6, QStringLiteral("Resdata"), none, &MainWindow::ToggleResourceListClick));
    toolBar->addWidget(
        AddToolBarButton(7, QStringLiteral("Preview"), none, &MainWindow::TogglePreviewClick));
}

QToolButton* MainWindow::AddToolBarButton(int number, const QString& caption, const QIcon& icon,
                                          void (MainWindow::*handler)()) {
    auto* button = new QToolButton(this);
    button->setObjectName(ToolBarButtonName(number));
    if (icon.isNull()) {
        button->setText(caption);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setMinimumWidth(kTextButtonWidth);
    } else {
        button->setIcon(icon);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    button->setToolTip(ToolBarButtonTip(number));
    connect(button, &QToolButton::clicked, this, handler);
    toolBarButtons_.append(button);
    return button;
}

QToolButton* MainWindow::ToolBarButton(int number) const {
    return (number >= 1 && number <= toolBarButtons_.size()) ? toolBarButtons_.at(number - 1)
                                                             : nullptr;
}

void MainWindow::CreateMenus() {
    QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    AddMenuItem(fileMenu, QStringLiteral("NewProjectItem"), QStringLiteral("&New project..."),
                &MainWindow::NewProjectClick)
        ->setShortcut(kNewShortcut);
    AddMenuItem(fileMenu, QStringLiteral("OpenProjectItem"), QStringLiteral("&Open project..."),
                &MainWindow::OpenProjectClick)
        ->setShortcut(kOpenShortcut);
    AddMenuItem(fileMenu, QStringLiteral("BrowseLibraryItem"), QStringLiteral("&Browse library..."),
                &MainWindow::BrowseLibraryClick)
        ->setShortcut(kBrowseShortcut);
    fileMenu->addSeparator();
    AddMenuItem(fileMenu, QStringLiteral("ExitItem"), QStringLiteral("Exit"),
                &MainWindow::ExitClick)
        ->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));

    CreateEditMenu();

    QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    resdataItem_ = AddViewItem(viewMenu, QStringLiteral("ResdataItem"), QStringLiteral("&Resdata"),
                               kResdataShortcut, &MainWindow::ToggleResourceListClick);
    previewItem_ = AddViewItem(viewMenu, QStringLiteral("PreviewItem"), QStringLiteral("&Preview"),
                               kPreviewShortcut, &MainWindow::TogglePreviewClick);

    windowMenu_ = menuBar()->addMenu(QStringLiteral("&Window"));
    arrangeActions_ = {
        AddMenuItem(windowMenu_, QStringLiteral("CascadeItem"), QStringLiteral("&Cascade"),
                    &MainWindow::CascadeClick),
        AddMenuItem(windowMenu_, QStringLiteral("TileVerticallyItem"), QStringLiteral("Tile &vert"),
                    &MainWindow::TileSideBySideClick),
        AddMenuItem(windowMenu_, QStringLiteral("TileHorizontallyItem"),
                    QStringLiteral("Tile &horz"), &MainWindow::TileOneAboveAnotherClick)};
    connect(windowMenu_, &QMenu::aboutToShow, this, &MainWindow::UpdateWindowMenu);

    QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("&?"));
    AddMenuItem(helpMenu, QStringLiteral("HelpItem"), QStringLiteral("&Help"),
                &MainWindow::HelpClick)
        ->setShortcut(QKeySequence(Qt::Key_F1));
    helpMenu->addSeparator();
    AddMenuItem(helpMenu, QStringLiteral("AboutItem"), QStringLiteral("&About..."),
                &MainWindow::AboutClick);
}

void MainWindow::CreateEditMenu() {
    QMenu* editMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
    undoItem_ =
        AddMenuItem(editMenu, QStringLiteral("UndoItem"), UndoItemText({}), &MainWindow::UndoClick);
    undoItem_->setShortcut(UndoShortcut());
    redoItem_ =
        AddMenuItem(editMenu, QStringLiteral("RedoItem"), RedoItemText({}), &MainWindow::RedoClick);
    redoItem_->setShortcuts(RedoShortcuts());
    connect(editMenu, &QMenu::aboutToShow, this, &MainWindow::UpdateEditMenu);
    UpdateEditMenu();
}

// The current sub-window stays current while a menu or a tool window has the focus.
LibraryEditorWindow* MainWindow::ActiveEditor() const {
    const QMdiSubWindow* window = mdiArea_->currentSubWindow();
    return window != nullptr ? qobject_cast<LibraryEditorWindow*>(window->widget()) : nullptr;
}

LibraryBrowserWindow* MainWindow::ActiveBrowser() const {
    const QMdiSubWindow* window = mdiArea_->currentSubWindow();
    return window != nullptr ? qobject_cast<LibraryBrowserWindow*>(window->widget()) : nullptr;
}

// A disabled item ignores its shortcut too, so the texts and states are kept current, not
// only while the menu shows.
void MainWindow::UpdateEditMenu() {
    const LibraryEditorWindow* editor = ActiveEditor();
    const LibraryBrowserWindow* browser = ActiveBrowser();
    const std::string undo = editor != nullptr    ? editor->NextUndo()
                             : browser != nullptr ? browser->NextUndo()
                                                  : std::string();
    const std::string redo = editor != nullptr    ? editor->NextRedo()
                             : browser != nullptr ? browser->NextRedo()
                                                  : std::string();
    undoItem_->setText(UndoItemText(undo));
    undoItem_->setEnabled(!undo.empty());
    redoItem_->setText(RedoItemText(redo));
    redoItem_->setEnabled(!redo.empty());
}

QAction* MainWindow::AddMenuItem(QMenu* menu, const QString& name, const QString& caption,
                                 void (MainWindow::*handler)()) {
    // Owned by the window: the Window menu is cleared and refilled, and must not take these.
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    menu->addAction(action);
    connect(action, &QAction::triggered, this, handler);
    return action;
}

// Checked while its tool window is shown. The shortcut works from the tool windows too, so that
// the one in front can be put away with the key that brought it.
QAction* MainWindow::AddViewItem(QMenu* menu, const QString& name, const QString& caption,
                                 const QKeySequence& shortcut, void (MainWindow::*handler)()) {
    QAction* item = AddMenuItem(menu, name, caption, handler);
    item->setCheckable(true);
    item->setShortcut(shortcut);
    item->setShortcutContext(Qt::ApplicationShortcut);
    return item;
}

void MainWindow::SetResourceListWindow(QWidget* window) {
    resourceListWindow_ = window;
    if (window != nullptr) {
        toolWindowsGiveWay_->AddToolWindow(*window);
    }
    WatchToolWindow(window, resdataItem_);
}

void MainWindow::SetPreviewWindow(QWidget* window) {
    previewWindow_ = window;
    if (window != nullptr) {
        toolWindowsGiveWay_->AddToolWindow(*window);
    }
    WatchToolWindow(window, previewItem_);
}

// The View item follows the window however it is shown or hidden: its button, its item, its
// close box.
void MainWindow::WatchToolWindow(QWidget* window, QAction* item) {
    ShowVisibility(item, window);
    if (window != nullptr) {
        window->installEventFilter(this);
    }
}

void MainWindow::ShowVisibility(QAction* item, const QWidget* window) {
    item->setChecked(window != nullptr && window->isVisible());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Quit && watched == QCoreApplication::instance()) {
        return !MayQuit(*event);
    }
    // The session went on after all, and the user is at work again.
    if (sessionSettled_ && (type == QEvent::KeyPress || type == QEvent::MouseButtonPress)) {
        sessionSettled_ = false;
    }
    // A spontaneous hide is the desktop minimising the window, which the user did not ask for.
    if ((type == QEvent::Show || type == QEvent::Hide) && !event->spontaneous()) {
        QAction* item = watched == resourceListWindow_ ? resdataItem_
                        : watched == previewWindow_    ? previewItem_
                                                       : nullptr;
        if (item != nullptr) {
            item->setChecked(type == QEvent::Show);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// The arrangement items, then one checkable item per open editor window.
void MainWindow::UpdateWindowMenu() {
    windowMenu_->clear();
    windowMenu_->addActions(arrangeActions_);
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList(QMdiArea::CreationOrder);
    if (!windows.isEmpty()) {
        windowMenu_->addSeparator();
    }
    int number = 1;
    for (QMdiSubWindow* window : windows) {
        QAction* item = windowMenu_->addAction(
            QStringLiteral("&%1 %2").arg(number++).arg(window->windowTitle()));
        item->setCheckable(true);
        item->setChecked(window == mdiArea_->activeSubWindow());
        connect(item, &QAction::triggered, window,
                [this, window] { mdiArea_->setActiveSubWindow(window); });
    }
}

QMdiSubWindow* MainWindow::AddEditorWindow(QWidget* editor) {
    editor->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow* window = mdiArea_->addSubWindow(editor);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (auto* libraryEditor = qobject_cast<LibraryEditorWindow*>(editor)) {
        connect(libraryEditor, &LibraryEditorWindow::LibraryChanged, this,
                &MainWindow::UpdateEditMenu);
        connect(libraryEditor, &LibraryEditorWindow::LibraryChanged, this, [this, libraryEditor] {
            ShowChangeElsewhere(libraryEditor, libraryEditor->LibraryPath());
        });
    }
    if (auto* browser = qobject_cast<LibraryBrowserWindow*>(editor)) {
        connect(browser, &LibraryBrowserWindow::LibraryChanged, this, &MainWindow::UpdateEditMenu);
        connect(browser, &LibraryBrowserWindow::LibraryChanged, this,
                [this, browser] { ShowChangeElsewhere(browser, browser->LibraryPath()); });
    }
    return window;
}

// An editor that lists its library anew announces it too; that is not a change to pass on.
void MainWindow::ShowChangeElsewhere(const QWidget* changed, const QString& libraryPath) {
    const QString file = QFileInfo(libraryPath).canonicalFilePath();
    if (file.isEmpty() || showingChange_) {
        return;
    }
    const QScopedValueRollback<bool> showing(showingChange_, true);
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
        QWidget* other = window->widget();
        if (other == changed) {
            continue;
        }
        if (auto* browser = qobject_cast<LibraryBrowserWindow*>(other);
            browser != nullptr && QFileInfo(browser->LibraryPath()).canonicalFilePath() == file) {
            BusyCursor busy(dialogs_);
            browser->Reload();
        }
    }
    if (qobject_cast<const LibraryBrowserWindow*>(changed) == nullptr) {
        return;
    }
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
        if (auto* editor = qobject_cast<LibraryEditorWindow*>(window->widget());
            editor != nullptr && QFileInfo(editor->LibraryPath()).canonicalFilePath() == file) {
            editor->RefreshClick();
        }
    }
}

QStringList MainWindow::EditorCaptions() const {
    QStringList captions;
    for (const QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        if (qobject_cast<const LibraryBrowserWindow*>(window->widget()) != nullptr) {
            continue;
        }
        captions.append(window->widget() != nullptr ? window->widget()->windowTitle()
                                                    : window->windowTitle());
    }
    return captions;
}

// Paths are compared as the file system resolves them: another spelling of the same file
// finds its browser.
LibraryBrowserWindow* MainWindow::BrowserOf(const QString& path) const {
    const QString wanted = QFileInfo(path).canonicalFilePath();
    for (const QMdiSubWindow* window : mdiArea_->subWindowList()) {
        auto* browser = qobject_cast<LibraryBrowserWindow*>(window->widget());
        if (browser != nullptr && !wanted.isEmpty() &&
            QFileInfo(browser->LibraryPath()).canonicalFilePath() == wanted) {
            return browser;
        }
    }
    return nullptr;
}

void MainWindow::OpenBrowser(const QString& path) {
    if (LibraryBrowserWindow* open = BrowserOf(path)) {
        auto* frame = qobject_cast<QMdiSubWindow*>(open->parentWidget());
        mdiArea_->setActiveSubWindow(frame);
        return;
    }
    auto* browser = new LibraryBrowserWindow(QFileInfo(path).absoluteFilePath(), dialogs_);
    QMdiSubWindow* frame = AddEditorWindow(browser);
    browser->setWindowTitle(QStringLiteral("Library (") + QFileInfo(path).fileName() +
                            QStringLiteral(")"));
    {
        BusyCursor busy(dialogs_);
        browser->Reload();
    }
    frame->show();
    mdiArea_->setActiveSubWindow(frame);
    UpdateEditMenu();
}

void MainWindow::AddUnsavedWork(UnsavedWork& work) {
    unsavedWork_.push_back(&work);
}

bool MainWindow::SettleAllUnsavedWork() {
    for (UnsavedWork* work : unsavedWork_) {
        if (!work->SettleUnsavedWork()) {
            return false;
        }
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (sessionSettled_ || SettleAllUnsavedWork()) {
        event->accept();
    } else {
        event->ignore();
    }
}

// The desktop session is ending. Questions need the session manager's leave; without it the
// changes cannot be settled, and the session is asked not to end.
void MainWindow::CommitData(QSessionManager& manager) {
#ifndef QT_NO_SESSIONMANAGER
    if (!manager.allowsInteraction()) {
        manager.cancel();
        return;
    }
    const bool settled = SettleAllUnsavedWork();
    manager.release();
    if (!settled) {
        manager.cancel();
        return;
    }
    sessionSettled_ = true;
#else
    static_cast<void>(manager);
#endif
}

// The desktop can end the program without closing this window first, as when the session ends.
// The program then ends only as this window would close; the tool windows, which only hide when
// closed, would hold it up and are put away first.
bool MainWindow::MayQuit(QEvent& quit) {
    if (isVisible() && !close()) {
        quit.ignore();
        return false;
    }
    toolWindowsGiveWay_->Stop();
    for (QWidget* window : {resourceListWindow_, previewWindow_}) {
        if (window != nullptr) {
            window->hide();
        }
    }
    return true;
}

void MainWindow::ToggleToolWindow(QWidget* window) {
    if (window == nullptr) {
        return;
    }
    window->setVisible(!window->isVisible());
}

void MainWindow::BringToFront() {
    setWindowState((restoredState_ & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void MainWindow::OpenDroppedLibraries(const QStringList& paths) {
    for (const QString& path : paths) {
        projectCommands_->OpenLibraryFile(path, ProjectCommands::AmbiguousKind::AskUser);
    }
}

void MainWindow::OpenCommandLineLibraries(const QStringList& paths) {
    const QList<QMdiSubWindow*> before = mdiArea_->subWindowList(QMdiArea::CreationOrder);
    for (const QString& path : paths) {
        projectCommands_->OpenLibraryFile(path, ProjectCommands::AmbiguousKind::TakeFirst);
    }
    QList<QMdiSubWindow*> opened;
    for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        if (!before.contains(window)) {
            opened.append(window);
        }
    }
    ArrangeOpenedTogether(*mdiArea_, opened);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (DroppedLibraryPaths(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (DroppedLibraryPaths(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

// The files open once the drop has ended: the program they came from waits for the drop to
// end, and opening them may ask the user.
void MainWindow::dropEvent(QDropEvent* event) {
    const QStringList paths = DroppedLibraryPaths(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    QMetaObject::invokeMethod(
        this, [this, paths] { OpenDroppedLibraries(paths); }, Qt::QueuedConnection);
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && !isMinimized()) {
        restoredState_ = windowState();
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::NewProjectClick() {
    projectCommands_->NewProject();
}

void MainWindow::OpenProjectClick() {
    projectCommands_->OpenProject();
}

void MainWindow::BrowseLibraryClick() {
    projectCommands_->BrowseLibrary();
}

void MainWindow::CascadeClick() {
    mdiArea_->cascadeSubWindows();
}

void MainWindow::TileSideBySideClick() {
    TileSideBySide(*mdiArea_);
}

void MainWindow::TileOneAboveAnotherClick() {
    TileOneAboveAnother(*mdiArea_);
}

void MainWindow::ToggleResourceListClick() {
    ToggleToolWindow(resourceListWindow_);
    ShowVisibility(resdataItem_, resourceListWindow_);
}

void MainWindow::TogglePreviewClick() {
    ToggleToolWindow(previewWindow_);
    ShowVisibility(previewItem_, previewWindow_);
}

void MainWindow::UndoClick() {
    if (LibraryEditorWindow* editor = ActiveEditor()) {
        editor->UndoClick();
    } else if (LibraryBrowserWindow* browser = ActiveBrowser()) {
        browser->UndoClick();
    }
}

void MainWindow::RedoClick() {
    if (LibraryEditorWindow* editor = ActiveEditor()) {
        editor->RedoClick();
    } else if (LibraryBrowserWindow* browser = ActiveBrowser()) {
        browser->RedoClick();
    }
}

void MainWindow::ExitClick() {
    close();
}

// Where the desktop has no program for text files, the program shows the file itself; a missing
// file is left unmentioned.
void MainWindow::HelpClick() {
    const std::string path = ResolvePath(AppFolders().program, "Help.txt");
    const QString shownPath = QFile::decodeName(QByteArray::fromStdString(path));
    if (dialogs_.OpenWithShell(shownPath)) {
        return;
    }
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored)) {
        ShowHelpViewer(shownPath);
    }
}

void MainWindow::ShowHelpViewer(const QString& path) {
    if (helpViewer_ == nullptr) {
        helpViewer_ = new HelpViewer(dialogs_, this);
    }
    if (!helpViewer_->ShowFile(path)) {
        dialogs_.Beep();
        return;
    }
    helpViewer_->show();
    helpViewer_->raise();
    helpViewer_->activateWindow();
}

void MainWindow::AboutClick() {
    if (about_ != nullptr) {
        dialogs_.RunModal(*about_);
    }
}

}  // namespace vexlor
