// Large libraries are read through a view of the file in memory: what is read must be what the
// file holds, no byte beyond its end, also when the file is cut short while it is viewed.
#include <gtest/gtest.h>

#include <filesystem>

#include "library/byte_file.h"
#include "library/byte_order.h"
#include "library/library_walk.h"
#include "tests/support/any_library.h"
#include "tests/support/posix_only.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;

// 200 index-alpha records of 1000 x 1: about 400 KB, large enough to be viewed.
test::Bytes LargeLibrary() {
    test::AnyGroup group{26000, {}};
    for (std::uint16_t k = 0; k < 200; ++k) {
        group.records.push_back(test::IndexAlphaRow(k, 1000));
    }
    return test::BuildAnyLibrary(1, {group});
}

TEST(ViewedFileTest, ReadsWhatTheFileHoldsAndNothingBeyondItsEnd) {
    test::TempDir dir;
    const test::Bytes bytes = LargeLibrary();
    test::WriteFileBytes(dir.File("HULL.DAT"), bytes);
    ByteFile file(dir.File("HULL.DAT"), ByteFile::Mode::Read);
    std::uint8_t read[100];
    for (const std::uint64_t at : {std::uint64_t{0}, std::uint64_t{12345}, bytes.size() - 100}) {
        ASSERT_TRUE(file.ReadExactAt(at, read, sizeof read));
        EXPECT_TRUE(std::equal(read, read + sizeof read, bytes.begin() + static_cast<long>(at)));
    }
    EXPECT_EQ(file.ReadAt(bytes.size() - 40, read, sizeof read), 40u);
    EXPECT_EQ(file.ReadAt(bytes.size() + 10, read, sizeof read), 0u);
}

TEST(ViewedFileTest, AFileCutShortWhileViewedReadsShortRatherThanStoppingTheProgram) {
    VEXLOR_POSIX_ONLY("a view of the file in memory");
    test::TempDir dir;
    test::WriteFileBytes(dir.File("HULL.DAT"), LargeLibrary());
    ByteFile file(dir.File("HULL.DAT"), ByteFile::Mode::Read);
    fs::resize_file(dir.File("HULL.DAT"), 5000);
    std::uint8_t read[62];
    EXPECT_EQ(file.ReadAt(300000, read, sizeof read), 0u);
    EXPECT_EQ(file.ReadAt(4990, read, sizeof read), 10u);
    EXPECT_TRUE(file.ReadExactAt(0, read, sizeof read));
}

// The view shows a few megabytes at a time: a walk over a larger file, a read across the end of
// what is shown, one larger than that, and one that steps back read what the file holds.
TEST(ViewedFileTest, ReadsAcrossTheViewsWindowsReadWhatTheFileHolds) {
    test::TempDir dir;
    test::Bytes bytes(9 * 1024 * 1024 + 777);
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        bytes[k] = static_cast<std::uint8_t>(k * 31 + k / 251);
    }
    test::WriteFileBytes(dir.File("BIG.DAT"), bytes);
    ByteFile file(dir.File("BIG.DAT"), ByteFile::Mode::Read);
    const auto readsTheFile = [&](std::uint64_t at, std::size_t count) {
        test::Bytes read(count);
        return file.ReadExactAt(at, read.data(), count) &&
               std::equal(read.begin(), read.end(), bytes.begin() + static_cast<long>(at));
    };
    for (std::uint64_t at = 114; at + 62 <= bytes.size(); at += 2115) {
        ASSERT_TRUE(readsTheFile(at, 62)) << at;
    }
    EXPECT_TRUE(readsTheFile(4 * 1024 * 1024 - 30, 62));
    EXPECT_TRUE(readsTheFile(1000, 5 * 1024 * 1024));
    EXPECT_TRUE(readsTheFile(8 * 1024 * 1024, 100));
    EXPECT_TRUE(readsTheFile(3, 62));
}

// A walk of damaged records in a viewed file: one that claims more bytes than the file has, and
// a record header that the file cuts short.
TEST(ViewedFileTest, DamagedRecordsOfALargeLibraryAreWalkedWithinTheFile) {
    test::TempDir dir;
    test::Bytes bytes = LargeLibrary();
    const std::size_t first = ImageDataStart(tHEADER::Decode(bytes.data()));
    const std::size_t recordBytes = tIMAGE::kSize + 4 * 3 + 2000;
    bytes.resize(first + 199 * recordBytes + 30);  // 30 bytes into the last header
    test::WriteFileBytes(dir.File("CUT.DAT"), bytes);
    const LibraryWalk cut = WalkLibrary(dir.File("CUT.DAT"));
    EXPECT_EQ(cut.records.size(), 199u);
    EXPECT_EQ(cut.trailingBytes, 30u);

    PutU32(&bytes[first + 150 * recordBytes + 14], 0xFFFFFFF0u);  // DataSize of record 151
    test::WriteFileBytes(dir.File("HUGE.DAT"), bytes);
    const LibraryWalk huge = WalkLibrary(dir.File("HUGE.DAT"));
    ASSERT_EQ(huge.records.size(), 151u);
    EXPECT_TRUE(huge.records.back().cutShort);
    LibraryReader reader;
    ASSERT_TRUE(reader.Open(dir.File("HUGE.DAT")));
    tPAL palette;
    tPIX pixels;
    EXPECT_EQ(reader.ReadPicture(huge.records.back().record, palette, pixels),
              ReadStatus::ShortPixels);
    EXPECT_TRUE(pixels.empty());
}

}  // namespace
}  // namespace vexlor
