// The index-alpha decoders on pixel data and palettes of any length, then the encoder on the
// 256-colour image that IndexAlphaPictureToBmp made.
//
// Input: width code, height code, shade selector, palette length (two bytes), 4 bytes per
// palette entry (the top byte included), pixel data.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "library/index_alpha.h"

namespace {

using namespace vexlor;

int Side(std::uint8_t code) {
    switch (code) {
        case 0xFF:
            return 0;
        case 0xFE:
            return -7;
        case 0xFD:
            return 20000;
        default:
            return code % 48;
    }
}

ShadeFunction Shade(std::uint8_t code) {
    switch (code % 4) {
        case 0:
            return GreyShade;
        case 1:
            return GreenShade;
        case 2:
            return YellowShade;
        default:
            return nullptr;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) {
        return 0;
    }
    const int width = Side(data[0]);
    const int height = Side(data[1]);
    const ShadeFunction shade = Shade(data[2]);
    const std::size_t entries = data[3] | data[4] << 8;
    tPAL palette;
    std::size_t p = 5;
    for (std::size_t entry = 0; entry < entries && p + 4 <= size; ++entry, p += 4) {
        palette.push_back(static_cast<std::int32_t>(static_cast<std::uint32_t>(
            data[p] | data[p + 1] << 8 | data[p + 2] << 16 | data[p + 3] << 24)));
    }
    const tPIX pixels(data + p, data + size);

    TrueColourImage drawn;
    DrawIndexAlphaPicture(width, height, shade, pixels, palette, drawn);
    IndexedImage indexed;
    if (!IndexAlphaPictureToBmp(width, height, shade, pixels, palette, indexed)) {
        return 0;
    }
    if (palette.size() != 256 || indexed.indices.size() != drawn.pixels.size()) {
        std::abort();
    }
    tPIX encoded;
    tPAL encodedPalette;
    if (!BmpToIndexAlphaPicture(indexed, width, height, encoded, encodedPalette) ||
        encoded.size() != 2 * indexed.indices.size() || encodedPalette.empty() ||
        encodedPalette.size() > 256) {
        std::abort();
    }
    return 0;
}
