#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <functional>

#include <QKeySequence>
#include <QList>
#include <QWidget>

#include "editors/library_editor_logic.h"
#include "editors/windows/conversion_dialog.h"
#include "platform/user_dialogs.h"

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QLayout;
class QMenu;
class QPushButton;
class QStatusBar;
class QTimer;
class QTreeView;

namespace vexlor {

class IdentifierSpinBox;
class PictureListModel;
class PreviewPanel;

// The texts of the Undo and Redo items for what they would take back or make again
// (`next`, as the logic names it; empty: nothing, and the item is disabled).
QString UndoItemText(const std::string& next);
QString RedoItemText(const std::string& next);
const QKeySequence& UndoShortcut();
// Ctrl+Shift+Z first, Ctrl+Y as well.
const QList<QKeySequence>& RedoShortcuts();

// What the four library editor windows share: the picture list, Refresh, Export BMP, the
// staging cycle of Import BMP and "<- Add", renumbering through the list's captions with the
// file write deferred by the timer, and Delete, Replace, Undo and Redo of the library's changes.
// The kinds differ in their logic (chosen by kind), in how the staged picture is shown, and in how
// the controls stand; the subclasses hold that.
//
// The main window creates the editor for a library path, sets its caption, runs RefreshClick
// under the busy cursor and shows it. Closing the window destroys it.
class LibraryEditorWindow : public QWidget {
    Q_OBJECT

  public:
    // Shows the conversion of a picture file and gives the picture accepted, or nothing after
    // Cancel: by default the conversion dialog, run modally; tests put their own answer here.
    using ConversionAsker = std::function<std::optional<ConvertedPicture>(
        const RgbaPicture& source, const QString& fileName, const ConversionTarget& target,
        QWidget* parent)>;

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
    void RefreshClick();
    // Export BMP of the selected rows.
    void ExportBmpClick();
    // Import BMP: stages a picture for "<- Add".
    void ImportBmpClick();
    // "<- Add": appends the staged picture under the spin edit's number.
    void AddClick();
    // Export PNG of the selected rows: the same pictures as Export BMP, with transparency.
    void ExportPngClick();
    // Import image: any picture file, converted in the conversion dialog, staged for "<- Add".
    void ImportImageClick();
    // Stages a picture file as a drop does: an 8-bit BMP that Import BMP takes through Import
    // BMP's own path, any other picture through the conversion dialog.
    void StagePictureFile(const QString& path);
    void SetConversionAsker(ConversionAsker asker) { askConversion_ = std::move(asker); }
    // Delete of the selected rows, once the user has confirmed it.
    void DeleteClick();
    // Replace of the one selected row's picture by the staged picture.
    void ReplaceClick();
    // Undo and Redo of the library's last recorded change.
    void UndoClick();
    void RedoClick();
    // What Undo and Redo would do now, naming pictures as the list does; empty when nothing, or
    // when the library is not the editor's own kind.
    std::string NextUndo() const;
    std::string NextRedo() const;
    void OnPictureSelected();
    // F2 released in the list edits the first selected row's caption; true when consumed.
    bool OnListKeyUp(int key);
    // Whether caption editing may begin; remembers the caption as it was.
    bool OnCaptionEditing(int row);
    void OnCaptionEdited(int row, const QString& text);
    // Writes the rename accepted last.
    void OnRenameTimer();

  signals:
    // What Undo and Redo would do may have changed: a command that may have changed the library
    // ended, or the library was listed anew.
    void LibraryChanged();

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
    // The staged picture, or null when none.
    const IndexedImage* StagedPicture() const { return staged_ ? &staged_->image : nullptr; }
    // Whether the staged picture came through the conversion, with index 0 transparent.
    bool StagedIsConverted() const { return staged_ && staged_->converted; }
    UserDialogs& Dialogs() const { return dialogs_; }

    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    QTreeView* pictureList_ = nullptr;
    QPushButton* refreshButton_ = nullptr;
    QPushButton* exportBmpButton_ = nullptr;
    QPushButton* importBmpButton_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QPushButton* replaceButton_ = nullptr;
    QPushButton* importImageButton_ = nullptr;
    QPushButton* exportPngButton_ = nullptr;
    IdentifierSpinBox* identifierSpin_ = nullptr;
    PreviewPanel* previewPanel_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QTimer* renameTimer_ = nullptr;

  private:
    void CreateControls(const WindowShape& shape);
    void CreateListView(int width);
    QPushButton* CreateButton(const QString& caption, const QString& name,
                              void (LibraryEditorWindow::*handler)());
    void CreateSpinEdit();
    void CreateListMenu();
    QAction* AddListMenuItem(const QString& caption, const QString& name,
                             void (LibraryEditorWindow::*handler)());
    void ShowListMenu(const QPoint& position);
    void ShowUndoRedoItems();
    // Delete and Replace enabled as the selection, the library and the staging allow.
    void ShowEditStates();
    bool CanDelete() const;
    bool CanReplace() const;
    void ApplyWindowShape(const WindowShape& shape);
    void OnClose();
    void OnDestroy();
    void ShowReadOnlyCaption();
    void ShowListToolTip(bool editable);
    void ShowAddToolTip(bool valid);
    void ShowSpinToolTip();
    void ShowRefreshProblems(const PictureList& list);
    QString FileName() const;
    void ShowExportOutcome(const ExportResult& result);
    FileDialogRequest ImportRequest() const;
    FileDialogRequest ImageImportRequest() const;
    void ExportSelected(ExportFormat format);
    // The Import BMP of the file at `path`, once chosen.
    void StageBmpFile(const QString& path);
    // The conversion of the picture file at `path`, once chosen.
    void StageImageFile(const QString& path);
    // The staging starts over for a file just chosen.
    void BeginStaging(const QString& path);
    // `picture` is the staged picture now.
    void Stage(ImageToAdd picture);
    ConversionTarget TargetFor(const RgbaPicture& source) const;
    QList<int> SelectedRows() const;
    void FlushPendingRename();
    // The row's picture in words: its caption, after the series word where the kind has series.
    std::string PictureName(int row) const;
    std::vector<std::string> PictureNames(const QList<int>& rows) const;
    // Whether the file still holds at `rows` the pictures that the list shows there: rows
    // name pictures only as they were listed.
    bool ListStillMatches(const QList<int>& rows);
    void ShowChangeRefused(const std::string& message);
    // After a change was made: the list anew, `row` selected, `done` in the status bar.
    void ShowChangeDone(const ChangeOutcome& outcome, const std::string& done);
    void ApplyUndoOrRedo(ChangeOutcome (LibraryEditorLogic::*change)() const,
                         std::string (*done)(const std::string&));
    void SelectRow(int row);
    // Says, under `text`, what the last Refresh found wrong with the file, if anything.
    void ShowStatusAfterRefresh(const std::string& text);
    // The staged picture has gone into the library (or was meant to): the staging starts over.
    void SpendStagedPicture();
    // When more than one picture of `list` carries the identifier of the picture at `row`,
    // the words that say so; otherwise empty.
    std::string SharedIdentifierNotice(const PictureList& list, int row) const;

    UserDialogs& dialogs_;
    QString libraryPath_;
    std::shared_ptr<const LibraryEditorLogic> logic_;
    PictureListModel* model_ = nullptr;
    QLabel* statusText_ = nullptr;
    QLabel* statusMessage_ = nullptr;
    QTimer* statusMessageTimer_ = nullptr;
    QMenu* listMenu_ = nullptr;
    QAction* deleteItem_ = nullptr;
    QAction* replaceItem_ = nullptr;
    QAction* undoItem_ = nullptr;
    QAction* redoItem_ = nullptr;
    std::optional<ImageToAdd> staged_;
    ConversionAsker askConversion_;
    QString lastImportPath_;
    QString oldCaption_;
    std::optional<PendingRename> pendingRename_;
    QSize defaultSize_;
};

}  // namespace vexlor
