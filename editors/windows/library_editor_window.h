#pragma once

#include <memory>
#include <optional>

#include <QWidget>

#include "editors/library_editor_logic.h"
#include "platform/user_dialogs.h"

class QLabel;
class QLayout;
class QPushButton;
class QStatusBar;
class QTimer;
class QTreeView;

namespace vexlor {

class IdentifierSpinBox;
class PictureListModel;
class PreviewPanel;

// What the four library editor windows share: the picture list, Refresh, Export BMP, the
// staging cycle of Import BMP and "<- Add", and renumbering through the list's captions with
// the file write deferred by the timer. The kinds differ in their logic (chosen by kind), in
// how the staged picture is shown, and in how the controls stand; the subclasses hold that.
//
// The main window creates the editor for a library path, sets its caption, runs Button1Click
// under the busy cursor and shows it. Closing the window destroys it.
class LibraryEditorWindow : public QWidget {
    Q_OBJECT

  public:
    // Sizes that only the window layer knows, per kind.
    struct WindowShape {
        int listWidth;
        int minimumWidth;  // 0: as the controls need
        QSize panelSize;
        QSize defaultSize;
    };

    ~LibraryEditorWindow() override;

    EditorKind Kind() const;
    const QString& LibraryPath() const { return libraryPath_; }
    // What the status bar says: "%d pictures" after a Refresh.
    QString StatusText() const;
    // The passing message that stands in the status bar for a while instead, if any: why a
    // command did less than asked.
    QString StatusMessage() const;
    // The size the window opens with: every control in sight.
    QSize sizeHint() const override;

    // Refresh: lists the library anew.
    void Button1Click();
    // Export BMP of the selected rows.
    void Button2Click();
    // Import BMP: stages a picture for "<- Add".
    void Button3Click();
    // "<- Add": appends the staged picture under the spin edit's number.
    void Button4Click();
    void ListView1SelectItem();
    // F2 released in the list edits the first selected row's caption; true when consumed.
    bool ListView1KeyUp(int key);
    // Whether caption editing may begin; remembers the caption as it was.
    bool ListView1Editing(int row);
    void ListView1Edited(int row, const QString& text);
    // Writes the rename accepted last.
    void TimerTimer();

  protected:
    LibraryEditorWindow(EditorKind kind, const QString& libraryPath, UserDialogs& dialogs,
                        const WindowShape& shape, QWidget* parent);

    // The list at the left over the window's height, `controls` at its right, the status bar
    // along the bottom.
    void ArrangeWindow(QLayout* controls);

    // After a Refresh that could open the library. By default the spin edit suggests the next
    // identifier.
    virtual void ShowRefreshedList(const PictureList& list);
    // Import BMP, once a file was chosen and before it is read.
    virtual void BeginImport() {}
    // Import BMP accepted `picture`, which is now the staged picture.
    virtual void ShowStagedPicture(const IndexedImage& picture) = 0;
    // The series that the staged picture's number belongs to, where the kind has series.
    virtual std::optional<Series> StagedSeries() const { return std::nullopt; }

    // The spin edit's value as the user last typed it: a text that is no number reads as the
    // minimum, and the value is held inside the range.
    int SpinValue() const;
    // "<- Add" enabled exactly when the spin edit's number keeps the identifier rule; when it
    // does not, its tooltip states the rule.
    void RetestAdd();
    void ShowStatusMessage(const QString& text);
    void ClearStatusMessage();
    const LibraryEditorLogic& Logic() const { return *logic_; }
    const std::optional<IndexedImage>& StagedPicture() const { return staged_; }
    UserDialogs& Dialogs() const { return dialogs_; }

    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    QTreeView* ListView1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    IdentifierSpinBox* Spin1 = nullptr;
    PreviewPanel* Panel1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QTimer* Timer = nullptr;

  private:
    void CreateControls(const WindowShape& shape);
    void CreateListView(int width);
    QPushButton* CreateButton(const QString& caption, const QString& name,
                              void (LibraryEditorWindow::*handler)());
    void CreateSpinEdit();
    void FormCreate(const WindowShape& shape);
    void FormClose();
    void FormDestroy();
    void ShowReadOnlyCaption();
    void ShowListToolTip(bool editable);
    void ShowAddToolTip(bool valid);
    void ShowSpinToolTip();
    void ShowRefreshProblems(const PictureList& list);
    QString FileName() const;
    void ShowExportOutcome(const ExportResult& result);
    FileDialogRequest ImportRequest() const;
    QList<int> SelectedRows() const;
    void FlushPendingRename();

    UserDialogs& dialogs_;
    QString libraryPath_;
    std::shared_ptr<const LibraryEditorLogic> logic_;
    PictureListModel* model_ = nullptr;
    QLabel* statusText_ = nullptr;
    QLabel* statusMessage_ = nullptr;
    QTimer* statusMessageTimer_ = nullptr;
    std::optional<IndexedImage> staged_;
    QString lastImportPath_;
    QString oldCaption_;
    std::optional<PendingRename> pendingRename_;
    QSize defaultSize_;
};

}  // namespace vexlor
