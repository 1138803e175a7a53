#include "browser/windows/record_name_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "library/picture_size.h"

namespace vexlor {

RecordNameDialog::RecordNameDialog(const QString& title, RecordName name, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    groupId_ = NumberBox(QStringLiteral("GroupId"), 0, 0xFFFF, name.groupId);
    pictureId_ = NumberBox(QStringLiteral("PictureId"), 0, 0xFFFF, name.pictureId);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("GroupId"), groupId_);
    layout->addRow(QStringLiteral("PictureId"), pictureId_);
    layout->addRow(buttons);
    setMinimumWidth(280);
}

QSpinBox* RecordNameDialog::NumberBox(const QString& name, int lowest, int highest, int value) {
    auto* box = new QSpinBox;
    box->setObjectName(name);
    box->setRange(lowest, highest);
    box->setValue(value);
    return box;
}

void RecordNameDialog::KeepGroup() {
    groupId_->setEnabled(false);
}

void RecordNameDialog::KeepName() {
    groupId_->setEnabled(false);
    pictureId_->setEnabled(false);
}

void RecordNameDialog::AskPicture(std::uint16_t format, QSize size, QSize pictureSize) {
    format_ = new QComboBox;
    format_->setObjectName(QStringLiteral("PictureFormat"));
    format_->addItems({QStringLiteral("23 (run-length)"), QStringLiteral("24 (index-alpha)")});
    format_->setCurrentIndex(format == kIndexAlphaFormat ? 1 : 0);
    width_ = NumberBox(QStringLiteral("PictureWidth"), 1, kMaxPictureSide, size.width());
    height_ = NumberBox(QStringLiteral("PictureHeight"), 1, kMaxPictureSide, size.height());
    auto* ownSize = new QPushButton(QStringLiteral("The picture's own size"));
    ownSize->setObjectName(QStringLiteral("PictureOwnSize"));
    connect(ownSize, &QPushButton::clicked, this, [this, pictureSize] {
        width_->setValue(pictureSize.width());
        height_->setValue(pictureSize.height());
    });
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(width_);
    sizeRow->addWidget(new QLabel(QStringLiteral("x")));
    sizeRow->addWidget(height_);
    sizeRow->addWidget(ownSize);
    auto* layout = static_cast<QFormLayout*>(this->layout());
    layout->insertRow(2, QStringLiteral("Format"), format_);
    layout->insertRow(3, QStringLiteral("Size"), sizeRow);
}

RecordName RecordNameDialog::Name() const {
    return {static_cast<std::uint16_t>(groupId_->value()),
            static_cast<std::uint16_t>(pictureId_->value())};
}

PictureChoice RecordNameDialog::Choice() const {
    if (format_ == nullptr) {
        return {};
    }
    return {format_->currentIndex() == 1 ? kIndexAlphaFormat : kRunLengthFormat, width_->value(),
            height_->value()};
}

}  // namespace vexlor
