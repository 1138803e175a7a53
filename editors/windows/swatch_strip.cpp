#include "editors/windows/swatch_strip.h"

#include <array>
#include <cmath>

#include <QMouseEvent>
#include <QPainter>

namespace vexlor {
namespace {

constexpr int kSwatchPitch = 32;
constexpr int kStripWidth = 6 * kSwatchPitch + 1;
constexpr int kStripHeight = 32;

QImage DrawStrip() {
    const std::array<QColor, 6> swatches = {QColor(255, 0, 0),     QColor(0, 255, 0),
                                            QColor(0, 0, 255),     QColor(0, 0, 0),
                                            QColor(192, 192, 192), QColor(255, 255, 255)};
    QImage strip(kStripWidth, kStripHeight, QImage::Format_RGB32);
    strip.fill(Qt::black);
    QPainter painter(&strip);
    for (int i = 0; i < static_cast<int>(swatches.size()); ++i) {
        // Inside the frame and the separators, which stay black.
        painter.fillRect(i * kSwatchPitch + 1, 1, kSwatchPitch - 1, kStripHeight - 2,
                         swatches[static_cast<size_t>(i)]);
    }
    return strip;
}

}  // namespace

SwatchStrip::SwatchStrip(QWidget* parent) : QLabel(parent), strip_(DrawStrip()) {
    setObjectName(QStringLiteral("SwatchStrip"));
    setPixmap(QPixmap::fromImage(strip_));
    setFixedSize(strip_.size());
    setCursor(Qt::PointingHandCursor);
}

QColor SwatchStrip::PixelAt(int x, int y) const {
    return strip_.valid(x, y) ? QColor(strip_.pixel(x, y)) : QColor();
}

void SwatchStrip::mouseReleaseEvent(QMouseEvent* event) {
    emit Released(static_cast<int>(std::floor(event->position().x())));
    QLabel::mouseReleaseEvent(event);
}

}  // namespace vexlor
