#pragma once

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QPushButton;

namespace vexlor {

class UserDialogs;

// The kind dialog: which of the four library kinds a project command is about. One object
// serves the whole run, so the kind chosen last is offered first the next time.
class KindDialog : public QDialog {
    Q_OBJECT

  public:
    KindDialog(UserDialogs& dialogs, QWidget* parent);

    // 0 when the user cancels, else the kind counted from 1: HULL, MAP, SHIP, BATTLE/MISSION.
    int AskLibraryKind(const QString& caption);

    // The kind now chosen in the radio group, counted from 1.
    int ChosenKind() const;
    void ChooseKind(int kind);
    QPushButton* OkButton() const { return okButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }

  private:
    QGroupBox* CreateRadioGroup();
    void CentreOnScreen();

    UserDialogs& dialogs_;
    QGroupBox* kindGroup_ = nullptr;
    QButtonGroup* kinds_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace vexlor
