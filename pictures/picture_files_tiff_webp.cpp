#include "pictures/picture_files_tiff_webp.h"

#include <cstring>

#include "library/picture_size.h"

#ifdef VEXLOR_TIFF_AND_WEBP
#include <tiffio.h>
#include <webp/decode.h>

#include <algorithm>
#include <limits>
#include <memory>
#endif

namespace vexlor::picture_files_detail {

namespace {

bool StartsWith(const std::uint8_t* data, std::size_t size, const char* prefix, std::size_t n) {
    return size >= n && std::memcmp(data, prefix, n) == 0;
}

bool IsTiff(const std::uint8_t* data, std::size_t size) {
    return StartsWith(data, size, "II*\0", 4) || StartsWith(data, size, "MM\0*", 4);
}

bool IsWebp(const std::uint8_t* data, std::size_t size) {
    return size >= 12 && StartsWith(data, size, "RIFF", 4) && std::memcmp(data + 8, "WEBP", 4) == 0;
}

#ifdef VEXLOR_TIFF_AND_WEBP

bool SizeIsAcceptable(int width, int height, std::size_t maxBytes) {
    return width > 0 && height > 0 && PixelCount(width, height) * 8 <= maxBytes;
}

Decoded DecodeWebp(const std::uint8_t* data, std::size_t size, std::size_t maxBytes,
                   RgbaPicture& out, std::string& why) {
    WebPBitstreamFeatures features{};
    if (WebPGetFeatures(data, size, &features) != VP8_STATUS_OK) {
        why = "the file is damaged";
        return Decoded::Failed;
    }
    if (!SizeIsAcceptable(features.width, features.height, maxBytes)) {
        why = "the picture is too large";
        return Decoded::Failed;
    }
    RgbaPicture picture(features.width, features.height);
    // The first frame of an animation, as the other readers take the first picture.
    if (WebPDecodeRGBAInto(data, size, picture.rgba.data(), picture.rgba.size(),
                           features.width * 4) == nullptr) {
        why = features.has_animation ? "animated WebP files are not read" : "the file is damaged";
        return Decoded::Failed;
    }
    picture.hasAlpha = features.has_alpha != 0;
    out = std::move(picture);
    return Decoded::Done;
}

// libtiff reads from memory through these, never past the bytes given.
struct MemoryTiff {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
};

tmsize_t ReadTiff(thandle_t handle, void* buffer, tmsize_t count) {
    auto* file = static_cast<MemoryTiff*>(handle);
    const std::size_t wanted = count < 0 ? 0 : static_cast<std::size_t>(count);
    const std::size_t got = file->at >= file->size ? 0 : std::min(wanted, file->size - file->at);
    std::memcpy(buffer, file->data + file->at, got);
    file->at += got;
    return static_cast<tmsize_t>(got);
}

tmsize_t WriteTiff(thandle_t, void*, tmsize_t) {
    return 0;
}

toff_t SeekTiff(thandle_t handle, toff_t offset, int whence) {
    auto* file = static_cast<MemoryTiff*>(handle);
    const std::uint64_t base = whence == SEEK_CUR ? file->at : whence == SEEK_END ? file->size : 0;
    file->at = static_cast<std::size_t>(std::min<std::uint64_t>(base + offset, file->size));
    return file->at;
}

int CloseTiff(thandle_t) {
    return 0;
}
toff_t SizeOfTiff(thandle_t handle) {
    return static_cast<MemoryTiff*>(handle)->size;
}
int MapTiff(thandle_t, void**, toff_t*) {
    return 0;
}
void UnmapTiff(thandle_t, void*, toff_t) {}

// The RGBA interface gives colours multiplied by their alpha; the picture keeps them apart.
void Unpremultiply(RgbaPicture& picture) {
    for (std::size_t at = 0; at < picture.rgba.size(); at += 4) {
        const unsigned alpha = picture.rgba[at + 3];
        if (alpha == 0 || alpha == 255) {
            continue;
        }
        for (std::size_t c = 0; c < 3; ++c) {
            const unsigned value = (picture.rgba[at + c] * 255u + alpha / 2) / alpha;
            picture.rgba[at + c] = static_cast<std::uint8_t>(std::min(value, 255u));
        }
    }
}

Decoded DecodeTiff(const std::uint8_t* data, std::size_t size, std::size_t maxBytes,
                   RgbaPicture& out, std::string& why) {
    // libtiff's own warnings and errors would stand among the command's output.
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(nullptr);
    MemoryTiff file{data, size};
    const std::unique_ptr<TIFF, void (*)(TIFF*)> tiff(
        TIFFClientOpen("picture", "rm", &file, ReadTiff, WriteTiff, SeekTiff, CloseTiff, SizeOfTiff,
                       MapTiff, UnmapTiff),
        TIFFClose);
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (!tiff || TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) != 1 ||
        TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height) != 1) {
        why = "the file is damaged";
        return Decoded::Failed;
    }
    // Sides beyond what an int holds are never an acceptable size.
    constexpr auto kLongestSide = static_cast<std::uint32_t>(std::numeric_limits<int>::max());
    if (width > kLongestSide || height > kLongestSide ||
        !SizeIsAcceptable(static_cast<int>(width), static_cast<int>(height), maxBytes)) {
        why = "the picture is too large";
        return Decoded::Failed;
    }
    RgbaPicture picture(static_cast<int>(width), static_cast<int>(height));
    // Each pixel comes as one 32-bit value with red in its lowest byte: on a little-endian
    // machine, the bytes red, green, blue, alpha.
    if (TIFFReadRGBAImageOriented(tiff.get(), width, height,
                                  reinterpret_cast<std::uint32_t*>(picture.rgba.data()),
                                  ORIENTATION_TOPLEFT, 0) != 1) {
        why = "the file is damaged or compressed in a way that is not read";
        return Decoded::Failed;
    }
    std::uint16_t extraCount = 0;
    std::uint16_t* extraKinds = nullptr;
    std::uint16_t samples = 1;
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_EXTRASAMPLES, &extraCount, &extraKinds);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_PHOTOMETRIC, &photometric);
    const std::uint16_t colourSamples = photometric == PHOTOMETRIC_RGB ? 3 : 1;
    picture.hasAlpha =
        extraCount > 0 || (photometric != PHOTOMETRIC_PALETTE && photometric != PHOTOMETRIC_YCBCR &&
                           samples > colourSamples);
    Unpremultiply(picture);
    out = std::move(picture);
    return Decoded::Done;
}

#endif

}  // namespace

Decoded DecodeTiffOrWebp(const std::uint8_t* data, std::size_t size, std::size_t maxBytes,
                         RgbaPicture& out, std::string& why) {
#ifdef VEXLOR_TIFF_AND_WEBP
    if (IsWebp(data, size)) {
        return DecodeWebp(data, size, maxBytes, out, why);
    }
    if (IsTiff(data, size)) {
        return DecodeTiff(data, size, maxBytes, out, why);
    }
#else
    if (IsWebp(data, size) || IsTiff(data, size)) {
        why = "TIFF and WebP files are not read by this build";
        return Decoded::Failed;
    }
    (void)maxBytes;
    (void)out;
#endif
    return Decoded::NotThisFormat;
}

}  // namespace vexlor::picture_files_detail
