#pragma once

#include <QImage>

#include "library/images.h"

namespace vexlor {

// The screen's colour for a library colour value (red + 256 x green + 65536 x blue).
QRgb ToRgb(Colour colour);

// A list thumbnail: every pixel of the colour `transparent` lets the list's background through.
QImage ThumbnailImage(const TrueColourImage& thumbnail, Colour transparent);

// A staged 256-colour picture as the screen shows it, every pixel opaque.
QImage StagedImage(const IndexedImage& picture);

// A converted picture as the screen shows it: index 0 see-through, the others opaque.
QImage ConvertedImage(const IndexedImage& picture);

// The picture with every pixel that has its top-left pixel's colour made see-through, so that
// whatever lies behind shows there.
QImage WithTopLeftColourTransparent(const QImage& picture);

}  // namespace vexlor
