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
    ReplacementFile out(path, ".vexlor-new", ReplacementFile::Links::Replace);
    return out.Write(std::string_view(reinterpret_cast<const char*>(file.data()), file.size())) &&
           out.Commit();
}

}  // namespace vexlor
