#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace vexlor {

// The About box; its content is built once, when it is created at start-up.
class AboutBox : public QDialog {
    Q_OBJECT

  public:
    explicit AboutBox(QWidget* parent);

    QLabel* IconLabel() const { return iconLabel_; }
    QPushButton* OkButton() const { return okButton_; }

  private:
    QLabel* iconLabel_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

}  // namespace vexlor
