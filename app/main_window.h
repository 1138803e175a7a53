#pragma once

#include <memory>
#include <vector>

#include <QMainWindow>
#include <QStringList>

class QAction;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QKeySequence;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSessionManager;
class QToolButton;

namespace vexlor {

class AboutBox;
class ToolWindowsGiveWay;
class LibraryBrowserWindow;
class LibraryEditorWindow;
class KindDialog;
class HelpViewer;
class MainWindowProjects;
class ProjectCommands;
class UnsavedWork;
class UserDialogs;

// The main window: a frame for one editor window per open library, with the commands that
// undo and redo the active editor's changes, arrange the editors, show or hide the tool
// windows, and show the help file and the About box.
// Closing it ends the program, once every window that holds unsaved changes has settled them.
class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    explicit MainWindow(UserDialogs& dialogs);
    ~MainWindow() override;

    // The start-up check, run once right after construction. False when the game folder is
    // unknown; the user has then been told and the program must end with exit code 0.
    bool SetUp();

    // The long-lived windows created after this one.
    void SetResourceListWindow(QWidget* window);
    void SetPreviewWindow(QWidget* window);
    void SetKindDialog(KindDialog* dialog) { kindDialog_ = dialog; }
    void SetAboutBox(AboutBox* about) { about_ = about; }
    KindDialog* KindChooser() const { return kindDialog_; }
    QWidget* ResourceListEditor() const { return resourceListWindow_; }
    // A window whose unsaved changes must be settled before the program ends; it must outlive
    // this window or never be closed before it.
    void AddUnsavedWork(UnsavedWork& work);
    // Asks each such window in turn, in the order added. False as soon as one still holds its
    // changes: the program must keep running.
    bool SettleAllUnsavedWork();

    // Takes `editor` into the frame; closing it destroys it. The Edit menu follows the changes
    // of a library editor.
    QMdiSubWindow* AddEditorWindow(QWidget* editor);
    // The captions of the open editor windows, oldest first; library browsers are not editors.
    QStringList EditorCaptions() const;
    // Activates the browser of the library at `path` if one is open, else opens one.
    void OpenBrowser(const QString& path);
    QMdiArea* EditorArea() const { return mdiArea_; }
    // Hides a visible window, shows a hidden one.
    static void ToggleToolWindow(QWidget* window);
    // What another copy of the program asks for: back from the task bar, in front, active.
    void BringToFront();
    // Each file in turn as Open project would open it, without its dialogs. Where several
    // kinds' tests accept a file, the kind dialog asks for a dropped one; one named on a command
    // line takes the first such kind, HULL, MAP, SHIP, BATTLE/MISSION.
    void OpenDroppedLibraries(const QStringList& paths);
    void OpenCommandLineLibraries(const QStringList& paths);

    // Toolbar buttons by their number, 1 to 7.
    QToolButton* ToolBarButton(int number) const;

    void NewProjectClick();
    void OpenProjectClick();
    // Browse library...: a library of any kind, read-only but for its repair.
    void BrowseLibraryClick();
    void CascadeClick();
    void TileSideBySideClick();
    void TileOneAboveAnotherClick();
    void ToggleResourceListClick();
    void TogglePreviewClick();
    void ExitClick();
    // Undo and Redo of the active editor window's library.
    void UndoClick();
    void RedoClick();
    void HelpClick();
    void AboutClick();

  protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateToolBar();
    QToolButton* AddToolBarButton(int number, const QString& caption, const QIcon& icon,
                                  void (MainWindow::*handler)());
    void CreateMenus();
    QAction* AddMenuItem(QMenu* menu, const QString& name, const QString& caption,
                         void (MainWindow::*handler)());
    QAction* AddViewItem(QMenu* menu, const QString& name, const QString& caption,
                         const QKeySequence& shortcut, void (MainWindow::*handler)());
    void CreateEditMenu();
    // The editor window or library browser that the Edit menu acts on, if any.
    LibraryEditorWindow* ActiveEditor() const;
    LibraryBrowserWindow* ActiveBrowser() const;
    LibraryBrowserWindow* BrowserOf(const QString& path) const;
    // Undo and Redo say what they would do in the active editor's library.
    void UpdateEditMenu();
    // A change made in one window of a library is shown by the others of the same file.
    void ShowChangeElsewhere(const QWidget* changed, const QString& libraryPath);
    void WatchToolWindow(QWidget* window, QAction* item);
    static void ShowVisibility(QAction* item, const QWidget* window);
    void UpdateWindowMenu();
    void ShowHelpViewer(const QString& path);
    void CommitData(QSessionManager& manager);
    bool MayQuit(QEvent& quit);
    void CreateWorkingFolders();

    UserDialogs& dialogs_;
    bool showingChange_ = false;
    QMdiArea* mdiArea_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QList<QAction*> arrangeActions_;
    QList<QToolButton*> toolBarButtons_;
    QAction* undoItem_ = nullptr;
    QAction* redoItem_ = nullptr;
    QAction* resdataItem_ = nullptr;
    QAction* previewItem_ = nullptr;
    QWidget* resourceListWindow_ = nullptr;
    QWidget* previewWindow_ = nullptr;
    ToolWindowsGiveWay* toolWindowsGiveWay_ = nullptr;
    KindDialog* kindDialog_ = nullptr;
    AboutBox* about_ = nullptr;
    HelpViewer* helpViewer_ = nullptr;
    std::vector<UnsavedWork*> unsavedWork_;
    // Set when the user settled every change as the desktop session was ending, so that the
    // close that follows does not ask again; any key or mouse press of the user's clears it.
    bool sessionSettled_ = false;
    std::unique_ptr<MainWindowProjects> projectWindows_;
    std::unique_ptr<ProjectCommands> projectCommands_;
    // The state to come back to from the task bar.
    Qt::WindowStates restoredState_ = Qt::WindowNoState;
};

}  // namespace vexlor
