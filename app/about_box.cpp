#include "app/about_box.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/app_title.h"
#include "app/drawn_icons.h"

namespace vexlor {
namespace {

constexpr int kIconSize = 32;

QLabel* CreateTextLabel(const QString& text, bool bold, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 1.2);
        label->setFont(font);
    }
    return label;
}

}  // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("About"));
    const QString title = QString::fromLatin1(kApplicationTitle);
    setWindowTitle(QStringLiteral("About ") + title);

    iconLabel_ = new QLabel(this);
    iconLabel_->setObjectName(QStringLiteral("IconLabel"));
    iconLabel_->setPixmap(ApplicationIcon().pixmap(kIconSize, kIconSize));
    iconLabel_->setFixedSize(kIconSize, kIconSize);

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("OkButton"));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(16);
    layout->addWidget(iconLabel_, 0, 0, 4, 1, Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(CreateTextLabel(title, true, this), 0, 1);
    layout->addWidget(
        CreateTextLabel(QStringLiteral("Picture library editor for X-Wing Alliance 2.02"), false,
                        this),
        1, 1);
    layout->addWidget(
        CreateTextLabel(QStringLiteral("HULL, MAP, SHIP and BATTLE/MISSION libraries"), false,
                        this),
        2, 1);
    layout->addWidget(
        CreateTextLabel(QStringLiteral("Licensed under the GNU GPL, version 3 or later."), false,
                        this),
        3, 1);
    layout->addWidget(okButton_, 4, 0, 1, 2, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace vexlor
