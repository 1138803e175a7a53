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

    QLabel* IconLabel() const { return Image1; }
    QPushButton* OkButton() const { return Button1; }

  private:
    QLabel* Image1 = nullptr;
    QPushButton* Button1 = nullptr;
};

}  // namespace vexlor
