#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vexlor {

// Whether a picture file's own structure says that its picture goes on beyond the bytes present:
// a PNG whose chunks stop before IEND, a GIF whose first picture's data is not closed, a BMP or
// TGA with fewer pixels than its header promises, a JPEG without its end marker, a TIFF whose
// directory or strips lie past the end, a WebP shorter than its RIFF size. The image readers
// often decode such a file without a word and fill the rest with black, so the question is asked
// of the bytes first. Files of other formats, and damage of other kinds, are the readers' to
// judge: this says false for them. TGA, which has no signature, is asked about only when
// `extension` (".tga", any letter case) names the file one.
bool EndsBeforeItsPicture(const std::uint8_t* data, std::size_t size,
                          std::string_view extension = {});

// The reason the readers give for such a file.
inline constexpr const char* kCutShortReason = "the file is cut short: it ends before its picture";

}  // namespace vexlor
