#include "browser/windows/library_browser_views.h"

#include <algorithm>
#include <cmath>

#include <QPaintEvent>
#include <QPainter>

#include "browser/windows/library_browser_pictures.h"

namespace vexlor {
namespace {

constexpr int kSwatchSide = 14;
constexpr int kMarkInset = 4;
// A widget's side cannot exceed this in Qt.
constexpr double kLargestSide = 16000000.0;

int Scaled(int length, double scale) {
    return static_cast<int>(std::min(kLargestSide, std::ceil(length * scale)));
}

}  // namespace

PictureCanvas::PictureCanvas(QWidget* parent) : QWidget(parent) {}

void PictureCanvas::SetPicture(const QImage& picture) {
    picture_ = picture;
    resize(sizeHint());
    update();
}

void PictureCanvas::SetScale(double scale) {
    scale_ = scale > 0 ? scale : 1.0;
    resize(sizeHint());
    update();
}

QSize PictureCanvas::sizeHint() const {
    if (picture_.isNull()) {
        return {1, 1};
    }
    return {std::max(1, Scaled(picture_.width(), scale_)),
            std::max(1, Scaled(picture_.height(), scale_))};
}

void PictureCanvas::paintEvent(QPaintEvent* event) {
    if (picture_.isNull()) {
        return;
    }
    QPainter painter(this);
    const QRect shown = event->rect() & QRect(QPoint(0, 0), sizeHint());
    painter.fillRect(shown, CheckerboardBrush());
    // Only the source pixels under the exposed rectangle are scaled, never the whole picture.
    const QRectF source(shown.x() / scale_, shown.y() / scale_, shown.width() / scale_,
                        shown.height() / scale_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, scale_ < 1.0);
    painter.drawImage(QRectF(shown), picture_, source);
}

PaletteSwatches::PaletteSwatches(QWidget* parent) : QWidget(parent) {
    setMinimumSize(sizeHint());
}

void PaletteSwatches::SetPalette(const tPAL& palette, const std::vector<bool>& used) {
    const std::size_t shown = std::min<std::size_t>(palette.size(), kShownEntries);
    colours_.assign(palette.begin(), palette.begin() + static_cast<std::ptrdiff_t>(shown));
    used_ = used;
    used_.resize(shown, false);
    update();
}

int PaletteSwatches::UsedCount() const {
    return static_cast<int>(std::count(used_.begin(), used_.end(), true));
}

QSize PaletteSwatches::sizeHint() const {
    return {kColumns * kSwatchSide + 1, kShownEntries / kColumns * kSwatchSide + 1};
}

// A used entry has a square in its middle of the colour that stands out on it.
void PaletteSwatches::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    for (std::size_t i = 0; i < colours_.size(); ++i) {
        const Colour colour = colours_[i];
        const QColor fill(static_cast<int>(RedOf(colour)), static_cast<int>(GreenOf(colour)),
                          static_cast<int>(BlueOf(colour)));
        const int column = static_cast<int>(i) % kColumns;
        const int row = static_cast<int>(i) / kColumns;
        const QRect swatch(column * kSwatchSide, row * kSwatchSide, kSwatchSide, kSwatchSide);
        painter.fillRect(swatch, fill);
        painter.setPen(Qt::darkGray);
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
        if (used_[i]) {
            const QColor mark = fill.lightness() > 127 ? Qt::black : Qt::white;
            painter.fillRect(swatch.adjusted(kMarkInset, kMarkInset, -kMarkInset, -kMarkInset),
                             mark);
        }
    }
}

}  // namespace vexlor
