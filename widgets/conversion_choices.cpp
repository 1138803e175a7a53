#include "widgets/conversion_choices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>

namespace vexlor {
namespace {

constexpr int kDitherSteps = 100;

}  // namespace

ConversionChoices::ConversionChoices(bool pictureHasAlpha, QWidget* parent)
    : QObject(parent), pictureHasAlpha_(pictureHasAlpha) {
    const ConversionOptions defaults;

    fit_ = new QComboBox(parent);
    fit_->setObjectName(QStringLiteral("fit"));
    fit_->addItem(QStringLiteral("Contain: the whole picture, transparent margins"),
                  static_cast<int>(Fit::Contain));
    fit_->addItem(QStringLiteral("Cover: the whole size, the sides cut"),
                  static_cast<int>(Fit::Cover));
    fit_->addItem(QStringLiteral("Stretch: the whole picture at the whole size"),
                  static_cast<int>(Fit::Stretch));
    fit_->setCurrentIndex(fit_->findData(static_cast<int>(defaults.fit)));

    dither_ = new QSlider(Qt::Horizontal, parent);
    dither_->setObjectName(QStringLiteral("dithering"));
    dither_->setRange(0, kDitherSteps);
    dither_->setPageStep(10);
    dither_->setValue(static_cast<int>(defaults.dither * kDitherSteps + 0.5));
    dither_->setToolTip(
        QStringLiteral("How much the palette's colours are mixed to stand for the colours it "
                       "lacks; 0 % gives flat areas, 100 % the smoothest shades"));
    ditherValue_ = new QLabel(parent);
    ditherValue_->setMinimumWidth(ditherValue_->fontMetrics().horizontalAdvance("100 %"));
    ditherValue_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ShowDither();

    opaque_ = new QCheckBox(QStringLiteral("Keep the top-left colour opaque"), parent);
    opaque_->setObjectName(QStringLiteral("opaque"));
    opaque_->setChecked(defaults.opaque);
    opaque_->setEnabled(!pictureHasAlpha);
    opaque_->setToolTip(
        pictureHasAlpha
            ? QStringLiteral("The picture's alpha channel decides which pixels are transparent")
            : QStringLiteral("Unchecked, every pixel of the top-left pixel's colour becomes "
                             "transparent"));

    connect(fit_, &QComboBox::currentIndexChanged, this, &ConversionChoices::Changed);
    connect(dither_, &QSlider::valueChanged, this, [this] {
        ShowDither();
        emit Changed();
    });
    connect(opaque_, &QCheckBox::toggled, this, &ConversionChoices::Changed);
}

void ConversionChoices::AddRows(QFormLayout& form, int row) const {
    auto* ditherRow = new QHBoxLayout;
    ditherRow->addWidget(dither_, 1);
    ditherRow->addWidget(ditherValue_);
    const int first = row < 0 ? form.rowCount() : row;
    form.insertRow(first, QStringLiteral("Fit:"), fit_);
    form.insertRow(first + 1, QStringLiteral("Dithering:"), ditherRow);
    form.insertRow(first + 2, QStringLiteral("Transparency:"), opaque_);
}

ConversionOptions ConversionChoices::Options(ConversionOptions base) const {
    base.fit = static_cast<Fit>(fit_->currentData().toInt());
    base.dither = static_cast<double>(dither_->value()) / kDitherSteps;
    base.opaque = !pictureHasAlpha_ && opaque_->isChecked();
    return base;
}

void ConversionChoices::SetFitEnabled(bool enabled, const QString& toolTip) {
    fit_->setEnabled(enabled);
    fit_->setToolTip(toolTip);
}

void ConversionChoices::ShowDither() {
    ditherValue_->setText(QStringLiteral("%1 %").arg(dither_->value()));
}

}  // namespace vexlor
