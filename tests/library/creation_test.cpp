#include "library/creation.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/support/test_files.h"

namespace vexlor {
namespace {

using test::Bytes;
using test::ReadFileBytes;
using test::WriteFileBytes;

// The four kind tests as letters, '-' for a test that fails: "H-S-" is HULL and SHIP.
std::string Kinds(const std::string& path) {
    return std::string{IsHullLibrary(path) ? 'H' : '-', IsMapLibrary(path) ? 'M' : '-',
                       IsShipLibrary(path) ? 'S' : '-', IsMissionLibrary(path) ? 'B' : '-'};
}

// A library header as another program might write it, with an optional first group.
Bytes ForeignLibrary(std::uint32_t libraryKind, std::uint16_t groupCount,
                     std::optional<std::uint16_t> firstGroupId) {
    tHEADER header{};
    std::copy(kSignature.begin(), kSignature.end(), header.Signature);
    header.GroupCount = groupCount;
    header.LibraryKind = libraryKind;
    const auto head = header.Encode();
    Bytes bytes(head.begin(), head.end());
    if (firstGroupId) {
        tGROUP group{};
        group.GroupId = *firstGroupId;
        const auto encoded = group.Encode();
        bytes.insert(bytes.end(), encoded.begin(), encoded.end());
    }
    return bytes;
}

TEST(Creation, EmptyLibrariesReplaceTheFileByteForByteAndPassOnlyTheirOwnTest) {
    const std::string head = "57 23 06 57 56 23 02 56 01 00 ";
    const std::string group = " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00";
    const struct {
        bool (*create)(const std::string&);
        std::string hex;
        const char* kinds;
    } libraries[] = {
        {CreateHullLibrary,
         head +
             "01 00 00 00 00 00 00 00 00 00 00 00 01 00 00 00 00 00 00 00 "
             "18 00 00 00 90 65" +
             group,
         "H---"},
        {CreateMapLibrary,
         head +
             "01 00 00 00 00 00 00 00 00 00 00 00 02 00 00 00 00 00 00 00 "
             "00 00 00 00 d0 39" +
             group,
         "-M--"},
        {CreateShipLibrary,
         head + "00 00 00 00 00 00 00 00 00 00 00 00 03 00 00 00 00 00 00 00 "
                "00 00 00 00",
         "--S-"},
        {CreateMissionLibrary,
         head +
             "01 00 00 00 00 00 00 00 00 00 00 00 04 00 00 00 00 00 00 "
             "00 00 00 00 00 6a 3b" +
             group,
         "---B"},
    };
    test::TempDir dir;
    const std::string path = dir.File("library.dat");
    for (const auto& library : libraries) {
        SCOPED_TRACE(library.kinds);
        WriteFileBytes(path, Bytes(5000, 0xAB));
        ASSERT_TRUE(library.create(path));
        EXPECT_EQ(ReadFileBytes(path), test::FromHex(library.hex));
        EXPECT_EQ(Kinds(path), library.kinds);
    }
    EXPECT_FALSE(CreateHullLibrary(dir.File("missing-folder/hull.dat")));
    EXPECT_FALSE(CreateMapLibrary(dir.Path().string()));  // a folder, not a file
}

TEST(KindDetection, NeedsTheWholeHeaderAndTheSignature) {
    test::TempDir dir;
    const std::string path = dir.File("lib.dat");
    ASSERT_TRUE(CreateHullLibrary(path));
    Bytes hull = ReadFileBytes(path);
    WriteFileBytes(path, Bytes(hull.begin(), hull.begin() + 33));
    EXPECT_EQ(Kinds(path), "----") << "33 bytes, though LibraryKind 1 is among them";
    hull[7] = 0x57;
    WriteFileBytes(path, hull);
    EXPECT_EQ(Kinds(path), "----") << "one signature byte wrong";
    EXPECT_EQ(Kinds(dir.File("absent.dat")), "----");
}

TEST(KindDetection, FirstGroupIdNamesTheKindOfForeignLibraries) {
    const struct {
        std::uint32_t libraryKind;
        std::uint16_t groupCount;
        std::optional<std::uint16_t> groupId;
        const char* kinds;
    } cases[] = {
        {0, 0, std::nullopt, "----"},
        {7, 1, 26000, "H---"},
        {7, 1, 14800, "-M--"},
        {7, 1, 20001, "--S-"},
        {7, 1, 20999, "--S-"},
        {7, 1, 21000, "----"},
        {7, 1, 20000, "----"},
        // BATTLE/MISSION is known by LibraryKind alone.
        {7, 1, 15210, "----"},
        // GroupCount 0: the group that is there is never read.
        {7, 0, 26000, "----"},
        // GroupCount 1 but the file ends after the header.
        {7, 1, std::nullopt, "----"},
        {1, 0, std::nullopt, "H---"},
        {1, 1, 14800, "HM--"},
        {4, 1, 26000, "H--B"},
    };
    test::TempDir dir;
    const std::string path = dir.File("foreign.dat");
    for (const auto& c : cases) {
        SCOPED_TRACE("LibraryKind " + std::to_string(c.libraryKind) + ", GroupCount " +
                     std::to_string(c.groupCount) + ", GroupId " +
                     (c.groupId ? std::to_string(*c.groupId) : "none"));
        const Bytes bytes = ForeignLibrary(c.libraryKind, c.groupCount, c.groupId);
        WriteFileBytes(path, bytes);
        EXPECT_EQ(Kinds(path), c.kinds);
        EXPECT_EQ(ReadFileBytes(path), bytes) << "a kind test must not change the file";
    }
}

}  // namespace
}  // namespace vexlor
