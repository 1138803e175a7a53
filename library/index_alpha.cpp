#include "library/index_alpha.h"

#include <algorithm>
#include <vector>

#include "library/palette_lookup.h"
#include "library/picture_size.h"

namespace vexlor {

namespace {

bool CanDraw(int width, int height, ShadeFunction shade) {
    return shade != nullptr && IsAcceptablePictureSize(width, height);
}

// Whole pixel pairs that the data holds and the picture has room for.
std::size_t DrawablePixels(int width, int height, const tPIX& pixels) {
    return std::min(PixelCount(width, height), pixels.size() / 2);
}

// Nearest entries of shaded colours, remembered per (index, alpha): a picture has few distinct
// pairs, and a large damaged one must not cost a palette search per pixel.
class ShadedEntryCache {
  public:
    ShadedEntryCache(const std::vector<Colour>& palette, ShadeFunction shade)
        : palette_(palette), shade_(shade), entries_(256 * 256, kUnknown) {}

    std::uint8_t Entry(std::uint8_t index, std::uint8_t alpha) {
        std::int16_t& entry = entries_[static_cast<std::size_t>(index) * 256 + alpha];
        if (entry == kUnknown) {
            const Colour shaded = shade_(palette_[index], alpha);
            entry = static_cast<std::int16_t>(NearestPaletteEntry(palette_, shaded));
        }
        return static_cast<std::uint8_t>(entry);
    }

  private:
    static constexpr std::int16_t kUnknown = -1;
    const std::vector<Colour>& palette_;
    ShadeFunction shade_;
    std::vector<std::int16_t> entries_;
};

}  // namespace

bool DrawIndexAlphaPicture(int width, int height, ShadeFunction shade, const tPIX& pixels,
                           const tPAL& palette, TrueColourImage& out) {
    out = {};
    if (!CanDraw(width, height, shade)) {
        return false;
    }
    const IndexColours colours = ColoursByIndex(palette);
    out = TrueColourImage(width, height, colours[0]);
    const std::size_t count = DrawablePixels(width, height, pixels);
    for (std::size_t i = 0; i < count; ++i) {
        out.pixels[i] = shade(colours[pixels[2 * i]], pixels[2 * i + 1]);
    }
    return true;
}

bool IndexAlphaPictureToBmp(int width, int height, ShadeFunction shade, const tPIX& pixels,
                            tPAL& palette, IndexedImage& out) {
    out = {};
    if (!CanDraw(width, height, shade)) {
        return false;
    }
    ExtendPaletteTo256(palette);
    out = IndexedImage(width, height, PaletteColours(palette));
    ShadedEntryCache cache(out.palette, shade);
    const std::size_t count = DrawablePixels(width, height, pixels);
    for (std::size_t i = 0; i < count; ++i) {
        out.indices[i] = cache.Entry(pixels[2 * i], pixels[2 * i + 1]);
    }
    return true;
}

bool BmpToIndexAlphaPicture(const IndexedImage& image, int width, int height, tPIX& pixels,
                            tPAL& palette) {
    pixels.clear();
    palette.clear();
    if (!IsAcceptablePictureSize(width, height) || !CoversPicture(image, width, height)) {
        return false;
    }
    const IndexColours colours = ColoursByIndex(image.palette);
    const IndexMap firstEqual = FirstEqualEntries(colours);
    pixels.resize(2 * PixelCount(width, height));
    std::uint8_t highest = 0;
    auto out = pixels.begin();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t index = firstEqual[image.Index(x, y)];
            *out++ = index;
            *out++ = index == 0 ? 0 : 255;
            highest = std::max(highest, index);
        }
    }
    palette.assign(colours.begin(), colours.begin() + highest + 1);
    return true;
}

}  // namespace vexlor
