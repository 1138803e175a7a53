#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "pictures/rgba_picture.h"

namespace vexlor::picture_files_detail {

enum class Decoded { NotThisFormat, Done, Failed };

// TIFF and WebP files, which stb_image does not read, through libtiff and libwebp where the
// build has them. NotThisFormat for any other file (and for these where the build has not).
Decoded DecodeTiffOrWebp(const std::uint8_t* data, std::size_t size, std::size_t maxBytes,
                         RgbaPicture& out, std::string& why);

}  // namespace vexlor::picture_files_detail
