#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vexlor {

// The three records of an image library. They are packed so that their sizes match the file,
// but they are never copied to or from the file as raw memory: Decode/Encode spell out the
// little-endian layout field by field, so the host's byte order does not matter.
#pragma pack(push, 1)

struct tHEADER {
    std::uint8_t Signature[8];
    std::uint16_t Reserved1;
    std::uint16_t GroupCount;
    std::uint16_t ImageCount;
    std::uint32_t ImageDataSize;
    std::uint32_t ColourCount;
    std::uint32_t LibraryKind;
    std::uint32_t Reserved2;
    std::uint32_t GroupDataSize;

    static constexpr std::size_t kSize = 34;
    using Bytes = std::array<std::uint8_t, kSize>;

    static tHEADER Decode(const std::uint8_t* bytes);
    Bytes Encode() const;
    bool HasSignature() const;
};

struct tGROUP {
    std::uint16_t GroupId;
    std::uint16_t ImageCount;
    std::uint32_t ImageDataSize;
    std::uint32_t ColourCount;
    std::uint32_t Reserved1;
    std::uint32_t Reserved2;
    std::uint32_t DataOffset;

    static constexpr std::size_t kSize = 24;
    using Bytes = std::array<std::uint8_t, kSize>;

    static tGROUP Decode(const std::uint8_t* bytes);
    Bytes Encode() const;
};

struct tIMAGE {
    std::uint16_t PictureFormat;
    std::uint16_t Width;
    std::uint16_t Height;
    std::uint32_t Reserved1;
    std::uint16_t GroupId;
    std::uint16_t PictureId;
    std::uint32_t DataSize;
    std::uint32_t BlockSize;
    std::uint32_t PaletteOffset;
    std::uint32_t PixelOffset;
    std::uint32_t DataEnd;
    std::uint32_t BlockWidth;
    std::uint32_t BlockHeight;
    std::uint32_t Reserved2;
    std::uint32_t Reserved3;
    std::uint32_t BlockFormat;
    std::uint32_t Reserved4;
    std::uint32_t ColourCount;

    static constexpr std::size_t kSize = 62;
    // The record's total length is DataSize plus the 18 bytes that precede BlockSize.
    static constexpr std::uint32_t kIdentBytes = 18;
    // Bytes of the image block before the palette: the palette starts at byte 62.
    static constexpr std::uint32_t kBlockHeaderBytes = 44;
    using Bytes = std::array<std::uint8_t, kSize>;

    static tIMAGE Decode(const std::uint8_t* bytes);
    Bytes Encode() const;

    // A record as this system writes it: every derived field filled from the four inputs.
    static tIMAGE Make(std::uint16_t format, std::uint16_t width, std::uint16_t height,
                       std::uint16_t groupId, std::uint16_t pictureId, std::uint32_t colourCount,
                       std::uint32_t pixelBytes);
};

#pragma pack(pop)

static_assert(sizeof(tHEADER) == tHEADER::kSize, "tHEADER must be 34 bytes");
static_assert(sizeof(tGROUP) == tGROUP::kSize, "tGROUP must be 24 bytes");
static_assert(sizeof(tIMAGE) == tIMAGE::kSize, "tIMAGE must be 62 bytes");

inline constexpr std::array<std::uint8_t, 8> kSignature = {0x57, 0x23, 0x06, 0x57,
                                                           0x56, 0x23, 0x02, 0x56};

// Picture encodings (PictureFormat / BlockFormat).
inline constexpr std::uint16_t kRunLengthFormat = 23;
inline constexpr std::uint16_t kIndexAlphaFormat = 24;

// LibraryKind values, which are also the kind dialog's results.
enum class LibraryKind : std::uint32_t { Hull = 1, Map = 2, Ship = 3, Mission = 4 };

// GroupId of the single group of HULL, MAP and BATTLE/MISSION libraries.
inline constexpr std::uint16_t kHullGroupId = 26000;
inline constexpr std::uint16_t kMapGroupId = 14800;
inline constexpr std::uint16_t kMissionGroupId = 15210;

// Bytes a record takes in the file: its 62-byte header, palette and pixels.
inline constexpr std::uint64_t RecordBytes(const tIMAGE& image) {
    return static_cast<std::uint64_t>(image.DataSize) + tIMAGE::kIdentBytes;
}

// First byte of the image data: after the header and the group table.
inline constexpr std::uint64_t ImageDataStart(const tHEADER& header) {
    return tHEADER::kSize + static_cast<std::uint64_t>(tGROUP::kSize) * header.GroupCount;
}

}  // namespace vexlor
