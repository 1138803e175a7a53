#include "library/stretch.h"

#include <vector>

#include "library/picture_size.h"

namespace vexlor {

namespace {

bool HasPixels(const TrueColourImage& image) {
    return image.width > 0 && image.height > 0 &&
           image.pixels.size() == PixelCount(image.width, image.height);
}

// The source coordinate that each of `targetLength` target coordinates samples.
std::vector<std::size_t> SampleCoordinates(int sourceLength, int targetLength) {
    std::vector<std::size_t> samples(static_cast<std::size_t>(targetLength));
    for (std::size_t t = 0; t < samples.size(); ++t) {
        samples[t] =
            t * static_cast<std::size_t>(sourceLength) / static_cast<std::size_t>(targetLength);
    }
    return samples;
}

}  // namespace

bool StretchPicture(const TrueColourImage& source, int width, int height, TrueColourImage& out) {
    out = {};
    if (!IsAcceptablePictureSize(width, height) || !HasPixels(source)) {
        return false;
    }
    out = TrueColourImage(width, height);
    const auto columns = SampleCoordinates(source.width, width);
    const auto rows = SampleCoordinates(source.height, height);
    const auto sourceWidth = static_cast<std::size_t>(source.width);
    auto target = out.pixels.begin();
    for (const std::size_t row : rows) {
        const auto sourceRow =
            source.pixels.begin() + static_cast<std::ptrdiff_t>(row * sourceWidth);
        for (const std::size_t column : columns) {
            *target++ = sourceRow[static_cast<std::ptrdiff_t>(column)];
        }
    }
    return true;
}

}  // namespace vexlor
