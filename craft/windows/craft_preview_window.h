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
    bool FormCreate();

    // The craft display: fields from the tables, then (from the second run on) the search.
    void ComboBox1Change();
    // The user chose a craft from the list.
    void ComboBox1Select();
    // "Refresh".
    void Button1Click();
    // Any number field changed.
    void Spin1Change(CraftField field);
    // Save.
    void Button2Click();
    // "-" and "+".
    void SpeedButton2Click();
    void SpeedButton3Click();
    // The context menu's "Restore the backup...".
    void RestoreBackupClick();

    bool SettleUnsavedWork() override;

    QComboBox* CraftList() const { return ComboBox1; }
    QPushButton* RefreshButton() const { return Button1; }
    QPushButton* SaveButton() const { return Button2; }
    QToolButton* PreviousButton() const { return SpeedButton2; }
    QToolButton* NextButton() const { return SpeedButton3; }
    // Spin1 to Spin5 in the order of CraftField.
    NumberSpinEdit* Field(CraftField field) const;
    // Panel1 to Panel3 and Label1 to Label3: HULL, MAP, SHIP.
    PicturePanel* Panel(int number) const;
    QLabel* LibraryLabel(int number) const;
    QLabel* ShipNumber() const { return Static1; }
    QAction* RestoreBackupItem() const { return RestoreBackupItem1; }

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
    void FormClose(QCloseEvent& event);
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

    QComboBox* ComboBox1 = nullptr;
    QPushButton* Button1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QPushButton* Button2 = nullptr;
    NumberSpinEdit* Spin1 = nullptr;
    NumberSpinEdit* Spin2 = nullptr;
    NumberSpinEdit* Spin3 = nullptr;
    NumberSpinEdit* Spin4 = nullptr;
    NumberSpinEdit* Spin5 = nullptr;
    PicturePanel* Panel1 = nullptr;
    PicturePanel* Panel2 = nullptr;
    PicturePanel* Panel3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Static1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* SettingCaptions[3] = {};
    QMenu* PopupMenu1 = nullptr;
    QAction* RestoreBackupItem1 = nullptr;
};

}  // namespace vexlor
