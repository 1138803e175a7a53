#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "library/images.h"
#include "pictures/rgba_picture.h"

namespace vexlor {

// A palette for a picture's opaque pixels (alpha at or above `opaqueAlpha`) and the entry each
// takes; the transparent pixels' entries mean nothing.
struct QuantisedColours {
    std::vector<Colour> palette;  // distinct colours, ascending
    std::vector<std::uint8_t> entries;
};

// Exactly `most` colours (1 to 255) for a picture of more opaque colours than that, else as many
// as it has, chosen for the least squared error over its opaque pixels, and each opaque pixel's
// entry: the nearest colour without `dither`, else with error diffused as much as it says (0 to
// 1) where the picture is smooth. Nothing when libimagequant fails or there is no opaque pixel.
std::optional<QuantisedColours> QuantiseColours(const RgbaPicture& picture, int opaqueAlpha,
                                                int most, double dither);

}  // namespace vexlor
