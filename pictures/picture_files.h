#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pictures/rgba_picture.h"

namespace vexlor {

// Picture files of every format the image readers take (PNG, BMP, JPEG, GIF, TGA, TIFF, WebP
// and more), read through the platform's image libraries rather than decoders of our own.

// Reads the file; false with a message naming the file and the reason when it cannot.
bool ReadPictureFile(const std::string& path, RgbaPicture& out, std::string& error);
// Reads a picture from bytes in memory, its format guessed from its content.
bool ReadPictureBytes(const std::uint8_t* data, std::size_t size, RgbaPicture& out,
                      std::string& error);
// An 8-bit RGBA PNG of the picture; empty when it cannot be encoded.
std::vector<std::uint8_t> EncodePng(const RgbaPicture& picture);
// Writes the PNG through a new file that takes the name only when whole.
bool WritePngFile(const std::string& path, const RgbaPicture& picture);
// The file name patterns of the readable formats, "*.png", "*.jpg", ... for file dialogs.
std::vector<std::string> ReadablePicturePatterns();
// Keeps the image readers' own warnings off standard error, for a command-line program whose
// messages say themselves which picture could not be read.
void QuietPictureReaders();

}  // namespace vexlor
