// Decodes arbitrary bytes as a BMP file. Beyond the sanitizers' checks it traps when a
// decoded picture breaks its own promises, and when an 8-bit picture does not survive being
// written and read again.
#include <cstddef>
#include <cstdint>

#include "library/bmp_file.h"

namespace {

bool IsConsistent(const vexlor::BmpPicture& picture) {
    const auto& colours = picture.colours;
    const auto& indexed = picture.indexed;
    const std::size_t pixels =
        static_cast<std::size_t>(colours.width) * static_cast<std::size_t>(colours.height);
    if (colours.width < 1 || colours.height < 1 || colours.pixels.size() != pixels) {
        return false;
    }
    if (picture.bitsPerPixel > 8) {
        return indexed.indices.empty();
    }
    return indexed.width == colours.width && indexed.height == colours.height &&
           indexed.indices.size() == pixels && indexed.palette.size() <= 256;
}

bool SurvivesRewriting(const vexlor::IndexedImage& image) {
    const std::vector<std::uint8_t> file = vexlor::EncodeBmp8(image);
    vexlor::BmpPicture again;
    if (!vexlor::DecodeBmp(file.data(), file.size(), again)) {
        return false;
    }
    for (std::size_t k = 0; k < 256; ++k) {
        if (again.indexed.PaletteColour(k) != image.PaletteColour(k)) {
            return false;
        }
    }
    return again.indexed.indices == image.indices;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vexlor::BmpPicture picture;
    if (!vexlor::DecodeBmp(data, size, picture)) {
        return 0;
    }
    if (!IsConsistent(picture)) {
        __builtin_trap();
    }
    if (picture.bitsPerPixel == 8 && !SurvivesRewriting(picture.indexed)) {
        __builtin_trap();
    }
    return 0;
}
