#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QWidget>

class QAction;
class QComboBox;
class QKeySequence;
class QModelIndex;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollArea;
class QTreeView;

namespace vexlor {

class LibraryBrowserLogic;
class LibraryBrowserModel;
class PaletteSwatches;
class PictureCanvas;
class UserDialogs;
struct BrowserChange;
struct tIMAGE;
struct ExtractResult;

// A library of any kind as it lies in its file: the header's fields, the tree of groups and
// records with their pictures, what the check finds wrong, Extract to BMP or PNG, and the one
// changes it makes (Repair; add, replace, delete and rename of records), with Undo and Redo
// through the change journal.
//
// The main window creates it for a path, sets its caption, runs Reload under the busy cursor
// and shows it. Closing the window destroys it.
class LibraryBrowserWindow final : public QWidget {
    Q_OBJECT

  public:
    enum class Zoom { Fit, Actual, Double, Quadruple };

    LibraryBrowserWindow(const QString& libraryPath, UserDialogs& dialogs,
                         QWidget* parent = nullptr);
    ~LibraryBrowserWindow() override;

    const QString& LibraryPath() const { return libraryPath_; }
    QSize sizeHint() const override;

    // Walks and checks the library anew; the same record stays selected where it still is.
    void Reload();
    void ExtractSelectedClick();
    void ExtractAllClick();
    void RepairClick();
    void UndoClick();
    void RedoClick();
    // Add picture... on the selected group, or the group of the selected record.
    void AddPictureClick();
    void NewGroupClick();
    void ReplacePictureClick();
    void DeleteClick();
    void RenameClick();
    // A picture file dropped on the tree's row `target`: added to a group, replacing a record.
    void DropPictureFile(const QString& file, const QModelIndex& target);
    // What Undo and Redo would do now; empty when nothing.
    std::string NextUndo() const;
    std::string NextRedo() const;
    void SetZoom(Zoom zoom);
    // Selects the group or record that the check's line `line` is about.
    void SelectCheckLine(int line);
    void SelectRecord(int record);
    // Walk indices of the records that Extract selected would write, in file order.
    std::vector<int> SelectedRecords() const;

    const LibraryBrowserModel& Model() const { return *model_; }
    QString StatusText() const;

  signals:
    // What Undo and Redo would do may have changed.
    void LibraryChanged();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    QWidget* CreateLeftSide();
    QWidget* CreateRightSide();
    QWidget* CreateButtonRow();
    void CreateEditActions();
    QAction* CreateAction(const QString& caption, const QString& name, const QKeySequence& keys,
                          void (LibraryBrowserWindow::*handler)());
    std::optional<QString> AskPictureFile();
    void AddPictureToGroup(std::uint16_t groupId, bool groupAsked, const QString& file);
    void ReplaceRecordPicture(int record, const QString& file);
    std::optional<std::uint16_t> CurrentGroupId() const;
    std::optional<int> CurrentRecordOr(const QString& hint);
    const tIMAGE& ImageOf(int record) const;
    QPushButton* CreateButton(const QString& caption, const QString& name,
                              void (LibraryBrowserWindow::*handler)());
    void ShowLibrary();
    void ShowCheckLines();
    void ShowRepairState();
    void ShowSelection();
    void ShowRecord(int record);
    void ClearPicture(const QString& outcome);
    void ApplyZoom();
    void Extract(const std::vector<int>& records);
    void ShowExtractOutcome(const ExtractResult& result, const QString& folder);
    // A change of the library at `path`, recorded in the journal at `journal`.
    using ChangeOfFile =
        std::function<BrowserChange(const std::string& path, const std::string& journal)>;
    void MakeChange(const ChangeOfFile& change);
    void ShowLogic(std::shared_ptr<const LibraryBrowserLogic> logic, int record);
    int SelectedRow() const;
    void ShowStatus(const QString& text);
    QString FileName() const;

    UserDialogs& dialogs_;
    QString libraryPath_;
    std::shared_ptr<const LibraryBrowserLogic> logic_;
    LibraryBrowserModel* model_ = nullptr;
    QLabel* headerFields_ = nullptr;
    QTreeView* tree_ = nullptr;
    QListWidget* checkList_ = nullptr;
    QLabel* recordFields_ = nullptr;
    QLabel* drawOutcome_ = nullptr;
    QComboBox* zoom_ = nullptr;
    QScrollArea* pictureView_ = nullptr;
    PictureCanvas* canvas_ = nullptr;
    PaletteSwatches* palette_ = nullptr;
    QLabel* paletteText_ = nullptr;
    QComboBox* extractFormat_ = nullptr;
    QPushButton* extractSelected_ = nullptr;
    QPushButton* repair_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace vexlor
