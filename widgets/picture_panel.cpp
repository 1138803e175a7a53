#include "widgets/picture_panel.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>

namespace vexlor {

PicturePanel::PicturePanel(QSize panelSize, QSize areaSize, QWidget* parent)
    : QFrame(parent), image_(new QLabel(this)) {
    setFixedSize(panelSize);
    setFrameShape(QFrame::NoFrame);
    const QPoint areaCorner((panelSize.width() - areaSize.width()) / 2,
                            (panelSize.height() - areaSize.height()) / 2);
    image_->setGeometry(QRect(areaCorner, areaSize));
    image_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The caption behind the area shows wherever no picture is.
    image_->setAttribute(Qt::WA_TranslucentBackground);
}

void PicturePanel::SetCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void PicturePanel::ShowPicture(const QImage& picture) {
    image_->setPixmap(QPixmap::fromImage(picture));
}

void PicturePanel::ClearPicture() {
    image_->clear();
}

QImage PicturePanel::ShownPicture() const {
    const QPixmap shown = image_->pixmap();
    return shown.isNull() ? QImage() : shown.toImage();
}

QFont PicturePanel::CaptionFont() const {
    QFont bold = font();
    bold.setBold(true);
    // A small panel gets smaller letters, so that its caption shows whole.
    const int room = width() - 2 * kCaptionMargin;
    for (qreal size = bold.pointSizeF(); size > kSmallestCaptionPoints; size -= 0.5) {
        if (QFontMetrics(bold).horizontalAdvance(caption_) <= room) {
            break;
        }
        bold.setPointSizeF(size - 0.5);
    }
    return bold;
}

void PicturePanel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.setFont(CaptionFont());
    painter.setPen(Qt::red);
    painter.drawText(rect(), Qt::AlignCenter, caption_);
}

}  // namespace vexlor
