#include "browser/windows/record_name_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "browser/windows/library_browser_pictures.h"
#include "library/any_picture.h"
#include "library/picture_size.h"
#include "widgets/conversion_choices.h"

namespace vexlor {
namespace {

constexpr int kPreviewSide = 160;
// Converting is quick up to about this many pixels; beyond it the dialog would stall.
constexpr long long kLargestPreview = 1 << 20;

}  // namespace

RecordNameDialog::RecordNameDialog(const QString& title, RecordName name, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    groupId_ = NumberBox(QStringLiteral("GroupId"), 0, 0xFFFF, name.groupId);
    pictureId_ = NumberBox(QStringLiteral("PictureId"), 0, 0xFFFF, name.pictureId);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("GroupId:"), groupId_);
    layout->addRow(QStringLiteral("PictureId:"), pictureId_);
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

void RecordNameDialog::AskPicture(std::uint16_t format, QSize size, const RgbaPicture& source) {
    source_ = source;
    const QSize pictureSize(source.width, source.height);
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
    layout->insertRow(2, QStringLiteral("Format:"), format_);
    layout->insertRow(3, QStringLiteral("Size:"), sizeRow);
    preview_ = new QLabel;
    preview_->setObjectName(QStringLiteral("PicturePreview"));
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setMinimumSize(kPreviewSide, kPreviewSide);
    preview_->setWordWrap(true);
    choices_ = new ConversionChoices(source.hasAlpha, this);
    choices_->AddRows(*layout, 4);
    layout->insertRow(7, QStringLiteral("Stored:"), preview_);
    connect(choices_, &ConversionChoices::Changed, this, &RecordNameDialog::ShowPreview);
    connect(format_, &QComboBox::currentIndexChanged, this, &RecordNameDialog::ShowPreview);
    connect(width_, &QSpinBox::valueChanged, this, &RecordNameDialog::ShowPreview);
    connect(height_, &QSpinBox::valueChanged, this, &RecordNameDialog::ShowPreview);
    ShowPreview();
}

// The picture is converted and encoded as the change will store it, then drawn from what was
// encoded, so that what it shows is what the record will hold; a refusal shows instead.
void RecordNameDialog::ShowPreview() {
    const PictureChoice choice = Choice();
    if (static_cast<long long>(choice.width) * choice.height > kLargestPreview) {
        preview_->setPixmap(QPixmap());
        preview_->setText(QStringLiteral("Too large to preview"));
        return;
    }
    std::string refusal;
    const auto stored = StorePicture("", source_, choice.width, choice.height, choice.format,
                                     choice.conversion, refusal);
    AnyPicture drawn;
    if (stored) {
        tIMAGE image{};
        image.PictureFormat = stored->format;
        image.BlockWidth = static_cast<std::uint32_t>(stored->width);
        image.BlockHeight = static_cast<std::uint32_t>(stored->height);
        if (DrawAnyPicture(image, stored->palette, stored->pixels, drawn) != DrawOutcome::Drawn) {
            refusal = "The stored picture does not draw";
        }
    }
    if (!refusal.empty()) {
        preview_->setPixmap(QPixmap());
        preview_->setText(QString::fromStdString(refusal));
        return;
    }
    // A small picture is enlarged, pixels kept sharp, so that it can be seen at all.
    QImage image = AnyPictureImage(drawn);
    if (image.width() < kPreviewSide && image.height() < kPreviewSide) {
        image =
            image.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio, Qt::FastTransformation);
    }
    preview_->setPixmap(ThumbnailPixmap(image, kPreviewSide));
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
            height_->value(), choices_->Options()};
}

}  // namespace vexlor
