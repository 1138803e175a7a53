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
    setObjectName(QStringLiteral("KindDialog"));
    QFont boldFont = font();
    boldFont.setBold(true);
    setFont(boldFont);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("OkButton"));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelButton"));
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    // Escape rejects a QDialog already; the button does the same.
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateRadioGroup());
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QGroupBox* KindDialog::CreateRadioGroup() {
    kindGroup_ = new QGroupBox(QStringLiteral("Type"), this);
    kindGroup_->setObjectName(QStringLiteral("KindGroup"));
    kinds_ = new QButtonGroup(this);
    auto* items = new QVBoxLayout(kindGroup_);
    int kind = 1;
    for (const char* item : kKindItems) {
        auto* button = new QRadioButton(QString::fromLatin1(item), kindGroup_);
        kinds_->addButton(button, kind++);
        items->addWidget(button);
    }
    ChooseKind(1);
    return kindGroup_;
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
