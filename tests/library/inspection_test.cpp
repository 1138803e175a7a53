#include "library/library_inspection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/creation.h"
#include "tests/cli/library_bytes.h"

namespace vexlor {
namespace {

using test::BuildLibrary;
using test::Bytes;
using test::PatchU16;
using test::PatchU32;
using test::TempDir;
using test::WriteFileBytes;
namespace at = test::at;
using Lines = std::vector<std::string>;

// Two HULL pictures: records at 58 (2116 bytes) and 2174 (2125 bytes); the file is 4299 bytes.
Bytes TwoPictureHull() {
    return BuildLibrary(
        1, {{kHullGroupId, {{.pictureId = 100, .colours = 2}, {.pictureId = 200, .colours = 5}}}});
}
constexpr std::size_t kFirstRecord = 58;
constexpr std::size_t kSecondRecord = 2174;

// Two SHIP pictures, one group each: records at 82 (574 bytes) and 656.
Bytes TwoPictureShip() {
    const test::TestPicture rle{
        .colours = 4, .pixelBytes = 500, .format = kRunLengthFormat, .width = 180, .height = 180};
    test::TestPicture second = rle;
    second.pixelBytes = 900;
    return BuildLibrary(3, {{20001, {rle}}, {20002, {second}}});
}

class Inspection : public ::testing::Test {
  protected:
    LibraryInspection Inspect(const Bytes& bytes) {
        WriteFileBytes(path_, bytes);
        return InspectLibrary(path_);
    }
    Lines Check(const Bytes& bytes) {
        WriteFileBytes(path_, bytes);
        return CheckLibrary(path_).violations;
    }

    TempDir dir_;
    std::string path_ = dir_.File("library.dat");
};

TEST_F(Inspection, SoundLibrariesReadCompletelyAndPassTheCheck) {
    const LibraryInspection hull = Inspect(TwoPictureHull());
    ASSERT_EQ(hull.images.size(), 2u);
    EXPECT_EQ(hull.images[1].offset, kSecondRecord);
    EXPECT_TRUE(hull.problems.empty());
    EXPECT_EQ(Check(TwoPictureHull()), Lines{});
    EXPECT_EQ(Check(TwoPictureShip()), Lines{});
    EXPECT_EQ(Check(BuildLibrary(2, {{kMapGroupId, {{.pixelBytes = 512}}}}, false)), Lines{});

    for (const LibraryKind kind :
         {LibraryKind::Hull, LibraryKind::Map, LibraryKind::Ship, LibraryKind::Mission}) {
        ASSERT_TRUE(CreateLibrary(kind, path_));
        EXPECT_TRUE(CheckLibrary(path_).Ok()) << static_cast<int>(kind);
    }
}

TEST_F(Inspection, FileCutShortKeepsWhatWasReadAndSaysWhatIsMissing) {
    struct Cut {
        std::size_t length;
        std::size_t images;
        Lines problems;
    };
    const Cut cuts[] = {
        {40,
         0,
         {"the file ends inside group record 1 of 1 at offset 34",
          "the file ends before image record 1 of 2 at offset 58"}},
        {58, 0, {"the file ends before image record 1 of 2 at offset 58"}},
        {100, 0, {"the file ends inside image record 1 of 2 at offset 58"}},
        {kFirstRecord + 64,
         1,
         {"the file ends inside the palette of image record 1 of 2 at offset 58",
          "the file ends before image record 2 of 2 at offset 2174"}},
        {kSecondRecord + 100,
         2,
         {"the file ends inside the pixel data of image record 2 of 2 at offset 2174"}},
    };
    const Bytes whole = TwoPictureHull();
    for (const Cut& cut : cuts) {
        SCOPED_TRACE(cut.length);
        const LibraryInspection inspection =
            Inspect(Bytes(whole.begin(), whole.begin() + static_cast<long>(cut.length)));
        EXPECT_EQ(inspection.images.size(), cut.images);
        EXPECT_EQ(inspection.problems, cut.problems);
    }
}

TEST_F(Inspection, ShortHeaderAndUnreadablePaths) {
    const LibraryInspection shortFile = Inspect(Bytes(20, 0x57));
    EXPECT_TRUE(shortFile.opened);
    EXPECT_FALSE(shortFile.headerComplete);
    EXPECT_EQ(shortFile.problems,
              Lines{"the file is 20 bytes long, shorter than the 34-byte header"});
    EXPECT_EQ(CheckLibrary(path_).violations, shortFile.problems);

    EXPECT_FALSE(InspectLibrary(dir_.File("absent.dat")).opened);
    EXPECT_FALSE(InspectLibrary(dir_.Path().string()).opened);
    EXPECT_FALSE(CheckLibrary(dir_.Path().string()).Ok());
}

TEST_F(Inspection, AbsurdCountsFinishAtTheFileEnd) {
    // 65535 records announced, the first claiming DataSize 0xFFFFFFFF, in a 100-byte file.
    tHEADER header{};
    std::copy(kSignature.begin(), kSignature.end(), header.Signature);
    header.ImageCount = 65535;
    tIMAGE image = tIMAGE::Make(kIndexAlphaFormat, 32, 32, kHullGroupId, 1, 0, 0);
    image.DataSize = 0xFFFFFFFF;
    Bytes records(100, 0);
    const auto headerBytes = header.Encode();
    const auto imageBytes = image.Encode();
    std::copy(headerBytes.begin(), headerBytes.end(), records.begin());
    std::copy(imageBytes.begin(), imageBytes.end(), records.begin() + 34);
    EXPECT_EQ(Inspect(records).problems,
              (Lines{"the file ends inside the pixel data of image record 1 of 65535 at offset 34",
                     "the file ends before image record 2 of 65535 at offset 4294967347"}));

    // 65535 groups announced, 2 present.
    Bytes groups = BuildLibrary(1, {{kHullGroupId, {}}, {kHullGroupId, {}}});
    PatchU16(groups, at::kGroupCount, 65535);
    const LibraryInspection table = Inspect(groups);
    EXPECT_EQ(table.groups.size(), 2u);
    EXPECT_EQ(table.problems, (Lines{"the file ends before group record 3 of 65535 at offset 82"}));

    // Zero-filled records of DataSize 0 overlap, 18 bytes apart: the walk still ends with the
    // file, after the 14 record headers that fit in 300 bytes.
    Bytes overlapping(headerBytes.begin(), headerBytes.end());
    overlapping.resize(34 + 300, 0);
    EXPECT_EQ(Inspect(overlapping).images.size(), 14u);
}

TEST_F(Inspection, CheckNamesEachBrokenRelation) {
    struct Break {
        const char* what;
        Bytes (*library)();
        void (*damage)(Bytes&);
        Lines violations;
    };
    const Break breaks[] = {
        {"signature",
         TwoPictureHull,
         [](Bytes& b) { b[0] = 0; },
         {"the signature is 00 23 06 57 56 23 02 56, not 57 23 06 57 56 23 02 56"}},
        {"header count",
         TwoPictureHull,
         [](Bytes& b) { PatchU16(b, at::kImageCount, 3); },
         {"header: ImageCount 3 differs from the sum over the groups, 2",
          "the file ends before image record 3 of 3 at offset 4299"}},
        {"group table size",
         TwoPictureHull,
         [](Bytes& b) { PatchU32(b, at::kGroupDataSize, 48); },
         {"header: GroupDataSize 48 is neither 0 nor 24 x GroupCount = 24"}},
        {"group size",
         TwoPictureHull,
         [](Bytes& b) { PatchU32(b, at::kGroupTable + at::kGroupImageDataSize, 4000); },
         {"header: ImageDataSize 4241 differs from the sum over the groups, 4000",
          "group 1 (GroupId 26000): ImageDataSize 4000 differs from the sum of DataSize + 18 "
          "over its records, 4241"}},
        {"group offset",
         TwoPictureShip,
         [](Bytes& b) { PatchU32(b, at::kGroupTable + 24 + at::kGroupDataOffset, 0); },
         {"group 2 (GroupId 20002): DataOffset 0 differs from the sum of ImageDataSize over "
          "the groups before it, 574"}},
        {"trailing bytes",
         TwoPictureHull,
         [](Bytes& b) { b.push_back(0); },
         {"the image data from byte 58 to the end of the file is 4242 bytes, not the header's "
          "ImageDataSize 4241"}},
        {"record group",
         TwoPictureShip,
         [](Bytes& b) { PatchU16(b, 82 + at::kRecordGroupId, 20002); },
         {"image record 1 at offset 82: GroupId 20002 differs from the GroupId of group 1, "
          "20001"}},
        {"record fields",
         TwoPictureHull,
         [](Bytes& b) {
             PatchU32(b, kSecondRecord + at::kRecordBlockSize, 1);
             PatchU32(b, kSecondRecord + at::kRecordBlockWidth, 33);
             PatchU32(b, kSecondRecord + at::kRecordReserved4, 0);
         },
         {"image record 2 at offset 2174: BlockSize 1 differs from DataSize 2107",
          "image record 2 at offset 2174: BlockWidth 33 differs from Width 32",
          "image record 2 at offset 2174: Reserved4 is 0, not 24"}},
        {"pixel offset",
         TwoPictureHull,
         [](Bytes& b) { PatchU32(b, kFirstRecord + at::kRecordPixelOffset, 3000); },
         {"image record 1 at offset 58: PixelOffset 3000 differs from 44 + 3 x ColourCount = 50",
          "image record 1 at offset 58: DataSize 2098 is smaller than PixelOffset 3000"}},
        {"record past the end",
         TwoPictureHull,
         [](Bytes& b) {
             for (const std::size_t field :
                  {at::kRecordDataSize, at::kRecordBlockSize, at::kRecordDataEnd}) {
                 PatchU32(b, kSecondRecord + field, 2108);
             }
             PatchU32(b, kSecondRecord + at::kRecordPixelOffset, 60);
         },
         {"group 1 (GroupId 26000): ImageDataSize 4241 differs from the sum of DataSize + 18 "
          "over its records, 4242",
          "image record 2 at offset 2174: PixelOffset 60 differs from 44 + 3 x ColourCount = 59",
          "image record 2 of 2 at offset 2174 reaches byte 4300 (DataSize + 18 = 2126), past "
          "the end of the file at byte 4299"}},
    };
    for (const Break& b : breaks) {
        SCOPED_TRACE(b.what);
        Bytes bytes = b.library();
        b.damage(bytes);
        EXPECT_EQ(Check(bytes), b.violations);
    }
}

}  // namespace
}  // namespace vexlor
