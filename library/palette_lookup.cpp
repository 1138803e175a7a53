#include "library/palette_lookup.h"

#include <algorithm>

namespace vexlor {

namespace {

std::uint32_t SquaredDistance(Colour a, Colour b) {
    const auto square = [](unsigned x, unsigned y) {
        const unsigned d = x > y ? x - y : y - x;
        return d * d;
    };
    return square(RedOf(a), RedOf(b)) + square(GreenOf(a), GreenOf(b)) +
           square(BlueOf(a), BlueOf(b));
}

}  // namespace

std::size_t NearestPaletteEntry(std::span<const Colour> palette, Colour colour) {
    std::size_t nearest = 0;
    std::uint32_t nearestDistance = UINT32_MAX;
    for (std::size_t i = 0; i < palette.size() && nearestDistance != 0; ++i) {
        const std::uint32_t distance = SquaredDistance(palette[i], colour);
        if (distance < nearestDistance) {
            nearest = i;
            nearestDistance = distance;
        }
    }
    return nearest;
}

IndexColours ColoursByIndex(std::span<const Colour> palette) {
    IndexColours colours{};
    std::copy_n(palette.begin(), std::min(palette.size(), kBmpPaletteSize), colours.begin());
    return colours;
}

IndexColours ColoursByIndex(const tPAL& palette) {
    IndexColours colours{};
    const std::size_t count = std::min(palette.size(), kBmpPaletteSize);
    for (std::size_t i = 0; i < count; ++i) {
        colours[i] = static_cast<Colour>(palette[i]);
    }
    return colours;
}

IndexMap FirstEqualEntries(const IndexColours& colours) {
    IndexMap first{};
    for (std::size_t i = 0; i < kBmpPaletteSize; ++i) {
        std::size_t j = 0;
        while (RgbOf(colours[j]) != RgbOf(colours[i])) {
            ++j;
        }
        first[i] = static_cast<std::uint8_t>(j);
    }
    return first;
}

void ExtendPaletteTo256(tPAL& palette) {
    palette.resize(kBmpPaletteSize, 0);
}

std::vector<Colour> PaletteColours(const tPAL& palette) {
    std::vector<Colour> colours(palette.size());
    std::transform(palette.begin(), palette.end(), colours.begin(),
                   [](std::int32_t value) { return static_cast<Colour>(value); });
    return colours;
}

}  // namespace vexlor
