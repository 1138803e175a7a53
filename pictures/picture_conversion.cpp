#include "pictures/picture_conversion.h"

#include <libimagequant.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "library/picture_size.h"

namespace vexlor {

namespace {

// libimagequant's trade of time for quality. Measured on rendered and plasma pictures, speeds
// 3 to 7 give palettes within a few tenths of a dB of each other; 7 converts the largest
// picture a library holds in about 25 ms, quick enough for the dialog to follow its options.
constexpr int kQuantiserSpeed = 7;

// libimagequant's objects, each released by its own function.
struct AttrRelease {
    void operator()(liq_attr* attr) const { liq_attr_destroy(attr); }
};
struct ResultRelease {
    void operator()(liq_result* result) const { liq_result_destroy(result); }
};
struct HistogramRelease {
    void operator()(liq_histogram* histogram) const { liq_histogram_destroy(histogram); }
};
using Attr = std::unique_ptr<liq_attr, AttrRelease>;
using Histogram = std::unique_ptr<liq_histogram, HistogramRelease>;
using QuantResult = std::unique_ptr<liq_result, ResultRelease>;

bool IsOpaque(const std::uint8_t* pixel) {
    return pixel[3] >= kOpaqueAlpha;
}

Colour ColourOf(const std::uint8_t* pixel) {
    return MakeColour(pixel[0], pixel[1], pixel[2]);
}

// The transparency that the file or the top-left colour rule gives, before any fitting.
RgbaPicture WithTransparency(const RgbaPicture& source, bool opaque) {
    RgbaPicture picture = source;
    if (source.hasAlpha) {
        return picture;
    }
    const Colour key = ColourOf(source.Pixel(0, 0));
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        std::uint8_t* pixel = picture.rgba.data() + i * 4;
        pixel[3] = !opaque && ColourOf(pixel) == key ? 0 : 255;
    }
    picture.hasAlpha = !opaque;
    return picture;
}

// Perceived brightness in thousandths of a level, with the weights of standard-definition
// video.
std::uint32_t Brightness(const std::uint8_t* pixel) {
    return 299u * pixel[0] + 587u * pixel[1] + 114u * pixel[2];
}

// The game's shade keeps a colour's brightest channel, the list its green (HULL) or its red and
// green (MAP): a grey shows one and the same level in all of them. The brightest opaque pixel
// keeps its brightest channel's level and the others follow in proportion, so that a picture in
// one hue (a green one, a red one) keeps its levels and a grey one stays as it is.
void ToGreyLevels(RgbaPicture& picture) {
    std::uint32_t brightest = 0;
    std::uint32_t highestChannel = 0;
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        const std::uint8_t* pixel = picture.rgba.data() + i * 4;
        if (IsOpaque(pixel)) {
            brightest = std::max(brightest, Brightness(pixel));
            highestChannel =
                std::max<std::uint32_t>(highestChannel, *std::max_element(pixel, pixel + 3));
        }
    }
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        std::uint8_t* pixel = picture.rgba.data() + i * 4;
        const std::uint32_t level =
            brightest == 0 ? 0 : (Brightness(pixel) * highestChannel + brightest / 2) / brightest;
        pixel[0] = pixel[1] = pixel[2] = static_cast<std::uint8_t>(std::min(level, 255u));
    }
}

// The distinct colours of the opaque pixels, ascending, as long as there are few enough to keep.
std::optional<std::vector<Colour>> FewOpaqueColours(const RgbaPicture& picture) {
    // An open-addressed set four times the largest count kept; colours never have the top byte
    // set, so that marks an empty slot.
    constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    constexpr std::size_t kSlots = 1024;
    std::array<std::uint32_t, kSlots> slots;
    slots.fill(kEmpty);
    std::vector<Colour> colours;
    Colour previous = kEmpty;
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        const std::uint8_t* pixel = picture.rgba.data() + i * 4;
        const Colour colour = ColourOf(pixel);
        if (!IsOpaque(pixel) || colour == previous) {
            continue;
        }
        previous = colour;
        std::size_t slot = (colour * 2654435761u) >> 22;
        while (slots[slot] != kEmpty && slots[slot] != colour) {
            slot = (slot + 1) % kSlots;
        }
        if (slots[slot] == kEmpty) {
            if (colours.size() == static_cast<std::size_t>(kMostOpaqueColours)) {
                return std::nullopt;
            }
            slots[slot] = colour;
            colours.push_back(colour);
        }
    }
    std::sort(colours.begin(), colours.end());
    return colours;
}

// Entry 0: the lowest colour value that no opaque pixel has, so that no encoder can take an
// opaque pixel for a transparent one.
Colour UnusedColour(const std::vector<Colour>& ascending) {
    Colour candidate = 0;
    for (Colour colour : ascending) {
        if (colour != candidate) {
            break;
        }
        ++candidate;
    }
    return candidate;
}

// The picture's pixels as palette indices: index 0 for the transparent ones, 1 + the position
// in `ascending` for the opaque ones, whose colour `colourAt(i)` gives.
template <typename ColourAt>
IndexedImage Indexed(const RgbaPicture& picture, const std::vector<Colour>& ascending,
                     ColourAt colourAt) {
    std::vector<Colour> palette{UnusedColour(ascending)};
    palette.insert(palette.end(), ascending.begin(), ascending.end());
    IndexedImage image(picture.width, picture.height, std::move(palette));
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        if (!IsOpaque(picture.rgba.data() + i * 4)) {
            continue;
        }
        const Colour colour = colourAt(i);
        const auto found = std::lower_bound(ascending.begin(), ascending.end(), colour);
        image.indices[i] = static_cast<std::uint8_t>(1 + (found - ascending.begin()));
    }
    return image;
}

// The opaque pixels' colours gathered into buckets of 2^shift levels per channel, each bucket at
// the mean of its colours with their count: the palette's k-means sees the same centroids as with
// every pixel, at a fraction of the cost.
std::vector<liq_histogram_entry> OpaqueHistogram(const RgbaPicture& picture, unsigned shift) {
    struct Bucket {
        std::uint32_t red = 0, green = 0, blue = 0, count = 0;
    };
    const unsigned bits = 8 - shift;
    std::vector<Bucket> buckets(std::size_t{1} << (3 * bits));
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        const std::uint8_t* pixel = picture.rgba.data() + i * 4;
        if (!IsOpaque(pixel)) {
            continue;
        }
        Bucket& bucket = buckets[(static_cast<std::size_t>(pixel[0] >> shift) << (2 * bits)) |
                                 (static_cast<std::size_t>(pixel[1] >> shift) << bits) |
                                 static_cast<std::size_t>(pixel[2] >> shift)];
        bucket.red += pixel[0];
        bucket.green += pixel[1];
        bucket.blue += pixel[2];
        ++bucket.count;
    }
    std::vector<liq_histogram_entry> entries;
    for (const Bucket& bucket : buckets) {
        if (bucket.count == 0) {
            continue;
        }
        const auto mean = [&](std::uint32_t sum) {
            return static_cast<unsigned char>((sum + bucket.count / 2) / bucket.count);
        };
        entries.push_back(
            {{mean(bucket.red), mean(bucket.green), mean(bucket.blue), 255}, bucket.count});
    }
    return entries;
}

// Buckets of 8 levels for pictures of many colours; a smooth picture, whose colours fill few
// of them, is gathered at 4 levels, so that its gradients keep every step the palette can hold.
std::vector<liq_histogram_entry> OpaqueHistogram(const RgbaPicture& picture) {
    constexpr std::size_t kFewBuckets = 2048;
    std::vector<liq_histogram_entry> entries = OpaqueHistogram(picture, 3);
    if (entries.size() < kFewBuckets) {
        entries = OpaqueHistogram(picture, 2);
    }
    return entries;
}

// At most `most` colours chosen by libimagequant for the opaque pixels; nothing when it fails.
std::optional<std::vector<Colour>> QuantisedPalette(const RgbaPicture& picture, int most) {
    const Attr attr(liq_attr_create());
    if (!attr || liq_set_max_colors(attr.get(), most) != LIQ_OK ||
        liq_set_speed(attr.get(), kQuantiserSpeed) != LIQ_OK) {
        return std::nullopt;
    }
    const std::vector<liq_histogram_entry> entries = OpaqueHistogram(picture);
    const Histogram histogram(liq_histogram_create(attr.get()));
    if (!histogram || entries.empty() ||
        liq_histogram_add_colors(histogram.get(), attr.get(), entries.data(),
                                 static_cast<int>(entries.size()), 0) != LIQ_OK) {
        return std::nullopt;
    }
    liq_result* made = nullptr;
    if (liq_histogram_quantize(histogram.get(), attr.get(), &made) != LIQ_OK) {
        return std::nullopt;
    }
    const QuantResult result(made);
    const liq_palette* palette = liq_get_palette(result.get());
    std::vector<Colour> colours;
    for (unsigned i = 0; i < palette->count; ++i) {
        const liq_color& c = palette->entries[i];
        colours.push_back(MakeColour(c.r, c.g, c.b));
    }
    std::sort(colours.begin(), colours.end());
    colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
    return colours;
}

// Exact nearest-colour search: the colour cube is cut into 16 x 16 x 16 cells, and each cell,
// when first asked, keeps only the palette entries that can be nearest to some point inside it
// (those no farther from the cell than the entry whose farthest corner is nearest).
class NearestColour {
  public:
    explicit NearestColour(const std::vector<Colour>& palette) : palette_(palette) {
        cells_.resize(kCells * kCells * kCells);
    }

    // The palette position nearest to (red, green, blue), each 0 to 255.
    std::size_t Find(int red, int green, int blue) {
        const std::size_t cell = static_cast<std::size_t>(red / kSide) * kCells * kCells +
                                 static_cast<std::size_t>(green / kSide) * kCells +
                                 static_cast<std::size_t>(blue / kSide);
        std::vector<std::uint8_t>& candidates = cells_[cell];
        if (candidates.empty()) {
            candidates = CandidatesOf(red / kSide, green / kSide, blue / kSide);
        }
        std::size_t best = candidates.front();
        int bestDistance = std::numeric_limits<int>::max();
        for (std::uint8_t position : candidates) {
            const Colour c = palette_[position];
            const int dr = static_cast<int>(RedOf(c)) - red;
            const int dg = static_cast<int>(GreenOf(c)) - green;
            const int db = static_cast<int>(BlueOf(c)) - blue;
            const int distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = position;
            }
        }
        return best;
    }

  private:
    static constexpr int kSide = 16;
    static constexpr std::size_t kCells = 256 / kSide;

    // Squared distances from a channel value to the nearest and farthest point of a cell's side.
    static int Nearest(int value, int low) {
        const int high = low + kSide - 1;
        const int d = value < low ? low - value : value > high ? value - high : 0;
        return d * d;
    }
    static int Farthest(int value, int low) {
        const int d = std::max(std::abs(value - low), std::abs(value - (low + kSide - 1)));
        return d * d;
    }

    std::vector<std::uint8_t> CandidatesOf(int r, int g, int b) const {
        const int lows[3] = {r * kSide, g * kSide, b * kSide};
        std::vector<int> nearest(palette_.size());
        int bound = std::numeric_limits<int>::max();
        for (std::size_t i = 0; i < palette_.size(); ++i) {
            const int channel[3] = {static_cast<int>(RedOf(palette_[i])),
                                    static_cast<int>(GreenOf(palette_[i])),
                                    static_cast<int>(BlueOf(palette_[i]))};
            int near = 0;
            int far = 0;
            for (int c = 0; c < 3; ++c) {
                near += Nearest(channel[c], lows[c]);
                far += Farthest(channel[c], lows[c]);
            }
            nearest[i] = near;
            bound = std::min(bound, far);
        }
        std::vector<std::uint8_t> candidates;
        for (std::size_t i = 0; i < palette_.size(); ++i) {
            if (nearest[i] <= bound) {
                candidates.push_back(static_cast<std::uint8_t>(i));
            }
        }
        return candidates;
    }

    const std::vector<Colour>& palette_;
    std::vector<std::vector<std::uint8_t>> cells_;
};

// Floyd-Steinberg error diffusion, scaled by `dither`, over the opaque pixels in serpentine
// order; transparent pixels neither take nor pass on error, so the edges stay clean. The
// diffused error is limited so that a run of one colour cannot push a streak across the picture.
std::vector<Colour> Remapped(const RgbaPicture& picture, const std::vector<Colour>& palette,
                             double dither) {
    NearestColour nearest(palette);
    const auto width = static_cast<std::size_t>(picture.width);
    std::vector<Colour> pixels(picture.PixelCount(), 0);
    // Error of this row and the next, three floats per pixel, one pixel of margin each side.
    std::vector<float> current((width + 2) * 3, 0.0f);
    std::vector<float> next((width + 2) * 3, 0.0f);
    const auto amount = static_cast<float>(std::clamp(dither, 0.0, 1.0));
    constexpr float kMostError = 48.0f;
    for (std::size_t y = 0; y < static_cast<std::size_t>(picture.height); ++y) {
        const bool rightwards = y % 2 == 0;
        for (std::size_t k = 0; k < width; ++k) {
            const std::size_t x = rightwards ? k : width - 1 - k;
            const std::size_t i = y * width + x;
            const std::uint8_t* pixel = picture.rgba.data() + i * 4;
            if (!IsOpaque(pixel)) {
                continue;
            }
            float* error = current.data() + (x + 1) * 3;
            int wanted[3];
            for (int c = 0; c < 3; ++c) {
                const float value = pixel[c] + std::clamp(error[c], -kMostError, kMostError);
                wanted[c] = std::clamp(static_cast<int>(std::lround(value)), 0, 255);
            }
            const Colour chosen =
                palette[static_cast<std::size_t>(nearest.Find(wanted[0], wanted[1], wanted[2]))];
            pixels[i] = chosen;
            if (amount == 0.0f) {
                continue;
            }
            const int got[3] = {static_cast<int>(RedOf(chosen)), static_cast<int>(GreenOf(chosen)),
                                static_cast<int>(BlueOf(chosen))};
            const std::ptrdiff_t ahead = rightwards ? 3 : -3;
            float* below = next.data() + (x + 1) * 3;
            for (int c = 0; c < 3; ++c) {
                const float e = (static_cast<float>(wanted[c] - got[c])) * amount / 16.0f;
                error[ahead + c] += e * 7.0f;
                below[-ahead + c] += e * 3.0f;
                below[c] += e * 5.0f;
                below[ahead + c] += e * 1.0f;
            }
        }
        std::swap(current, next);
        std::fill(next.begin(), next.end(), 0.0f);
    }
    return pixels;
}

std::optional<IndexedImage> QuantisedImage(const RgbaPicture& picture, double dither) {
    const auto palette = QuantisedPalette(picture, kMostOpaqueColours);
    if (!palette || palette->empty()) {
        return std::nullopt;
    }
    const std::vector<Colour> pixels = Remapped(picture, *palette, dither);
    return Indexed(picture, *palette, [&](std::size_t i) { return pixels[i]; });
}

// Every pixel that shows at all as opaque, for a palette that soft edges take their colours from.
RgbaPicture EveryVisiblePixelOpaque(const RgbaPicture& picture) {
    RgbaPicture opaque = picture;
    for (std::size_t i = 0; i < opaque.PixelCount(); ++i) {
        std::uint8_t& alpha = opaque.rgba[i * 4 + 3];
        alpha = alpha > 0 ? 255 : 0;
    }
    return opaque;
}

int CountOpaqueColours(const IndexedImage& image) {
    std::vector<bool> used(image.palette.size(), false);
    for (std::uint8_t index : image.indices) {
        if (index != 0 && index < used.size()) {
            used[index] = true;
        }
    }
    return static_cast<int>(std::count(used.begin(), used.end(), true));
}

}  // namespace

std::optional<ConvertedPicture> ConvertPicture(const RgbaPicture& source, int width, int height,
                                               const ConversionOptions& options) {
    if (source.IsEmpty() || source.rgba.size() != source.PixelCount() * 4 ||
        !IsAcceptablePictureSize(width, height)) {
        return std::nullopt;
    }
    ConvertedPicture converted;
    converted.fitted =
        FitPicture(WithTransparency(source, options.opaque), width, height, options.fit);
    if (options.shades) {
        ToGreyLevels(converted.fitted);
    }
    const std::optional<RgbaPicture> visible =
        options.softAlpha ? std::optional(EveryVisiblePixelOpaque(converted.fitted)) : std::nullopt;
    const RgbaPicture& fitted = visible ? *visible : converted.fitted;
    if (const auto few = FewOpaqueColours(fitted)) {
        converted.exact = true;
        converted.image = Indexed(
            fitted, *few, [&](std::size_t i) { return ColourOf(fitted.rgba.data() + i * 4); });
    } else if (auto quantised = QuantisedImage(fitted, options.dither)) {
        converted.image = std::move(*quantised);
    } else {
        return std::nullopt;
    }
    converted.colours = CountOpaqueColours(converted.image);
    return converted;
}

}  // namespace vexlor
