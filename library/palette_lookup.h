#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "library/images.h"

namespace vexlor {

// Entries of the palettes that 256-colour images carry and that the decoders extend to.
inline constexpr std::size_t kBmpPaletteSize = 256;

// A colour's red, green and blue without the top byte, which no colour comparison looks at.
inline constexpr Colour RgbOf(Colour colour) {
    return colour & 0xFFFFFFu;
}

// The entry whose colour has the smallest squared red-green-blue distance to `colour`, the
// lowest such index on ties; so a colour that the palette holds finds its first equal entry.
// 0 for an empty palette.
std::size_t NearestPaletteEntry(std::span<const Colour> palette, Colour colour);

// A palette seen through 8-bit indices: entry i for every index, black beyond the palette's end.
using IndexColours = std::array<Colour, kBmpPaletteSize>;
IndexColours ColoursByIndex(std::span<const Colour> palette);
IndexColours ColoursByIndex(const tPAL& palette);

// For every index, the first index whose colour is the same: the nearest palette entry of a
// colour that the palette holds, looked up once per index instead of once per pixel.
using IndexMap = std::array<std::uint8_t, kBmpPaletteSize>;
IndexMap FirstEqualEntries(const IndexColours& colours);

// Makes the palette exactly 256 entries long: appends black entries or drops the surplus.
void ExtendPaletteTo256(tPAL& palette);

// The palette's entries as the colours of an image.
std::vector<Colour> PaletteColours(const tPAL& palette);

}  // namespace vexlor
