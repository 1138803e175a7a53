// Any bytes as a picture file, through every image reader the program has (the format plugins
// included), and what reads through the conversion to a small library picture.
#include <cstddef>
#include <cstdint>
#include <string>

#include "pictures/picture_conversion.h"
#include "pictures/picture_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vexlor::RgbaPicture picture;
    std::string error;
    if (!vexlor::ReadPictureBytes(data, size, picture, error)) {
        return 0;
    }
    // Conversion time grows with the picture; the readers are what is fuzzed here.
    if (picture.PixelCount() <= 256 * 256) {
        vexlor::ConversionOptions options;
        options.fit = size % 2 == 0 ? vexlor::Fit::Contain : vexlor::Fit::Cover;
        options.opaque = size % 3 == 0;
        (void)vexlor::ConvertPicture(picture, 16, 16, options);
    }
    return 0;
}
