#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "library/byte_file.h"
#include "library/splice.h"
#include "tests/support/posix_only.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

using test::Bytes;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

Bytes Pattern(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 31 + i / 251);
    }
    return bytes;
}

std::string Slice(const Bytes& bytes, std::size_t from, std::size_t count) {
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                       bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
}

// What the splices make of `bytes`, worked out in memory as the reference.
Bytes Spliced(const Bytes& bytes, const Splices& splices) {
    Bytes out;
    std::size_t at = 0;
    for (const Splice& s : splices) {
        out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                   bytes.begin() + static_cast<std::ptrdiff_t>(s.offset));
        out.insert(out.end(), s.inserted.begin(), s.inserted.end());
        at = s.offset + s.removed.size();
    }
    out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end());
    return out;
}

class SpliceFile : public ::testing::Test {
  protected:
    // Applies by rewrite and checks the result against the reference and the two predicates.
    void Rewrite(const Splices& splices) {
        const Bytes before = ReadFileBytes(path_);
        {
            ByteFile file(path_, ByteFile::Mode::Read);
            ASSERT_TRUE(HoldsRemovedBytes(file, splices));
            ASSERT_TRUE(ApplyByRewrite(path_, file, splices, ".new"));
        }
        EXPECT_EQ(ReadFileBytes(path_), Spliced(before, splices));
        ByteFile file(path_, ByteFile::Mode::Read);
        EXPECT_TRUE(HoldsInsertedBytes(file, before.size(), splices));
    }
    void InPlace(const Splices& splices) {
        const Bytes before = ReadFileBytes(path_);
        ASSERT_TRUE(CanApplyInPlace(splices, before.size()));
        ByteFile file(path_, ByteFile::Mode::ReadWrite);
        ASSERT_TRUE(ApplyInPlace(file, before.size(), splices));
        EXPECT_TRUE(HoldsInsertedBytes(file, before.size(), splices));
        EXPECT_EQ(ReadFileBytes(path_), Spliced(before, splices));
    }

    TempDir dir_;
    std::string path_ = dir_.File("library.dat");
};

TEST_F(SpliceFile, RewriteAndItsInverseGiveBackTheOldFileAcrossPieces) {
    // Larger than one piece of the rewrite, so that copies straddle pieces.
    const Bytes old = Pattern(3u << 20);
    WriteFileBytes(path_, old);
    const Splices splices = {
        {0, Slice(old, 0, 4), "abcd"},
        {100, "", std::string(5000, 'i')},
        {1u << 20, Slice(old, 1u << 20, 70000), "x"},
        {(2u << 20) + 3, Slice(old, (2u << 20) + 3, 10), std::string(10, 'o')},
        {old.size() - 9, Slice(old, old.size() - 9, 9), ""},
    };
    ASSERT_TRUE(IsWellFormed(splices, old.size()));
    EXPECT_FALSE(CanApplyInPlace(splices, old.size()));
    EXPECT_EQ(SizeAfter(old.size(), splices), old.size() + 5000 - 70000 + 1 - 9);
    EXPECT_EQ(TouchedBytes(splices), 8u + 5000 + 70001 + 20 + 9);
    Rewrite(splices);
    Rewrite(InverseOf(splices));
    EXPECT_EQ(ReadFileBytes(path_), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()), {}), 1);
}

TEST_F(SpliceFile, InPlaceGrowingAndShrinkingEndsAndTheirInverses) {
    const Bytes old = Pattern(500);
    WriteFileBytes(path_, old);
    const Splices append = {{0, Slice(old, 0, 58), std::string(58, 'h')},
                            {500, "", std::string(300, 'r')}};
    InPlace(append);
    InPlace(InverseOf(append));
    EXPECT_EQ(ReadFileBytes(path_), old);

    // A cut tail gives way to a shorter record, and back.
    const Splices cut = {{10, Slice(old, 10, 2), "zz"}, {400, Slice(old, 400, 100), "tail"}};
    InPlace(cut);
    EXPECT_EQ(std::filesystem::file_size(path_), 404u);
    InPlace(InverseOf(cut));
    EXPECT_EQ(ReadFileBytes(path_), old);
}

TEST_F(SpliceFile, AGrowingEndThatCannotBeWrittenLeavesTheOverwritesUnmade) {
    VEXLOR_POSIX_ONLY("a limit on file sizes");
    const Bytes old = Pattern(500);
    WriteFileBytes(path_, old);
    bool applied = true;
    {
        const test::FileSizeLimit limit(600);  // room for part of the new end only
        ByteFile file(path_, ByteFile::Mode::ReadWrite);
        applied = ApplyInPlace(
            file, 500, {{0, Slice(old, 0, 8), "counts.."}, {500, "", std::string(300, 'r')}});
    }
    EXPECT_FALSE(applied);
    const Bytes after = ReadFileBytes(path_);
    EXPECT_TRUE(std::equal(old.begin(), old.end(), after.begin()));
}

TEST(SpliceLists, MalformedListsAreRefusedAndLeaveTheFile) {
    EXPECT_TRUE(IsWellFormed({{4, "ab", ""}, {6, "", "x"}, {6, "c", ""}}, 7));
    EXPECT_FALSE(IsWellFormed({{4, "ab", ""}, {5, "c", ""}}, 10));  // overlap
    EXPECT_FALSE(IsWellFormed({{6, "", ""}, {2, "", ""}}, 10));     // unsorted
    EXPECT_FALSE(IsWellFormed({{9, "ab", ""}}, 10));                // beyond the end
    EXPECT_FALSE(CanApplyInPlace({{4, "", "x"}, {9, "a", "a"}}, 10));
    EXPECT_FALSE(CanApplyInPlace({{4, "ab", "x"}}, 10));
    EXPECT_TRUE(CanApplyInPlace({{4, "ab", "xy"}, {8, "ab", ""}}, 10));

    TempDir dir;
    const std::string path = dir.File("f");
    const Bytes old = Pattern(10);
    WriteFileBytes(path, old);
    ByteFile file(path, ByteFile::Mode::ReadWrite);
    const Splices overlapping = {{4, Slice(old, 4, 2), ""}, {5, Slice(old, 5, 1), ""}};
    EXPECT_FALSE(ApplyInPlace(file, 10, overlapping));
    EXPECT_FALSE(ApplyByRewrite(path, file, overlapping, ".new"));
    EXPECT_FALSE(HoldsRemovedBytes(file, {{4, "no", ""}}));
    EXPECT_FALSE(HoldsRemovedBytes(file, {{9, Slice(old, 9, 1) + "x", ""}}));
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

}  // namespace
}  // namespace vexlor
