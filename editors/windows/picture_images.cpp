#include "editors/windows/picture_images.h"

namespace vexlor {

QRgb ToRgb(Colour colour) {
    return qRgb(static_cast<int>(RedOf(colour)), static_cast<int>(GreenOf(colour)),
                static_cast<int>(BlueOf(colour)));
}

QImage ThumbnailImage(const TrueColourImage& thumbnail, Colour transparent) {
    QImage image(thumbnail.width, thumbnail.height, QImage::Format_ARGB32);
    for (int y = 0; y < thumbnail.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < thumbnail.width; ++x) {
            const Colour colour = thumbnail.Pixel(x, y);
            line[x] = colour == transparent ? qRgba(0, 0, 0, 0) : ToRgb(colour);
        }
    }
    return image;
}

QImage StagedImage(const IndexedImage& picture) {
    QImage image(picture.width, picture.height, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.width; ++x) {
            line[x] = ToRgb(picture.PixelColour(x, y));
        }
    }
    return image;
}

QImage ConvertedImage(const IndexedImage& picture) {
    QImage image = StagedImage(picture);
    for (int y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.width; ++x) {
            if (picture.Index(x, y) == 0) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    return image;
}

QImage WithTopLeftColourTransparent(const QImage& picture) {
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) {
        return image;
    }
    const QRgb key = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == key) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    return image;
}

}  // namespace vexlor
