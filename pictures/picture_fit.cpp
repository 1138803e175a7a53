#include "pictures/picture_fit.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace vexlor {

namespace {

// Lanczos with three lobes: sharp, and its ringing is small on pictures of this scale.
constexpr double kLobes = 3.0;

double Lanczos(double x) {
    x = std::abs(x);
    if (x < 1e-9) {
        return 1.0;
    }
    if (x >= kLobes) {
        return 0.0;
    }
    const double pix = std::numbers::pi * x;
    return kLobes * std::sin(pix) * std::sin(pix / kLobes) / (pix * pix);
}

// The source samples and weights that make one target sample along one axis.
struct Taps {
    int first = 0;
    std::vector<float> weights;
};

// Target samples 0..targetSize-1 of a source of `sourceSize` samples scaled to `scaledSize` and
// placed at `offset`; samples outside the scaled picture get no taps.
std::vector<Taps> MakeTaps(int sourceSize, int scaledSize, int offset, int targetSize) {
    std::vector<Taps> taps(static_cast<std::size_t>(targetSize));
    const double scale = static_cast<double>(sourceSize) / scaledSize;
    const double stretch = std::max(1.0, scale);  // widen the filter when shrinking
    const double support = kLobes * stretch;
    for (int t = 0; t < targetSize; ++t) {
        const int inside = t - offset;
        if (inside < 0 || inside >= scaledSize) {
            continue;
        }
        const double centre = (inside + 0.5) * scale - 0.5;
        const int first = std::max(0, static_cast<int>(std::floor(centre - support)));
        const int last = std::min(sourceSize - 1, static_cast<int>(std::ceil(centre + support)));
        Taps& tap = taps[static_cast<std::size_t>(t)];
        tap.first = first;
        double sum = 0.0;
        for (int s = first; s <= last; ++s) {
            const double w = Lanczos((s - centre) / stretch);
            tap.weights.push_back(static_cast<float>(w));
            sum += w;
        }
        if (sum != 0.0) {
            for (float& w : tap.weights) {
                w = static_cast<float>(w / sum);
            }
        }
    }
    return taps;
}

// A source pixel with its colour multiplied by its alpha, as four floats.
void LoadPremultiplied(const RgbaPicture& picture, int x, int y, float* out) {
    const std::uint8_t* p = picture.Pixel(x, y);
    const float alpha = p[3] / 255.0f;
    out[0] = p[0] * alpha;
    out[1] = p[1] * alpha;
    out[2] = p[2] * alpha;
    out[3] = p[3];
}

void Accumulate(float* target, const float* source, float weight) {
    for (int c = 0; c < 4; ++c) {
        target[c] += source[c] * weight;
    }
}

std::uint8_t ToByte(float value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

void StorePixel(const float* sample, std::uint8_t* out) {
    const float alpha = std::clamp(sample[3], 0.0f, 255.0f);
    out[3] = ToByte(alpha);
    if (out[3] == 0) {
        out[0] = out[1] = out[2] = 0;
        return;
    }
    const float unmultiply = 255.0f / alpha;
    for (int c = 0; c < 3; ++c) {
        out[c] = ToByte(sample[c] * unmultiply);
    }
}

// Samples of an intermediate picture, four floats per pixel.
using Plane = std::vector<float>;

void ResampleRowsFirst(const RgbaPicture& source, const std::vector<Taps>& across,
                       const std::vector<Taps>& down, RgbaPicture& target) {
    const std::size_t width = across.size();
    Plane rows(static_cast<std::size_t>(source.height) * width * 4, 0.0f);
    std::vector<float> sourceRow(static_cast<std::size_t>(source.width) * 4);
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            LoadPremultiplied(source, x, y, sourceRow.data() + static_cast<std::size_t>(x) * 4);
        }
        float* row = rows.data() + static_cast<std::size_t>(y) * width * 4;
        for (std::size_t x = 0; x < width; ++x) {
            const Taps& tap = across[x];
            for (std::size_t k = 0; k < tap.weights.size(); ++k) {
                Accumulate(row + x * 4, sourceRow.data() + (tap.first + k) * 4, tap.weights[k]);
            }
        }
    }
    for (std::size_t y = 0; y < down.size(); ++y) {
        const Taps& tap = down[y];
        for (std::size_t x = 0; x < width; ++x) {
            float sample[4] = {0, 0, 0, 0};
            for (std::size_t k = 0; k < tap.weights.size(); ++k) {
                const std::size_t sourceY = static_cast<std::size_t>(tap.first) + k;
                Accumulate(sample, rows.data() + (sourceY * width + x) * 4, tap.weights[k]);
            }
            StorePixel(sample, target.Pixel(static_cast<int>(x), static_cast<int>(y)));
        }
    }
}

void ResampleColumnsFirst(const RgbaPicture& source, const std::vector<Taps>& across,
                          const std::vector<Taps>& down, RgbaPicture& target) {
    const auto sourceWidth = static_cast<std::size_t>(source.width);
    Plane columns(down.size() * sourceWidth * 4, 0.0f);
    float pixel[4];
    for (std::size_t y = 0; y < down.size(); ++y) {
        const Taps& tap = down[y];
        float* row = columns.data() + y * sourceWidth * 4;
        for (std::size_t k = 0; k < tap.weights.size(); ++k) {
            for (std::size_t x = 0; x < sourceWidth; ++x) {
                LoadPremultiplied(source, static_cast<int>(x), tap.first + static_cast<int>(k),
                                  pixel);
                Accumulate(row + x * 4, pixel, tap.weights[k]);
            }
        }
    }
    for (std::size_t y = 0; y < down.size(); ++y) {
        const float* row = columns.data() + y * sourceWidth * 4;
        for (std::size_t x = 0; x < across.size(); ++x) {
            const Taps& tap = across[x];
            float sample[4] = {0, 0, 0, 0};
            for (std::size_t k = 0; k < tap.weights.size(); ++k) {
                Accumulate(sample, row + (static_cast<std::size_t>(tap.first) + k) * 4,
                           tap.weights[k]);
            }
            StorePixel(sample, target.Pixel(static_cast<int>(x), static_cast<int>(y)));
        }
    }
}

}  // namespace

std::optional<Fit> ParseFit(std::string_view word) {
    if (word == "contain") {
        return Fit::Contain;
    }
    if (word == "cover") {
        return Fit::Cover;
    }
    if (word == "stretch") {
        return Fit::Stretch;
    }
    return std::nullopt;
}

const char* FitWord(Fit fit) {
    switch (fit) {
        case Fit::Contain:
            return "contain";
        case Fit::Cover:
            return "cover";
        case Fit::Stretch:
            return "stretch";
    }
    return "contain";
}

FitPlacement PlaceFitted(int sourceWidth, int sourceHeight, int targetWidth, int targetHeight,
                         Fit fit) {
    if (fit == Fit::Stretch || sourceWidth <= 0 || sourceHeight <= 0) {
        return {targetWidth, targetHeight, 0, 0};
    }
    const double across = static_cast<double>(targetWidth) / sourceWidth;
    const double down = static_cast<double>(targetHeight) / sourceHeight;
    const double scale = fit == Fit::Contain ? std::min(across, down) : std::max(across, down);
    FitPlacement placement;
    // The side that decides the scale keeps the target's size exactly; the other is rounded.
    placement.width = scale == across
                          ? targetWidth
                          : std::max(1, static_cast<int>(std::lround(sourceWidth * scale)));
    placement.height = scale == down
                           ? targetHeight
                           : std::max(1, static_cast<int>(std::lround(sourceHeight * scale)));
    placement.left = (targetWidth - placement.width) / 2;
    placement.top = (targetHeight - placement.height) / 2;
    return placement;
}

RgbaPicture FitPicture(const RgbaPicture& source, int width, int height, Fit fit) {
    if (source.width == width && source.height == height) {
        return source;
    }
    RgbaPicture target(width, height);
    if (source.IsEmpty() || width <= 0 || height <= 0) {
        return target;
    }
    const FitPlacement placement = PlaceFitted(source.width, source.height, width, height, fit);
    const std::vector<Taps> across = MakeTaps(source.width, placement.width, placement.left, width);
    const std::vector<Taps> down = MakeTaps(source.height, placement.height, placement.top, height);
    // The pass that shrinks the intermediate most goes first, so that a picture far longer on
    // one side than the other never needs more than one target side's worth of samples per line.
    const bool rowsFirst =
        static_cast<std::size_t>(source.height) * static_cast<std::size_t>(width) <=
        static_cast<std::size_t>(source.width) * static_cast<std::size_t>(height);
    if (rowsFirst) {
        ResampleRowsFirst(source, across, down, target);
    } else {
        ResampleColumnsFirst(source, across, down, target);
    }
    target.hasAlpha = source.hasAlpha || placement.width < width || placement.height < height;
    return target;
}

}  // namespace vexlor
