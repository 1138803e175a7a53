#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "library/bmp_file.h"
#include "library/byte_order.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

using test::Bytes;
using test::FromHex;

// The fields a test varies; everything else is what a plain writer would put there.
struct BmpFields {
    std::uint32_t headerBytes = 40;
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bitsPerPixel = 8;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::vector<std::uint32_t> masks;  // after a 40-byte header, inside a larger one
    std::vector<Colour> colourTable;
    Bytes pixels;
};

void Append(Bytes& bytes, std::uint32_t value, int count) {
    for (int k = 0; k < count; ++k) {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * k)));
    }
}

Bytes InfoHeader(const BmpFields& f) {
    Bytes h;
    Append(h, f.headerBytes, 4);
    if (f.headerBytes == 12) {
        Append(h, static_cast<std::uint32_t>(f.width), 2);
        Append(h, static_cast<std::uint32_t>(f.height), 2);
        Append(h, 1, 2);
        Append(h, f.bitsPerPixel, 2);
        return h;
    }
    Append(h, static_cast<std::uint32_t>(f.width), 4);
    Append(h, static_cast<std::uint32_t>(f.height), 4);
    Append(h, 1, 2);
    Append(h, f.bitsPerPixel, 2);
    Append(h, f.compression, 4);
    Append(h, static_cast<std::uint32_t>(f.pixels.size()), 4);
    Append(h, 2835, 4);
    Append(h, 2835, 4);
    Append(h, f.coloursUsed, 4);
    Append(h, 0, 4);
    for (const std::uint32_t mask : f.masks) {
        Append(h, mask, 4);
    }
    h.resize(std::max<std::size_t>(h.size(), f.headerBytes), 0);
    return h;
}

Bytes BuildBmp(const BmpFields& f) {
    Bytes info = InfoHeader(f);
    for (const Colour colour : f.colourTable) {
        const Colour stored = BlueOf(colour) | GreenOf(colour) << 8 | RedOf(colour) << 16;
        Append(info, stored, f.headerBytes == 12 ? 3 : 4);
    }
    Bytes file = {'B', 'M'};
    Append(file, static_cast<std::uint32_t>(14 + info.size() + f.pixels.size()), 4);
    Append(file, 0, 4);
    Append(file, static_cast<std::uint32_t>(14 + info.size()), 4);
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), f.pixels.begin(), f.pixels.end());
    return file;
}

bool Decode(const Bytes& file, BmpPicture& picture) {
    return DecodeBmp(file.data(), file.size(), picture);
}

std::vector<int> Row(const IndexedImage& image, int y) {
    std::vector<int> row;
    for (int x = 0; x < image.width; ++x) {
        row.push_back(image.Index(x, y));
    }
    return row;
}

const Colour kRed = MakeColour(255, 0, 0);
const Colour kGreen = MakeColour(0, 255, 0);
const Colour kBlue = MakeColour(0, 0, 255);

BmpFields Palettised(int width, int height, std::uint16_t bits, const std::string& pixelHex) {
    BmpFields f;
    f.width = width;
    f.height = height;
    f.bitsPerPixel = bits;
    f.colourTable.assign(std::size_t{1} << bits, 0);
    for (unsigned k = 0; k < f.colourTable.size(); ++k) {
        f.colourTable[k] = MakeColour(k, 2 * k, 3 * k);
    }
    f.pixels = FromHex(pixelHex);
    return f;
}

TEST(BmpReader, StoresBottomUpRowsTopFirstAndNegativeHeightTopDown) {
    BmpFields f = Palettised(3, 2, 8, "01 02 03 00  04 05 06 00");
    BmpPicture picture;
    ASSERT_TRUE(Decode(BuildBmp(f), picture));
    EXPECT_EQ(picture.bitsPerPixel, 8);
    EXPECT_EQ(Row(picture.indexed, 0), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(Row(picture.indexed, 1), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(picture.indexed.palette, f.colourTable);
    EXPECT_EQ(picture.colours.Pixel(2, 0), MakeColour(6, 12, 18));

    f.height = -2;
    ASSERT_TRUE(Decode(BuildBmp(f), picture));
    EXPECT_EQ(Row(picture.indexed, 0), (std::vector<int>{1, 2, 3}));
}

TEST(BmpReader, UnpacksSmallDepthsLeftmostPixelInHighBits) {
    BmpPicture picture;
    ASSERT_TRUE(Decode(BuildBmp(Palettised(10, 1, 1, "A5 C0 00 00")), picture));
    EXPECT_EQ(Row(picture.indexed, 0), (std::vector<int>{1, 0, 1, 0, 0, 1, 0, 1, 1, 1}));
    ASSERT_TRUE(Decode(BuildBmp(Palettised(3, 1, 4, "1F E0 00 00")), picture));
    EXPECT_EQ(Row(picture.indexed, 0), (std::vector<int>{1, 15, 14}));
    EXPECT_EQ(picture.bitsPerPixel, 4);
    EXPECT_EQ(picture.indexed.palette.size(), 16u);
}

TEST(BmpReader, ColourTableFollowsColoursUsedAndEndsAtThePixels) {
    BmpFields f = Palettised(1, 1, 8, "02 00 00 00");
    f.colourTable = {kRed, kGreen, kBlue};
    f.coloursUsed = 3;
    BmpPicture picture;
    ASSERT_TRUE(Decode(BuildBmp(f), picture));
    EXPECT_EQ(picture.indexed.palette, f.colourTable);
    EXPECT_EQ(picture.colours.Pixel(0, 0), kBlue);

    // Declared 256 entries, but only three stored before the pixels.
    f.coloursUsed = 0;
    ASSERT_TRUE(Decode(BuildBmp(f), picture));
    EXPECT_EQ(picture.indexed.palette, f.colourTable);

    f.colourTable.assign(300, kGreen);
    f.coloursUsed = 300;
    ASSERT_TRUE(Decode(BuildBmp(f), picture));
    EXPECT_EQ(picture.indexed.palette.size(), 256u);
}

TEST(BmpReader, IndexBeyondColourTableIsKeptAndReadsBlack) {
    BmpFields f = Palettised(2, 1, 8, "01 07 00 00");
    f.colourTable = {kRed, kGreen};
    f.coloursUsed = 2;
    BmpPicture picture;
    ASSERT_TRUE(Decode(BuildBmp(f), picture));
    EXPECT_EQ(Row(picture.indexed, 0), (std::vector<int>{1, 7}));
    EXPECT_EQ(picture.colours.pixels, (std::vector<Colour>{kGreen, 0}));
}

TEST(BmpReader, DecodesTrueColourDepthsAndBitFields) {
    struct Case {
        const char* name;
        std::uint32_t headerBytes;
        std::uint16_t bits;
        std::uint32_t compression;
        std::vector<std::uint32_t> masks;
        std::string pixels;  // one pixel, then padding
        Colour expected;
    };
    const Case cases[] = {
        {"24-bit blue green red", 40, 24, 0, {}, "30 20 10 00", MakeColour(0x10, 0x20, 0x30)},
        {"32-bit ignores its top byte", 40, 32, 0, {}, "30 20 10 FF", MakeColour(0x10, 0x20, 0x30)},
        {"16-bit 5-5-5", 40, 16, 0, {}, "00 7E 00 00", MakeColour(255, 132, 0)},
        {"16-bit 5-6-5 fields", 40, 16, 3, {0xF800, 0x07E0, 0x001F}, "E0 07 00 00", kGreen},
        {"32-bit fields in a V5 header",
         124,
         32,
         3,
         {0xFF, 0xFF00, 0xFF0000, 0},
         "11 22 33 44",
         MakeColour(0x11, 0x22, 0x33)},
        {"alpha fields after the header",
         40,
         32,
         6,
         {0xFF00, 0xFF0000, 0xFF000000, 0xFF},
         "00 11 22 33",
         MakeColour(0x11, 0x22, 0x33)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpFields f;
        f.headerBytes = c.headerBytes;
        f.bitsPerPixel = c.bits;
        f.compression = c.compression;
        f.masks = c.masks;
        f.pixels = FromHex(c.pixels);
        BmpPicture picture;
        ASSERT_TRUE(Decode(BuildBmp(f), picture));
        EXPECT_EQ(picture.bitsPerPixel, c.bits);
        EXPECT_EQ(picture.colours.pixels, std::vector<Colour>{c.expected});
        EXPECT_TRUE(picture.indexed.indices.empty());
    }
}

TEST(BmpReader, ReadsEveryHeaderVersion) {
    for (const std::uint32_t headerBytes : {12u, 40u, 52u, 56u, 64u, 108u, 124u}) {
        SCOPED_TRACE(headerBytes);
        BmpFields f = Palettised(2, 1, 1, "40 00 00 00");
        f.headerBytes = headerBytes;
        f.colourTable = {kRed, kBlue};
        BmpPicture picture;
        ASSERT_TRUE(Decode(BuildBmp(f), picture));
        EXPECT_EQ(picture.colours.pixels, (std::vector<Colour>{kRed, kBlue}));
    }
}

BmpFields RunLength(int width, int height, std::uint32_t compression, const std::string& hex) {
    BmpFields f = Palettised(width, height, compression == 1 ? 8 : 4, hex);
    f.compression = compression;
    return f;
}

TEST(BmpReader, DrawsRle8RunsLiteralsAndDeltasLeavingSkippedPixelsZero) {
    // Bottom row: a run of 2, a delta of one column, a padded literal of 3 cut at the edge.
    // Top row: a run of 9 cut at the edge, which must not spill into another row.
    const std::string stream = "02 05 00 02 01 00 00 03 07 08 09 00 00 00 09 04 00 01";
    BmpPicture picture;
    ASSERT_TRUE(Decode(BuildBmp(RunLength(5, 2, 1, stream)), picture));
    EXPECT_EQ(Row(picture.indexed, 1), (std::vector<int>{5, 5, 0, 7, 8}));
    EXPECT_EQ(Row(picture.indexed, 0), (std::vector<int>{4, 4, 4, 4, 4}));
    EXPECT_EQ(picture.colours.Pixel(0, 1), MakeColour(5, 10, 15));
}

TEST(BmpReader, DrawsRle4NibblesAlternately) {
    // A run of 3 of the pair 1/2, then a literal of 5 nibbles padded to a 16-bit boundary.
    BmpPicture picture;
    ASSERT_TRUE(Decode(BuildBmp(RunLength(8, 1, 2, "03 12 00 05 AB CD E0 00 00 01")), picture));
    EXPECT_EQ(Row(picture.indexed, 0), (std::vector<int>{1, 2, 1, 10, 11, 12, 13, 14}));
}

TEST(BmpReader, RunLengthStreamEndsAtItsMarkOrAfterTheLastRow) {
    BmpPicture picture;
    EXPECT_TRUE(Decode(BuildBmp(RunLength(2, 2, 1, "02 01 00 00 02 03 00 00")), picture));
    EXPECT_TRUE(Decode(BuildBmp(RunLength(2, 2, 1, "00 02 00 05 00 01")), picture));
    EXPECT_FALSE(Decode(BuildBmp(RunLength(2, 2, 1, "02 01 00 00 02 03")), picture));
    EXPECT_FALSE(Decode(BuildBmp(RunLength(2, 2, 1, "00 03 01 02")), picture));
    EXPECT_FALSE(Decode(BuildBmp(RunLength(2, 2, 1, "00 02 01")), picture));
    EXPECT_TRUE(picture.indexed.indices.empty());
}

BmpFields TrueColourV5() {
    BmpFields f;
    f.headerBytes = 124;
    f.bitsPerPixel = 32;
    f.compression = 3;
    f.masks = {0xFF, 0xFF00, 0xFF0000};
    f.pixels = FromHex("01 02 03 04");
    return f;
}

TEST(BmpReader, RefusesEveryTruncation) {
    const std::vector<Bytes> files = {
        BuildBmp(Palettised(4, 2, 8, "01 02 03 04 05 06 07 08")),
        BuildBmp(Palettised(8, 1, 4, "12 34 56 78")),
        BuildBmp(RunLength(3, 2, 1, "03 01 00 00 00 03 04 05 06 00 00 01")),
        BuildBmp(TrueColourV5()),
    };
    for (const Bytes& file : files) {
        BmpPicture picture;
        ASSERT_TRUE(Decode(file, picture));
        for (std::size_t size = 0; size < file.size(); ++size) {
            EXPECT_FALSE(DecodeBmp(file.data(), size, picture)) << size << " of " << file.size();
        }
    }
}

TEST(BmpReader, RefusesHeadersItCannotTrust) {
    const std::pair<const char*, std::function<void(BmpFields&)>> changes[] = {
        {"unknown header size", [](BmpFields& f) { f.headerBytes = 41; }},
        {"2 bits per pixel", [](BmpFields& f) { f.bitsPerPixel = 2; }},
        {"0 bits per pixel", [](BmpFields& f) { f.bitsPerPixel = 0; }},
        {"JPEG", [](BmpFields& f) { f.compression = 4; }},
        {"PNG", [](BmpFields& f) { f.compression = 5; }},
        {"RLE4 at 8 bits", [](BmpFields& f) { f.compression = 2; }},
        {"bit fields at 8 bits", [](BmpFields& f) { f.compression = 3; }},
        {"OS/2 Huffman",
         [](BmpFields& f) {
             f.headerBytes = 64, f.compression = 3, f.bitsPerPixel = 16, f.width = 2;
         }},
        {"16 bits in an OS/2 1.x header",
         [](BmpFields& f) { f.headerBytes = 12, f.bitsPerPixel = 16, f.width = 2; }},
    };
    BmpPicture plain;
    ASSERT_TRUE(Decode(BuildBmp(Palettised(4, 1, 8, "01 02 03 04")), plain));
    for (const auto& [name, change] : changes) {
        BmpFields f = Palettised(4, 1, 8, "01 02 03 04");
        change(f);
        BmpPicture picture;
        EXPECT_FALSE(Decode(BuildBmp(f), picture)) << name;
    }
}

// A run-length stream of just its end mark makes the file's size independent of the picture's.
TEST(BmpReader, RefusesSizesBeyondTheLimitsBeforeAllocating) {
    const std::pair<std::int32_t, std::int32_t> refused[] = {
        {0, 1}, {-4, 1}, {1, 0}, {65536, 1}, {1, -65536}, {1, INT_MIN}, {65535, 1025}};
    BmpPicture picture;
    for (const auto& [width, height] : refused) {
        EXPECT_FALSE(Decode(BuildBmp(RunLength(width, height, 1, "00 01")), picture))
            << width << " x " << height;
    }
    ASSERT_TRUE(Decode(BuildBmp(RunLength(65535, 1, 1, "00 01")), picture));
    ASSERT_TRUE(Decode(BuildBmp(RunLength(1, -65535, 1, "00 01")), picture));
    EXPECT_EQ(picture.colours.height, 65535);
}

TEST(BmpReader, RefusesPixelOffsetOutsideTheFile) {
    Bytes file = BuildBmp(Palettised(4, 1, 8, "01 02 03 04"));
    BmpPicture picture;
    const auto size = static_cast<std::uint32_t>(file.size());
    for (const std::uint32_t offset : {0u, 20u, size - 3, size + 1, 0xFFFFFFFFu}) {
        PutU32(file.data() + 10, offset);
        EXPECT_FALSE(Decode(file, picture)) << offset;
    }
    file[1] = 'A';
    EXPECT_FALSE(Decode(file, picture));
    EXPECT_FALSE(DecodeBmp(nullptr, 0, picture));
}

}  // namespace
}  // namespace vexlor
