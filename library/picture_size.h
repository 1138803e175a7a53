#pragma once

#include <cstddef>

#include "library/images.h"

namespace vexlor {

// Picture sizes reach the converters from 32-bit record fields that a damaged file can fill with
// anything. These bounds, far above the game's largest picture (510 x 260), keep one bad record
// from allocating gigabytes.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr std::size_t kMaxPicturePixels = std::size_t{64} * 1024 * 1024;

inline constexpr std::size_t PixelCount(int width, int height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

inline constexpr bool IsAcceptablePictureSize(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           PixelCount(width, height) <= kMaxPicturePixels;
}

// True when the image is well formed and holds at least width x height pixels from its top-left
// corner, so that an encoder may read them without checking each one.
inline bool CoversPicture(const IndexedImage& image, int width, int height) {
    return image.width >= width && image.height >= height && image.width > 0 && image.height > 0 &&
           image.indices.size() == PixelCount(image.width, image.height);
}

}  // namespace vexlor
