#include "app/kind_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/user_dialogs.h"

namespace vexlor {
namespace {

const char* const kKindItems[] = {"HULL library", "MAP library", "SHIP library",
                                  "BATTLE/MISSION library"};

}  // namespace

KindDialog::KindDialog(UserDialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("CHOOSE"));
    QFont boldFont = font();
    boldFont.setBold(true);
    setFont(boldFont);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    // Escape rejects a QDialog already; the button does the same.
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateRadioGroup());
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QGroupBox* KindDialog::CreateRadioGroup() {
    RadioGroup1 = new QGroupBox(QStringLiteral("Type"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    kinds_ = new QButtonGroup(this);
    auto* items = new QVBoxLayout(RadioGroup1);
    int kind = 1;
    for (const char* item : kKindItems) {
        auto* button = new QRadioButton(QString::fromLatin1(item), RadioGroup1);
        kinds_->addButton(button, kind++);
        items->addWidget(button);
    }
    ChooseKind(1);
    return RadioGroup1;
}

int KindDialog::AskLibraryKind(const QString& caption) {
    setWindowTitle(caption);
    if (QAbstractButton* chosen = kinds_->checkedButton()) {
        chosen->setFocus();
    }
    CentreOnScreen();
    return dialogs_.RunModal(*this) == QDialog::Accepted ? ChosenKind() : 0;
}

int KindDialog::ChosenKind() const {
    return kinds_->checkedId();
}

void KindDialog::ChooseKind(int kind) {
    if (QAbstractButton* button = kinds_->button(kind)) {
        button->setChecked(true);
    }
}

void KindDialog::CentreOnScreen() {
    adjustSize();
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = frameGeometry();
    frame.moveCenter(screen->geometry().center());
    move(frame.topLeft());
}

}  // namespace vexlor
