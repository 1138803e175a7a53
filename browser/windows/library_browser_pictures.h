#pragma once

#include <QBrush>
#include <QImage>
#include <QPixmap>

#include "library/any_picture.h"

namespace vexlor {

// A drawn record as the screen shows it: palette colours, its own alpha (not multiplied in).
QImage AnyPictureImage(const AnyPicture& picture);

// The grey squares that show through where a picture is transparent.
QBrush CheckerboardBrush();

// The picture shrunk (never enlarged) into a `side` x `side` square over the checkerboard.
QPixmap ThumbnailPixmap(const QImage& picture, int side);

}  // namespace vexlor
