#include <gtest/gtest.h>

#include <filesystem>

#include "craft/craft_pictures.h"
#include "library/shade.h"
#include "tests/cli/library_bytes.h"
#include "tests/craft/craft_test_files.h"

namespace vexlor {
namespace {

using test::IdColour;
using test::TempDir;

constexpr Colour kRed = MakeColour(200, 0, 0);
constexpr Colour kBlue = MakeColour(0, 0, 180);
constexpr Colour kGrey = MakeColour(90, 90, 90);

// A game folder with a Resdata folder for the libraries.
class CraftSearch : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::create_directory(dir_.Path() / "Resdata"); }

    std::string Library(const std::string& name) const {
        return (dir_.Path() / "Resdata" / name).string();
    }

    CraftPictures Find(std::optional<std::uint16_t> hull, std::uint16_t map,
                       std::uint16_t ship) const {
        return FindCraftPictures(lines_, folder_, hull, map, ship);
    }

    TempDir dir_;
    std::string folder_ = dir_.Path().string() + "/";
    std::vector<std::string> lines_;
};

// The colour the Preview draws for a full-alpha pixel of `colour`.
Colour Hull(Colour colour) {
    return GreenShade(colour, 255);
}

TEST_F(CraftSearch, FirstMatchInListOrderAndRecordOrderWins) {
    test::MakeHullLibrary(Library("A.DAT"), {{100, kRed}, {300, kGrey}, {300, kBlue}});
    test::MakeHullLibrary(Library("B.DAT"), {{100, kBlue}, {200, kBlue}});
    lines_ = {"Resdata\\A.DAT", "Resdata\\B.DAT"};

    auto found = Find(100, 0, 0);
    ASSERT_TRUE(found.hull);
    EXPECT_EQ(found.hull->library, "A.DAT");
    EXPECT_EQ(found.hull->image.Pixel(31, 31), Hull(kRed));
    EXPECT_EQ(found.hull->width, 32u);
    EXPECT_EQ(found.hull->height, 32u);

    EXPECT_EQ(Find(200, 0, 0).hull->library, "B.DAT");
    EXPECT_EQ(Find(300, 0, 0).hull->image.Pixel(0, 0), Hull(kGrey));
    EXPECT_FALSE(Find(400, 0, 0).hull);
    // The HULL number is a PictureId, not the group's number.
    EXPECT_FALSE(Find(kHullGroupId, 0, 0).hull);
}

TEST_F(CraftSearch, EachKindIsSearchedOnlyInLibrariesOfItsKind) {
    test::MakeMapLibrary(Library("MAP.DAT"), {{100, kRed}});
    test::MakeHullLibrary(Library("HULL.DAT"), {{100, kBlue}});
    test::MakeShipLibrary(Library("SHIP.DAT"), {{20003, kRed}, {20007, kBlue}});
    CreateMissionLibrary(Library("MISSION.DAT"));
    test::AddIndexAlphaPicture(Library("MISSION.DAT"), kMissionGroupId, 100, 16, kGrey);
    lines_ = {"Resdata\\MISSION.DAT", "Resdata\\MAP.DAT", "Resdata\\SHIP.DAT", "Resdata\\HULL.DAT"};

    const auto found = Find(100, 100, 20007);
    ASSERT_TRUE(found.hull && found.map && found.ship);
    EXPECT_EQ(found.hull->library, "HULL.DAT");
    EXPECT_EQ(found.map->library, "MAP.DAT");
    EXPECT_EQ(found.map->image.Pixel(0, 0), YellowShade(kRed, 255));
    EXPECT_EQ(found.map->width, 16u);
    EXPECT_EQ(found.ship->library, "SHIP.DAT");
    EXPECT_EQ(found.ship->width, 180u);
    EXPECT_EQ(found.ship->image.Pixel(0, 179), kBlue);
    EXPECT_EQ(found.ship->image.Pixel(1, 0), Colour{0});
    // SHIP pictures go by their group's number: every SHIP record's PictureId is 1.
    EXPECT_FALSE(Find(std::nullopt, 0, 1).ship);
}

TEST_F(CraftSearch, HullIsNotSearchedWhenNotWanted) {
    test::MakeHullLibrary(Library("HULL.DAT"), {{0, kBlue}});
    lines_ = {"Resdata\\HULL.DAT"};
    EXPECT_TRUE(Find(0, 0, 0).hull);
    EXPECT_FALSE(Find(std::nullopt, 0, 0).hull);
}

TEST_F(CraftSearch, LinesAreResolvedWithoutRegardToCaseAndNamedInUpperCase) {
    test::MakeHullLibrary(Library("Hull2.dat"), {{5, kRed}});
    test::MakeMapLibrary((dir_.Path() / "map.dat").string(), {{6, kRed}});
    lines_ = {"", "resdata/missing.dat", "RESDATA\\hull2.DAT", "MAP.DAT"};
    const auto found = Find(5, 6, 20001);
    ASSERT_TRUE(found.hull && found.map);
    EXPECT_EQ(found.hull->library, "HULL2.DAT");
    EXPECT_EQ(found.map->library, "MAP.DAT");
    EXPECT_FALSE(found.ship);
}

TEST_F(CraftSearch, DrawingFollowsTheLibraryKindNotThePictureFormat) {
    CreateHullLibrary(Library("HULL.DAT"));
    test::AddIndexAlphaPicture(Library("HULL.DAT"), kHullGroupId, 7, 32, kRed, kRunLengthFormat);
    lines_ = {"Resdata\\HULL.DAT"};
    const auto found = Find(7, 0, 0);
    ASSERT_TRUE(found.hull);
    EXPECT_EQ(found.hull->image.Pixel(10, 10), Hull(kRed));
}

TEST_F(CraftSearch, LibraryCutShortIsSearchedAsFarAsItGoes) {
    const std::string cut = Library("CUT.DAT");
    test::MakeHullLibrary(cut, {{1, kRed}, {2, kRed}, {3, kRed}});
    test::MakeHullLibrary(Library("WHOLE.DAT"), {{3, kBlue}, {2, kBlue}});
    // The third record's header is cut: picture 3 comes from the next library.
    const std::uintmax_t recordBytes = 62 + 6 + 2048;
    std::filesystem::resize_file(cut, 58 + 2 * recordBytes + 30);
    lines_ = {"Resdata\\CUT.DAT", "Resdata\\WHOLE.DAT"};
    EXPECT_EQ(Find(3, 0, 0).hull->library, "WHOLE.DAT");

    // The second record's pixels are cut: it is still the match, drawn as far as it goes, the
    // rest in palette entry 0's colour.
    std::filesystem::resize_file(cut, 58 + recordBytes + 68 + 2 * 32 * 10);
    const auto found = Find(2, 0, 0);
    ASSERT_TRUE(found.hull);
    EXPECT_EQ(found.hull->library, "CUT.DAT");
    EXPECT_EQ(found.hull->image.Pixel(31, 9), Hull(kRed));
    EXPECT_EQ(found.hull->image.Pixel(0, 10), Colour{0});
}

TEST_F(CraftSearch, AbsurdCountsEndTheWalkAtTheFileEnd) {
    const std::string path = Library("ODD.DAT");
    test::MakeHullLibrary(path, {{1, kRed}});
    test::Bytes bytes = test::ReadFileBytes(path);
    test::PatchU16(bytes, test::at::kImageCount, 65535);
    test::WriteFileBytes(path, bytes);
    test::MakeHullLibrary(Library("NEXT.DAT"), {{9, kBlue}});
    lines_ = {"Resdata\\ODD.DAT", "Resdata\\NEXT.DAT"};
    EXPECT_EQ(Find(9, 0, 0).hull->library, "NEXT.DAT");

    // A group table reaching past the file's end leaves no records to walk.
    test::PatchU16(bytes, test::at::kGroupCount, 65535);
    test::WriteFileBytes(path, bytes);
    EXPECT_EQ(Find(1, 0, 0).hull, std::nullopt);
}

TEST(CraftLibraryName, IsTheTextAfterTheLastSeparatorInUpperCase) {
    EXPECT_EQ(LibraryFileNameOf("Resdata\\hull.dat"), "HULL.DAT");
    EXPECT_EQ(LibraryFileNameOf("a/b\\c/Map_1.Dat"), "MAP_1.DAT");
    EXPECT_EQ(LibraryFileNameOf("D:ship.dat"), "SHIP.DAT");
    EXPECT_EQ(LibraryFileNameOf("plain"), "PLAIN");
    EXPECT_EQ(LibraryFileNameOf("ends\\"), "");
}

}  // namespace
}  // namespace vexlor
