#include "browser/windows/library_browser_pictures.h"

#include <QPainter>

namespace vexlor {
namespace {

constexpr int kCheckerCell = 8;
const QColor kCheckerLight(0xcc, 0xcc, 0xcc);
const QColor kCheckerDark(0x99, 0x99, 0x99);

}  // namespace

QImage AnyPictureImage(const AnyPicture& picture) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.indices.size() != picture.PixelCount() ||
        picture.alpha.size() != picture.PixelCount() ||
        picture.PixelCount() !=
            static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
        return {};
    }
    QImage image(picture.width, picture.height, QImage::Format_ARGB32);
    if (image.isNull()) {
        return {};
    }
    std::size_t pixel = 0;
    for (int y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.width; ++x, ++pixel) {
            const Colour colour = picture.PaletteColour(picture.indices[pixel]);
            line[x] = qRgba(static_cast<int>(RedOf(colour)), static_cast<int>(GreenOf(colour)),
                            static_cast<int>(BlueOf(colour)), picture.alpha[pixel]);
        }
    }
    return image;
}

QBrush CheckerboardBrush() {
    QPixmap tile(2 * kCheckerCell, 2 * kCheckerCell);
    tile.fill(kCheckerLight);
    QPainter painter(&tile);
    painter.fillRect(0, 0, kCheckerCell, kCheckerCell, kCheckerDark);
    painter.fillRect(kCheckerCell, kCheckerCell, kCheckerCell, kCheckerCell, kCheckerDark);
    return QBrush(tile);
}

QPixmap ThumbnailPixmap(const QImage& picture, int side) {
    QPixmap thumbnail(side, side);
    thumbnail.fill(Qt::transparent);
    if (picture.isNull()) {
        return thumbnail;
    }
    const QSize size = picture.width() <= side && picture.height() <= side
                           ? picture.size()
                           : picture.size().scaled(side, side, Qt::KeepAspectRatio);
    const QRect target(QPoint((side - size.width()) / 2, (side - size.height()) / 2),
                       size.expandedTo(QSize(1, 1)));
    QPainter painter(&thumbnail);
    painter.fillRect(target, CheckerboardBrush());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
    return thumbnail;
}

}  // namespace vexlor
