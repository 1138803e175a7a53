// Both run-length decoders on arbitrary bytes, then the encoder on what RlePictureToBmp made of
// them: a picture it accepts must decode again to the same colours.
//
// Input: width code, height code, palette length, 3 bytes per palette entry, pixel data.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "library/run_length.h"

namespace {

using namespace vexlor;

// Small sizes keep the fuzzer fast; a few codes stand for the game's sizes and for the edges of
// the size check.
int Side(std::uint8_t code) {
    constexpr std::uint8_t kFirstSpecial = 0xF8;
    constexpr int kSpecial[] = {75, 100, 130, 180, 510, 16384, 16385, -1};
    return code >= kFirstSpecial ? kSpecial[code - kFirstSpecial] : code % 64;
}

struct Input {
    int width = 0;
    int height = 0;
    tPAL palette;
    tPIX pixels;
};

Input Parse(const std::uint8_t* data, std::size_t size) {
    Input input;
    if (size < 3) {
        return input;
    }
    input.width = Side(data[0]);
    input.height = Side(data[1]);
    std::size_t p = 3;
    for (std::size_t entry = 0; entry < data[2] && p + 3 <= size; ++entry, p += 3) {
        input.palette.push_back(data[p] | data[p + 1] << 8 | data[p + 2] << 16);
    }
    input.pixels.assign(data + p, data + size);
    return input;
}

// A whole-picture comparison per input would slow the fuzzer down on its largest sizes, which the
// decoders alone cover well enough.
constexpr std::size_t kMostCheckedPixels = 64 * 1024;

// What BmpToRlePicture keeps of an image: its colours, with the top-left colour as black.
void CheckReencoding(const IndexedImage& image) {
    tPIX pixels;
    tPAL palette;
    if (image.indices.size() > kMostCheckedPixels ||
        !BmpToRlePicture(image, image.width, image.height, pixels, palette)) {
        return;
    }
    TrueColourImage drawn;
    if (!DrawRlePicture(image.width, image.height, pixels, palette, drawn)) {
        std::abort();
    }
    const Colour transparent = image.palette[image.indices[0]];
    for (std::size_t i = 0; i < image.indices.size(); ++i) {
        const Colour colour = image.palette[image.indices[i]];
        if (drawn.pixels[i] != (colour == transparent ? 0 : colour)) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input = Parse(data, size);
    TrueColourImage drawn;
    DrawRlePicture(input.width, input.height, input.pixels, input.palette, drawn);
    IndexedImage indexed;
    RlePictureToBmp(input.width, input.height, input.pixels, input.palette, indexed);
    if (!indexed.indices.empty()) {
        if (input.palette.size() != 256 || indexed.palette.size() != 256 ||
            drawn.pixels.size() != indexed.indices.size()) {
            std::abort();
        }
        CheckReencoding(indexed);
    }
    return 0;
}
