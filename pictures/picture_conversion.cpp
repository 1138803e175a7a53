#include "pictures/picture_conversion.h"

#include <algorithm>
#include <array>
#include <vector>

#include "library/picture_size.h"
#include "pictures/palette_quantiser.h"

namespace vexlor {

namespace {

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

// The picture's pixels as palette indices: index 0 for the transparent ones, 1 + `positionAt(i)`
// in `ascending` for the opaque ones.
template <typename PositionAt>
IndexedImage Indexed(const RgbaPicture& picture, const std::vector<Colour>& ascending,
                     PositionAt positionAt) {
    std::vector<Colour> palette{UnusedColour(ascending)};
    palette.insert(palette.end(), ascending.begin(), ascending.end());
    IndexedImage image(picture.width, picture.height, std::move(palette));
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        if (IsOpaque(picture.rgba.data() + i * 4)) {
            image.indices[i] = static_cast<std::uint8_t>(1 + positionAt(i));
        }
    }
    return image;
}

// The opaque pixels' colours as at most 255 chosen for them, each pixel at its own entry.
std::optional<IndexedImage> QuantisedImage(const RgbaPicture& picture, double dither) {
    const auto quantised = QuantiseColours(picture, kOpaqueAlpha, kMostOpaqueColours, dither);
    if (!quantised) {
        return std::nullopt;
    }
    return Indexed(picture, quantised->palette,
                   [&](std::size_t i) { return quantised->entries[i]; });
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
        converted.image = Indexed(fitted, *few, [&](std::size_t i) {
            const Colour colour = ColourOf(fitted.rgba.data() + i * 4);
            return std::lower_bound(few->begin(), few->end(), colour) - few->begin();
        });
    } else if (auto quantised = QuantisedImage(fitted, options.dither)) {
        converted.image = std::move(*quantised);
    } else {
        return std::nullopt;
    }
    converted.colours = CountOpaqueColours(converted.image);
    return converted;
}

}  // namespace vexlor
