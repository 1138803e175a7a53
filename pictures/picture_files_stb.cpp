// Picture files where Qt's image readers are not at hand (the Windows command line built without
// Qt): stb_image reads PNG, BMP, JPEG, GIF, TGA, PSD and PNM, libtiff and libwebp read TIFF and
// WebP where the build has them; stb_image_write writes PNG. Whether a file stores transparency
// is read from its own headers, so that the top-left colour rule of the conversion applies to
// the same files as with Qt's readers.

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string_view>
#include <system_error>

#include "library/byte_order.h"
#include "library/picture_size.h"
#include "library/utf8_path.h"
#include "pictures/picture_completeness.h"
#include "pictures/picture_files.h"
#include "pictures/picture_files_tiff_webp.h"

namespace vexlor {

namespace {

// As with Qt's readers: files and decoded pictures beyond this are refused before allocation.
constexpr std::size_t kAllocationLimitBytes = std::size_t{128} << 20;

using Bytes = std::vector<std::uint8_t>;

bool StartsWith(const std::uint8_t* data, std::size_t size, std::string_view prefix) {
    return size >= prefix.size() && std::memcmp(data, prefix.data(), prefix.size()) == 0;
}

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

// A PNG stores transparency in a colour type with alpha or in a tRNS chunk before the pixels.
bool PngHasAlpha(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kColourTypeOffset = 25;
    if (size <= kColourTypeOffset) {
        return false;
    }
    const std::uint8_t colourType = data[kColourTypeOffset];
    if (colourType == 4 || colourType == 6) {
        return true;
    }
    for (std::size_t at = 8; at + 8 <= size;) {
        const std::uint32_t length = BigEndian32(data + at);
        const std::string_view type(reinterpret_cast<const char*>(data + at + 4), 4);
        if (type == "tRNS") {
            return true;
        }
        if (type == "IDAT" || type == "IEND" || length > size - at - 8) {
            return false;
        }
        at += std::size_t{length} + 12;
    }
    return false;
}

// Skips a GIF's data sub-blocks from `at`; the offset after the terminator, or `size`.
std::size_t SkipGifSubBlocks(const std::uint8_t* data, std::size_t size, std::size_t at) {
    while (at < size && data[at] != 0) {
        at += std::size_t{data[at]} + 1;
    }
    return std::min(size, at + 1);
}

// The first picture of a GIF is what is read; it is transparent when the graphic control
// extension before it names a transparent colour.
bool GifHasAlpha(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kScreenEnd = 13;
    if (size < kScreenEnd) {
        return false;
    }
    std::size_t at = kScreenEnd;
    if ((data[10] & 0x80) != 0) {
        at += std::size_t{3} << ((data[10] & 0x07) + 1);
    }
    bool transparent = false;
    while (at < size) {
        if (data[at] == 0x2C) {
            return transparent;
        }
        if (data[at] != 0x21 || at + 1 >= size) {
            return false;
        }
        if (data[at + 1] == 0xF9 && at + 3 < size && data[at + 2] >= 1) {
            transparent = (data[at + 3] & 0x01) != 0;
        }
        at = SkipGifSubBlocks(data, size, at + 2);
    }
    return false;
}

// A BMP of 16 or 32 bits stores transparency when its bit masks include one for alpha.
bool BmpHasAlpha(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kAlphaMaskOffset = 66;
    if (size < kAlphaMaskOffset + 4) {
        return false;
    }
    const std::uint32_t headerSize = GetU32(data + 14);
    const std::uint16_t bits = GetU16(data + 28);
    const std::uint32_t compression = GetU32(data + 30);
    const bool masked = compression == 3 || compression == 6;
    const bool alphaMaskPresent = headerSize >= 56 || compression == 6;
    return (bits == 16 || bits == 32) && masked && alphaMaskPresent &&
           GetU32(data + kAlphaMaskOffset) != 0;
}

bool FileHasAlpha(const std::uint8_t* data, std::size_t size, int channels) {
    if (StartsWith(data, size, "\x89PNG\r\n\x1a\n")) {
        return PngHasAlpha(data, size);
    }
    if (StartsWith(data, size, "GIF8")) {
        return GifHasAlpha(data, size);
    }
    if (StartsWith(data, size, "BM")) {
        return BmpHasAlpha(data, size);
    }
    // TGA, PSD and the rest: one or three channels are colour only, two or four carry alpha.
    return channels == 2 || channels == 4;
}

// Sixteen-bit samples become eight as Qt's conversion makes them: rounded, not cut.
std::uint8_t EightBits(std::uint16_t sample) {
    return static_cast<std::uint8_t>((sample + 128u - ((sample + 128u) >> 8)) >> 8);
}

bool Decode(const std::uint8_t* data, std::size_t size, RgbaPicture& out, std::string& why,
            std::string_view extension = {}) {
    if (size == 0 || size > kAllocationLimitBytes) {
        why = size == 0 ? "the file is empty" : "the file is too large";
        return false;
    }
    // stb_image reads what is missing as zeros, and libtiff and libwebp are not asked either.
    if (EndsBeforeItsPicture(data, size, extension)) {
        why = kCutShortReason;
        return false;
    }
    using picture_files_detail::Decoded;
    if (const Decoded decoded =
            picture_files_detail::DecodeTiffOrWebp(data, size, kAllocationLimitBytes, out, why);
        decoded != Decoded::NotThisFormat) {
        return decoded == Decoded::Done;
    }
    const int length = static_cast<int>(size);
    int width = 0;
    int height = 0;
    int channels = 0;
    if (stbi_info_from_memory(data, length, &width, &height, &channels) == 0) {
        why = "the format is not supported or the file is damaged";
        return false;
    }
    if (width <= 0 || height <= 0 || PixelCount(width, height) * 8 > kAllocationLimitBytes) {
        why = "the picture is too large";
        return false;
    }
    RgbaPicture picture(width, height);
    if (stbi_is_16_bit_from_memory(data, length) != 0) {
        const std::unique_ptr<stbi_us, void (*)(void*)> pixels(
            stbi_load_16_from_memory(data, length, &width, &height, &channels, 4), stbi_image_free);
        if (!pixels) {
            why = "the file is damaged";
            return false;
        }
        std::transform(pixels.get(), pixels.get() + picture.rgba.size(), picture.rgba.begin(),
                       EightBits);
    } else {
        const std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
            stbi_load_from_memory(data, length, &width, &height, &channels, 4), stbi_image_free);
        if (!pixels) {
            why = "the file is damaged";
            return false;
        }
        std::memcpy(picture.rgba.data(), pixels.get(), picture.rgba.size());
    }
    picture.hasAlpha = FileHasAlpha(data, size, channels);
    if (!picture.hasAlpha) {
        for (std::size_t alpha = 3; alpha < picture.rgba.size(); alpha += 4) {
            picture.rgba[alpha] = 255;
        }
    }
    out = std::move(picture);
    return true;
}

bool ReadWholeFile(const std::string& path, Bytes& bytes, std::string& why) {
    std::error_code failed;
    if (!std::filesystem::is_regular_file(PathFromUtf8(path), failed)) {
        why = "no such file";
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(PathFromUtf8(path), failed);
    if (failed || size > kAllocationLimitBytes) {
        why = failed ? "the file cannot be read" : "the file is too large";
        return false;
    }
    std::ifstream file(PathFromUtf8(path), std::ios::binary);
    bytes.resize(static_cast<std::size_t>(size));
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    if (file.bad()) {
        why = "the file cannot be read";
        return false;
    }
    return true;
}

std::string FileNameOf(const std::string& path) {
    return Utf8Of(PathFromUtf8(path).filename());
}

void AppendToBytes(void* context, void* data, int size) {
    auto* bytes = static_cast<Bytes*>(context);
    const auto* begin = static_cast<const std::uint8_t*>(data);
    bytes->insert(bytes->end(), begin, begin + size);
}

}  // namespace

void QuietPictureReaders() {}

bool ReadPictureFile(const std::string& path, RgbaPicture& out, std::string& error) {
    Bytes bytes;
    std::string why;
    if (ReadWholeFile(path, bytes, why) &&
        Decode(bytes.data(), bytes.size(), out, why, Utf8Of(PathFromUtf8(path).extension()))) {
        return true;
    }
    error = "Cannot read the picture " + FileNameOf(path) + ": " + why;
    return false;
}

bool ReadPictureBytes(const std::uint8_t* data, std::size_t size, RgbaPicture& out,
                      std::string& error) {
    std::string why;
    if (Decode(data, size, out, why)) {
        return true;
    }
    error = "Cannot read the picture: " + why;
    return false;
}

std::vector<std::uint8_t> EncodePng(const RgbaPicture& picture) {
    if (picture.IsEmpty() || picture.rgba.size() != picture.PixelCount() * 4) {
        return {};
    }
    Bytes file;
    if (stbi_write_png_to_func(AppendToBytes, &file, picture.width, picture.height, 4,
                               picture.rgba.data(), picture.width * 4) == 0) {
        return {};
    }
    return file;
}

std::vector<std::string> ReadablePicturePatterns() {
    return {"*.bmp", "*.gif", "*.jpeg", "*.jpg", "*.pgm",  "*.png", "*.pnm",
            "*.ppm", "*.psd", "*.tga",  "*.tif", "*.tiff", "*.webp"};
}

}  // namespace vexlor
