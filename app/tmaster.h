#pragma once

#include <memory>

#include <QMainWindow>
#include <QStringList>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolButton;

namespace vexlor {

class TAbout;
class TCHOOSE;
class MasterProjectWindows;
class ProjectCommands;
class UserDialogs;

// The main window: a frame for one editor window per open library, with the commands that
// arrange them, show or hide the tool windows, and show the help file and the About box.
// Closing it ends the program.
class TMaster : public QMainWindow {
    Q_OBJECT

  public:
    explicit TMaster(UserDialogs& dialogs);
    ~TMaster() override;

    // The start-up check, run once right after construction. False when the game folder is
    // unknown; the user has then been told and the program must end with exit code 0.
    bool FormCreate();

    // The long-lived windows created after this one.
    void SetResourceListWindow(QWidget* window) { resourceListWindow_ = window; }
    void SetPreviewWindow(QWidget* window) { previewWindow_ = window; }
    void SetKindDialog(TCHOOSE* dialog) { kindDialog_ = dialog; }
    void SetAboutBox(TAbout* about) { about_ = about; }
    TCHOOSE* KindDialog() const { return kindDialog_; }
    QWidget* ResourceListWindow() const { return resourceListWindow_; }

    // Takes `editor` into the frame; closing it destroys it.
    QMdiSubWindow* AddEditorWindow(QWidget* editor);
    // The captions of the open editor windows, oldest first.
    QStringList EditorCaptions() const;
    QMdiArea* EditorArea() const { return mdiArea_; }
    // Hides a visible window, shows a hidden one.
    static void ToggleToolWindow(QWidget* window);
    // What another copy of the program asks for: back from the task bar, in front, active.
    void BringToFront();

    // Toolbar buttons by their number, 1 to 7.
    QToolButton* SpeedButton(int number) const;

    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void Exit1Click();
    void Help1Click();
    void About1Click();

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void CreateToolBar();
    QToolButton* AddSpeedButton(int number, const QString& caption, const QIcon& icon,
                                void (TMaster::*handler)());
    void CreateMenus();
    QAction* AddMenuItem(QMenu* menu, const QString& name, const QString& caption,
                         void (TMaster::*handler)());
    void UpdateWindowMenu();
    void CreateWorkingFolders();

    UserDialogs& dialogs_;
    QMdiArea* mdiArea_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QList<QAction*> arrangeActions_;
    QList<QToolButton*> speedButtons_;
    QWidget* resourceListWindow_ = nullptr;
    QWidget* previewWindow_ = nullptr;
    TCHOOSE* kindDialog_ = nullptr;
    TAbout* about_ = nullptr;
    std::unique_ptr<MasterProjectWindows> projectWindows_;
    std::unique_ptr<ProjectCommands> projectCommands_;
    // The state to come back to from the task bar.
    Qt::WindowStates restoredState_ = Qt::WindowNoState;
};

}  // namespace vexlor
