// Any bytes as a picture file through the readers of the build without Qt (stb_image, and the
// headers read to tell whether a file stores transparency), and on through the conversion.
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
    if (picture.PixelCount() <= 256 * 256) {
        vexlor::ConversionOptions options;
        options.opaque = size % 3 == 0;
        (void)vexlor::ConvertPicture(picture, 16, 16, options);
    }
    return 0;
}
