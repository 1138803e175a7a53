#include "editors/windows/preview_panel.h"

#include <QLabel>
#include <QPainter>

namespace vexlor {
namespace {

constexpr int kImageInset = 8;

}  // namespace

PreviewPanel::PreviewPanel(const QString& caption, QSize panelSize, QSize imageSize,
                           QWidget* parent)
    : QFrame(parent), caption_(caption), image_(new QLabel(this)) {
    setObjectName(QStringLiteral("PreviewPanel"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAutoFillBackground(true);
    SetColour(palette().color(QPalette::Button));
    setFixedSize(panelSize);
    image_->setObjectName(QStringLiteral("PreviewImage"));
    image_->setGeometry(QRect(QPoint(kImageInset, kImageInset), imageSize));
}

void PreviewPanel::SetCaption(const QString& caption) {
    caption_ = caption;
    update();
}

QColor PreviewPanel::Colour() const {
    return palette().color(QPalette::Window);
}

void PreviewPanel::SetColour(const QColor& colour) {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colour);
    setPalette(colours);
}

void PreviewPanel::FitImageHeight(int height) {
    image_->resize(image_->width(), height);
    setFixedHeight(height + 2 * kImageInset);
}

void PreviewPanel::ShowPicture(const QImage& picture) {
    image_->setPixmap(QPixmap::fromImage(
        picture.scaled(image_->size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)));
}

void PreviewPanel::ClearPicture() {
    image_->clear();
}

QImage PreviewPanel::ShownPicture() const {
    const QPixmap shown = image_->pixmap();
    return shown.isNull() ? QImage() : shown.toImage();
}

void PreviewPanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawText(contentsRect(), Qt::AlignCenter, caption_);
}

}  // namespace vexlor
