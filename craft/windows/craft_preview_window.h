#pragma once

#include <string>
#include <vector>

#include <QWidget>

#include "craft/craft_field_edits.h"
#include "craft/craft_preview.h"
#include "platform/unsaved_work.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;

namespace vexlor {

class NumberSpinEdit;
class PicturePanel;
class ResourceList;
class UserDialogs;

// The Preview tool: a craft's HULL, MAP and SHIP pictures as the game executable assigns them,
// found in the libraries that the resource list names, and the Save of changed picture numbers
// and settings into the executable. It lives for the whole run; closing it only hides it.
// Edits that a display run would drop are first settled with the user, as they are at exit.
class CraftPreviewWindow : public QWidget, public UnsavedWork {
    Q_OBJECT

  public:
    CraftPreviewWindow(UserDialogs& dialogs, ResourceList& resources, QWidget* parent);

    // The creation's reading of the game files. False when the executable is refused; the user
    // has then been told and the program must end.
    bool ReadGameFiles();

    // The craft display: fields from the tables, then (from the second run on) the search.
    void DisplayCraft();
    // The user chose a craft from the list.
    void OnCraftChosen();
    // "Refresh".
    void RefreshClick();
    // Any number field changed.
    void OnFieldChanged(CraftField field);
    // Save.
    void SaveClick();
    // "-" and "+".
    void PreviousClick();
    void NextClick();
    // The context menu's "Restore the backup...".
    void RestoreBackupClick();

    bool SettleUnsavedWork() override;

    QComboBox* CraftList() const { return craftList_; }
    QPushButton* RefreshButton() const { return refreshButton_; }
    QPushButton* SaveButton() const { return saveButton_; }
    QToolButton* PreviousButton() const { return previousButton_; }
    QToolButton* NextButton() const { return nextButton_; }
    // The number field of each CraftField.
    NumberSpinEdit* Field(CraftField field) const;
    // The picture panels and library labels by number, 1 to 3: HULL, MAP, SHIP.
    PicturePanel* Panel(int number) const;
    QLabel* LibraryLabel(int number) const;
    QLabel* ShipNumber() const { return shipNumber_; }
    QAction* RestoreBackupItem() const { return restoreBackupItem_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void CreateControls();
    void CreateCraftControls();
    void CreatePictureControls();
    void CreateSettingControls();
    NumberSpinEdit* CreateField(CraftField field, const QRect& geometry, QWidget* parent);
    PicturePanel* CreatePanel(int number, const QRect& geometry, QSize areaSize);
    QLabel* CreateLibraryLabel(int number, int top);
    QLabel* CreateShipNumberBox();
    void CreateContextMenu();
    void DescribeControls();
    void DescribeSettings();
    void HideInsteadOfClosing(QCloseEvent& event);
    // Empties every field and panel; `searching` says whether pictures not found will be called
    // missing ("none", "?") or whether none was looked for yet.
    void ResetDisplay(bool searching);
    void FillFields(const CraftDisplay& display);
    void ShowPictures(const CraftPictures& pictures);
    std::vector<std::string> ResourceLines() const;
    int SelectedCraft() const;
    void SelectAndDisplay(int position);
    // Asks what becomes of the user's edits, if there are any, before something drops them.
    // True when it may go ahead: nothing was edited, the user discarded the edits, or they were
    // saved (`saved` then set).
    bool SettleEdits(bool& saved);
    // The user's edits of craft `craft` into the executable; false, after telling the user, when
    // they were not written.
    bool SaveEdits(int craft);
    void TellFailure(const std::string& text, const std::string& caption);

    UserDialogs& dialogs_;
    ResourceList& resources_;
    CraftPreview preview_;
    CraftFieldEdits edits_;
    // Raised by every display run; the first, at creation, searches nothing.
    int displayRuns_ = 0;
    // The list position whose craft the fields show, and to which a kept edit takes it back.
    int displayedPosition_ = 0;

    QComboBox* craftList_ = nullptr;
    QPushButton* refreshButton_ = nullptr;
    QToolButton* previousButton_ = nullptr;
    QToolButton* nextButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    NumberSpinEdit* hullField_ = nullptr;
    NumberSpinEdit* mapField_ = nullptr;
    NumberSpinEdit* battleField_ = nullptr;
    NumberSpinEdit* missionField_ = nullptr;
    NumberSpinEdit* missionLowerField_ = nullptr;
    PicturePanel* hullPanel_ = nullptr;
    PicturePanel* mapPanel_ = nullptr;
    PicturePanel* shipPanel_ = nullptr;
    QLabel* hullLibraryLabel_ = nullptr;
    QLabel* mapLibraryLabel_ = nullptr;
    QLabel* shipLibraryLabel_ = nullptr;
    QLabel* shipNumber_ = nullptr;
    QGroupBox* settingsGroup_ = nullptr;
    QLabel* settingCaptions_[3] = {};
    QMenu* contextMenu_ = nullptr;
    QAction* restoreBackupItem_ = nullptr;
};

}  // namespace vexlor
