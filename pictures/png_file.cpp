// The PNG file of a picture, whichever encoder the build has (Qt's or stb_image_write).
#include <string_view>

#include "library/replacement_file.h"
#include "pictures/picture_files.h"

namespace vexlor {

bool WritePngFile(const std::string& path, const RgbaPicture& picture) {
    const std::vector<std::uint8_t> file = EncodePng(picture);
    if (file.empty()) {
        return false;
    }
    // As a BMP export: the name is taken only when the file is whole, and a link planted there
    // is replaced, not followed.
    return ReplaceFileWith(
        path, std::string_view(reinterpret_cast<const char*>(file.data()), file.size()),
        ".vexlor-new", nullptr, ReplacementFile::Links::Replace);
}

}  // namespace vexlor
