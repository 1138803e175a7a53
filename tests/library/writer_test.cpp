#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "library/byte_order.h"
#include "library/creation.h"
#include "library/library_reader.h"
#include "library/library_writer.h"
#include "tests/support/posix_only.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

using test::Bytes;
using test::ReadFileBytes;
using test::TempDir;

tPAL Palette(std::size_t n) {
    tPAL palette;
    for (unsigned i = 0; i < n; ++i) {
        palette.push_back(static_cast<std::int32_t>(MakeColour(10 * i, 20 + i, 30)));
    }
    return palette;
}

WriteResult AppendHull(const std::string& path, std::uint16_t id, std::size_t colours) {
    const tPIX pixels(2048, 1);
    const tIMAGE record = tIMAGE::Make(kIndexAlphaFormat, 32, 32, kHullGroupId, id,
                                       static_cast<std::uint32_t>(colours), 2048);
    return AppendToSingleGroupLibrary(path, record, Palette(colours), pixels);
}

TEST(AppendTest, HullPictureGrowsFileAndCountsByRecordSize) {
    TempDir dir;
    const auto path = dir.File("HULL.DAT");
    ASSERT_TRUE(CreateHullLibrary(path));
    ASSERT_EQ(AppendHull(path, 4700, 2), WriteResult::Ok);

    const Bytes bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 2174u);
    const tHEADER header = tHEADER::Decode(bytes.data());
    EXPECT_EQ(+header.ImageCount, 1);
    EXPECT_EQ(+header.ImageDataSize, 2116u);
    EXPECT_EQ(+header.ColourCount, 2u);
    EXPECT_EQ(+header.GroupDataSize, 24u);
    const tGROUP group = tGROUP::Decode(bytes.data() + 34);
    EXPECT_EQ(+group.GroupId, kHullGroupId);
    EXPECT_EQ(+group.ImageCount, 1);
    EXPECT_EQ(+group.ImageDataSize, 2116u);
    EXPECT_EQ(+group.ColourCount, 2u);
    const tIMAGE image = tIMAGE::Decode(bytes.data() + 58);
    EXPECT_EQ(+image.DataSize, 2098u);
    EXPECT_EQ(+image.PixelOffset, 50u);
    EXPECT_EQ(+image.PictureId, 4700);
    EXPECT_EQ(bytes[120], RedOf(static_cast<Colour>(Palette(2)[0])));
    EXPECT_EQ(bytes[126], 1);  // first pixel byte

    const auto before = std::filesystem::file_size(path);
    ASSERT_EQ(AppendHull(path, 4800, 5), WriteResult::Ok);
    EXPECT_EQ(std::filesystem::file_size(path) - before, 2125u);
    const Bytes after = ReadFileBytes(path);
    const tIMAGE second = tIMAGE::Decode(after.data() + 2174);
    EXPECT_EQ(+second.DataSize, 2107u);
    EXPECT_EQ(+second.PixelOffset, 59u);
    EXPECT_EQ(+tHEADER::Decode(after.data()).ImageDataSize, 2116u + 2125u);
}

TEST(AppendTest, ChangesOnlyHeaderAndFirstGroupAndAddsAtTheEnd) {
    TempDir dir;
    const auto path = dir.File("MAP.DAT");
    ASSERT_TRUE(CreateMapLibrary(path));
    const tIMAGE record = tIMAGE::Make(kIndexAlphaFormat, 16, 16, kMapGroupId, 17500, 3, 512);
    ASSERT_EQ(AppendToSingleGroupLibrary(path, record, Palette(3), tPIX(512, 2)), WriteResult::Ok);
    const Bytes before = ReadFileBytes(path);
    ASSERT_EQ(AppendToSingleGroupLibrary(path, record, Palette(3), tPIX(512, 2)), WriteResult::Ok);
    const Bytes after = ReadFileBytes(path);
    ASSERT_EQ(after.size(), before.size() + 3 * 3 + 574);
    EXPECT_TRUE(std::equal(before.begin() + 58, before.end(), after.begin() + 58));
    EXPECT_EQ(+tHEADER::Decode(after.data()).GroupDataSize, 0u);  // untouched by appends
}

TEST(AppendTest, RefusesWhatIsNotASingleGroupLibrary) {
    TempDir dir;
    const auto shortFile = dir.File("short.dat");
    test::WriteFileBytes(shortFile, Bytes(40, 0));
    EXPECT_EQ(AppendHull(shortFile, 4700, 1), WriteResult::NotALibrary);
    EXPECT_EQ(ReadFileBytes(shortFile), Bytes(40, 0));

    const auto ship = dir.File("ship.dat");
    ASSERT_TRUE(CreateShipLibrary(ship));
    test::WriteFileBytes(ship, [&] {
        Bytes b = ReadFileBytes(ship);
        b.resize(200, 0x55);  // image data where a group would be
        return b;
    }());
    const Bytes before = ReadFileBytes(ship);
    EXPECT_EQ(AppendHull(ship, 4700, 1), WriteResult::NotALibrary);
    EXPECT_EQ(ReadFileBytes(ship), before);

    EXPECT_EQ(AppendHull(dir.File("missing.dat"), 4700, 1), WriteResult::CannotOpen);
}

TEST(AppendTest, FullCountIsRefused) {
    TempDir dir;
    const auto path = dir.File("HULL.DAT");
    ASSERT_TRUE(CreateHullLibrary(path));
    Bytes bytes = ReadFileBytes(path);
    PutU16(&bytes[34 + 2], 0xFFFF);
    test::WriteFileBytes(path, bytes);
    EXPECT_EQ(AppendHull(path, 4700, 1), WriteResult::Full);
    EXPECT_EQ(ReadFileBytes(path), bytes);
}

TEST(AppendTest, FailedWriteLeavesTheLibraryAsItWas) {
    VEXLOR_POSIX_ONLY("a limit on file sizes");
    TempDir dir;
    const auto path = dir.File("HULL.DAT");
    ASSERT_TRUE(CreateHullLibrary(path));
    ASSERT_EQ(AppendHull(path, 4700, 2), WriteResult::Ok);
    const Bytes before = ReadFileBytes(path);
    {
        test::FileSizeLimit limit(before.size() + 1000);  // room for part of the record only
        EXPECT_EQ(AppendHull(path, 4800, 2), WriteResult::WriteFailed);
    }
    EXPECT_EQ(ReadFileBytes(path), before);
}

WriteResult AppendShip(const std::string& path, const std::string& copy, std::uint16_t id,
                       std::size_t colours, std::size_t pixelBytes) {
    return AppendToShipLibrary(path, copy, id, Palette(colours), tPIX(pixelBytes, 7));
}

TEST(ShipAppendTest, FirstAndSecondPictureBringTheirGroups) {
    TempDir dir;
    const auto path = dir.File("SHIP.DAT");
    const auto copy = dir.File("SHIP.tmp");
    ASSERT_TRUE(CreateShipLibrary(path));
    ASSERT_EQ(AppendShip(path, copy, 20001, 4, 300), WriteResult::Ok);
    EXPECT_EQ(ReadFileBytes(copy).size(), 34u);

    Bytes bytes = ReadFileBytes(path);
    tHEADER header = tHEADER::Decode(bytes.data());
    EXPECT_EQ(+header.GroupCount, 1);
    EXPECT_EQ(+header.ImageCount, 1);
    EXPECT_EQ(+header.GroupDataSize, 24u);
    const tGROUP first = tGROUP::Decode(bytes.data() + 34);
    EXPECT_EQ(+first.GroupId, 20001);
    EXPECT_EQ(+first.DataOffset, 0u);
    EXPECT_EQ(+first.ImageDataSize, 62u + 12u + 300u);
    const tIMAGE image = tIMAGE::Decode(bytes.data() + 58);
    EXPECT_EQ(+image.GroupId, 20001);
    EXPECT_EQ(+image.PictureId, 1);
    EXPECT_EQ(+image.BlockWidth, 180u);
    EXPECT_EQ(+image.PictureFormat, kRunLengthFormat);
    EXPECT_EQ(bytes.size(), 58u + first.ImageDataSize);

    const Bytes beforeSecond = bytes;
    ASSERT_EQ(AppendShip(path, copy, 20002, 2, 100), WriteResult::Ok);
    EXPECT_EQ(ReadFileBytes(copy), beforeSecond);
    bytes = ReadFileBytes(path);
    header = tHEADER::Decode(bytes.data());
    EXPECT_EQ(+header.GroupCount, 2);
    EXPECT_EQ(+header.ImageCount, 2);
    EXPECT_EQ(+header.GroupDataSize, 48u);
    EXPECT_EQ(+header.ImageDataSize, first.ImageDataSize + 62u + 6u + 100u);
    EXPECT_EQ(+tGROUP::Decode(bytes.data() + 58).DataOffset, +first.ImageDataSize);
    // The old record moved by one group record, unchanged.
    EXPECT_TRUE(std::equal(beforeSecond.begin() + 58, beforeSecond.end(), bytes.begin() + 82));
}

// Read-only means unchanged, for root too: no writer takes the mark off, in place or by a rewrite,
// and a file with other names is refused alike by both.
TEST(ShipAppendTest, ReadOnlyAndHardLinkedLibrariesAreLeftAsTheyAre) {
    namespace fs = std::filesystem;
    TempDir dir;
    const auto ship = dir.File("SHIP.DAT");
    const auto hull = dir.File("HULL.DAT");
    ASSERT_TRUE(CreateShipLibrary(ship));
    ASSERT_TRUE(CreateHullLibrary(hull));
    ASSERT_EQ(AppendHull(hull, 4700, 2), WriteResult::Ok);
    const Bytes shipBefore = ReadFileBytes(ship);
    const Bytes hullBefore = ReadFileBytes(hull);
    const fs::perms readOnly =
        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    fs::permissions(ship, readOnly);
    fs::permissions(hull, readOnly);
    EXPECT_EQ(AppendShip(ship, dir.File("SHIP.tmp"), 20001, 1, 10), WriteResult::ReadOnly);
    EXPECT_EQ(AppendHull(hull, 4800, 2), WriteResult::ReadOnly);
    EXPECT_EQ(WritePictureIdAt(hull, 1, 4700, 4900, RecordsStart::AfterGroupTable),
              RenumberResult::ReadOnly);
    EXPECT_EQ(ReadFileBytes(ship), shipBefore);
    EXPECT_EQ(ReadFileBytes(hull), hullBefore);
    EXPECT_EQ(fs::status(ship).permissions() & fs::perms::mask, readOnly);
    EXPECT_EQ(fs::status(hull).permissions() & fs::perms::mask, readOnly);

    fs::permissions(hull, fs::perms::owner_write, fs::perm_options::add);
    fs::create_hard_link(hull, dir.File("HULL.DAT.saved"));
    EXPECT_EQ(AppendHull(hull, 4800, 2), WriteResult::HardLinked);
    EXPECT_EQ(WritePictureIdAt(hull, 1, 4700, 4900, RecordsStart::AfterGroupTable),
              RenumberResult::HardLinked);
    EXPECT_EQ(ReadFileBytes(dir.File("HULL.DAT.saved")), hullBefore);
}

// The copy's name is the program's own: a link planted there is replaced, not written through.
TEST(ShipAppendTest, ALinkAtTheCopysNameIsReplacedNotFollowed) {
    VEXLOR_POSIX_ONLY("symbolic links");
    namespace fs = std::filesystem;
    TempDir dir;
    const auto path = dir.File("SHIP.DAT");
    ASSERT_TRUE(CreateShipLibrary(path));
    test::WriteFileBytes(dir.File("theirs"), Bytes(5, 9));
    fs::permissions(dir.File("theirs"), fs::perms::owner_read);
    fs::create_symlink(dir.File("theirs"), dir.File("SHIP.tmp"));
    fs::create_symlink(dir.File("theirs"), dir.File("SHIP.tmp.vexlor-new"));
    const Bytes before = ReadFileBytes(path);
    ASSERT_EQ(AppendShip(path, dir.File("SHIP.tmp"), 20001, 2, 50), WriteResult::Ok);
    EXPECT_FALSE(fs::is_symlink(dir.File("SHIP.tmp")));
    EXPECT_EQ(ReadFileBytes(dir.File("SHIP.tmp")), before);
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir.File("SHIP.tmp.vexlor-new"))));
    EXPECT_EQ(ReadFileBytes(dir.File("theirs")), Bytes(5, 9));
    EXPECT_EQ(fs::status(dir.File("theirs")).permissions() & fs::perms::mask,
              fs::perms::owner_read);
}

TEST(ShipAppendTest, ALibraryReachedThroughALinkIsRebuiltWhereTheLinkLeads) {
    VEXLOR_POSIX_ONLY("symbolic links");
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "libraries");
    const auto target = dir.File("libraries/SHIP.DAT");
    const auto link = dir.File("SHIP.DAT");
    ASSERT_TRUE(CreateShipLibrary(target));
    std::filesystem::create_symlink("libraries/SHIP.DAT", link);
    ASSERT_EQ(AppendShip(link, dir.File("SHIP.tmp"), 20001, 2, 50), WriteResult::Ok);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(+tHEADER::Decode(ReadFileBytes(target).data()).ImageCount, 1);
    EXPECT_EQ(ReadFileBytes(dir.File("SHIP.tmp")).size(), 34u);
}

TEST(ShipAppendTest, InterruptedRebuildLeavesTheOldLibrary) {
    VEXLOR_POSIX_ONLY("a limit on file sizes");
    TempDir dir;
    const auto path = dir.File("SHIP.DAT");
    const auto copy = dir.File("SHIP.tmp");
    ASSERT_TRUE(CreateShipLibrary(path));
    ASSERT_EQ(AppendShip(path, copy, 20001, 8, 5000), WriteResult::Ok);
    const Bytes before = ReadFileBytes(path);
    {
        test::FileSizeLimit limit(before.size() + 100);  // the copy fits, the rebuilt library not
        EXPECT_EQ(AppendShip(path, copy, 20002, 8, 5000), WriteResult::WriteFailed);
    }
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(ReadFileBytes(copy), before);
    EXPECT_FALSE(std::filesystem::exists(path + ".vexlor-new"));
}

TEST(ShipAppendTest, LeftoversGoAndHardLinksAreKept) {
    TempDir dir;
    const auto path = dir.File("SHIP.DAT");
    ASSERT_TRUE(CreateShipLibrary(path));
    test::WriteFileBytes(path + ".vexlor-new", Bytes(10, 1));
    test::WriteFileBytes(path + ".vexlor-new-4", Bytes(10, 1));
    ASSERT_EQ(AppendShip(path, dir.File("SHIP.tmp"), 20001, 2, 50), WriteResult::Ok);
    EXPECT_FALSE(std::filesystem::exists(path + ".vexlor-new"));
    EXPECT_FALSE(std::filesystem::exists(path + ".vexlor-new-4"));

    const Bytes before = ReadFileBytes(path);
    std::filesystem::create_hard_link(path, dir.File("backup of SHIP.DAT"));
    EXPECT_EQ(AppendShip(path, dir.File("SHIP.tmp"), 20002, 2, 50), WriteResult::HardLinked);
    EXPECT_EQ(ReadFileBytes(dir.File("backup of SHIP.DAT")), before);
    std::filesystem::remove(dir.File("backup of SHIP.DAT"));
    std::filesystem::create_hard_link(dir.File("SHIP.tmp"), dir.File("copy of SHIP.tmp"));
    EXPECT_EQ(AppendShip(path, dir.File("SHIP.tmp"), 20002, 2, 50), WriteResult::HardLinked);
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST(ShipAppendTest, LibraryShorterThanItsCountsIsNotRebuilt) {
    TempDir dir;
    const auto path = dir.File("SHIP.DAT");
    ASSERT_TRUE(CreateShipLibrary(path));
    ASSERT_EQ(AppendShip(path, dir.File("SHIP.tmp"), 20001, 8, 500), WriteResult::Ok);
    Bytes cut = ReadFileBytes(path);
    cut.resize(cut.size() - 10);
    test::WriteFileBytes(path, cut);
    EXPECT_EQ(AppendShip(path, dir.File("SHIP.tmp"), 20002, 1, 10), WriteResult::NotALibrary);
    EXPECT_EQ(ReadFileBytes(path), cut);
}

TEST(RenumberTest, ChangesOnlyTheIdentifierOfTheRecordThatStillCarriesIt) {
    TempDir dir;
    const auto path = dir.File("HULL.DAT");
    ASSERT_TRUE(CreateHullLibrary(path));
    ASSERT_EQ(AppendHull(path, 4700, 2), WriteResult::Ok);
    ASSERT_EQ(AppendHull(path, 4800, 3), WriteResult::Ok);
    const Bytes before = ReadFileBytes(path);

    EXPECT_EQ(WritePictureIdAt(path, 2, 4700, 9900, RecordsStart::AfterGroupTable),
              RenumberResult::Mismatch);
    EXPECT_EQ(WritePictureIdAt(path, 3, 4800, 9900, RecordsStart::AfterGroupTable),
              RenumberResult::NoRecord);
    EXPECT_EQ(WritePictureIdAt(path, 2, -1, 9900, RecordsStart::AfterGroupTable),
              RenumberResult::Mismatch);
    EXPECT_EQ(ReadFileBytes(path), before);

    EXPECT_EQ(WritePictureIdAt(path, 2, 4800, 9900, RecordsStart::AfterGroupTable),
              RenumberResult::Written);
    const Bytes after = ReadFileBytes(path);
    const std::size_t second = 58 + 2116;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (i != second + 12 && i != second + 13) {
            ASSERT_EQ(after[i], before[i]) << "byte " << i;
        }
    }
    EXPECT_EQ(+tIMAGE::Decode(after.data() + second).PictureId, 9900);
}

TEST(RenumberTest, ShipChangesGroupAndRecordIndependently) {
    TempDir dir;
    const auto path = dir.File("SHIP.DAT");
    const auto copy = dir.File("SHIP.tmp");
    ASSERT_TRUE(CreateShipLibrary(path));
    ASSERT_EQ(AppendShip(path, copy, 20001, 2, 50), WriteResult::Ok);
    ASSERT_EQ(AppendShip(path, copy, 20002, 2, 50), WriteResult::Ok);
    const Bytes before = ReadFileBytes(path);

    EXPECT_EQ(WriteShipGroupIdAt(path, 2, 20002, 20100), RenumberResult::Written);
    Bytes after = ReadFileBytes(path);
    const std::size_t secondRecord = 82 + tGROUP::Decode(before.data() + 34).ImageDataSize;
    EXPECT_EQ(+tGROUP::Decode(after.data() + 58).GroupId, 20100);
    EXPECT_EQ(+tIMAGE::Decode(after.data() + secondRecord).GroupId, 20100);
    EXPECT_EQ(+tIMAGE::Decode(after.data() + secondRecord).PictureId, 1);

    // Only the image record still carries 20100 once the group is changed behind our back.
    PutU16(&after[58], 20050);
    test::WriteFileBytes(path, after);
    EXPECT_EQ(WriteShipGroupIdAt(path, 2, 20100, 20200), RenumberResult::Written);
    after = ReadFileBytes(path);
    EXPECT_EQ(+tGROUP::Decode(after.data() + 58).GroupId, 20050);
    EXPECT_EQ(+tIMAGE::Decode(after.data() + secondRecord).GroupId, 20200);
}

TEST(RenumberTest, MissionWalkStartsAfterTheFirstGroup) {
    TempDir dir;
    const auto path = dir.File("MISSION.DAT");
    ASSERT_TRUE(CreateMissionLibrary(path));
    const tIMAGE record = tIMAGE::Make(kRunLengthFormat, 100, 75, kMissionGroupId, 1003, 1, 10);
    ASSERT_EQ(AppendToSingleGroupLibrary(path, record, Palette(1), tPIX(10, 0)), WriteResult::Ok);
    EXPECT_EQ(WritePictureIdAt(path, 1, 1003, 1005, RecordsStart::AfterFirstGroup),
              RenumberResult::Written);
    EXPECT_EQ(+tIMAGE::Decode(ReadFileBytes(path).data() + 58).PictureId, 1005);
}

TEST(ReaderTest, WalksRecordsAndReportsWhatTheFileLacks) {
    TempDir dir;
    const auto path = dir.File("HULL.DAT");
    ASSERT_TRUE(CreateHullLibrary(path));
    ASSERT_EQ(AppendHull(path, 4700, 2), WriteResult::Ok);
    ASSERT_EQ(AppendHull(path, 4800, 3), WriteResult::Ok);

    LibraryReader reader;
    ASSERT_TRUE(reader.Open(path));
    ImageRecord record;
    tPAL palette;
    tPIX pixels;
    ASSERT_TRUE(reader.NextRecord(record));
    EXPECT_EQ(record.offset, 58u);
    EXPECT_EQ(reader.ReadPicture(record, palette, pixels), ReadStatus::Ok);
    EXPECT_EQ(palette, Palette(2));
    EXPECT_EQ(pixels.size(), 2048u);
    ASSERT_TRUE(reader.NextRecord(record));
    EXPECT_EQ(+record.image.PictureId, 4800);
    EXPECT_FALSE(reader.NextRecord(record));
    EXPECT_EQ(reader.LastStatus(), ReadStatus::Ok);

    Bytes cut = ReadFileBytes(path);
    cut.resize(cut.size() - 1);
    test::WriteFileBytes(path, cut);
    ASSERT_TRUE(reader.Open(path));
    ASSERT_TRUE(reader.NextRecord(record));
    ASSERT_TRUE(reader.NextRecord(record));
    EXPECT_EQ(reader.ReadPicture(record, palette, pixels), ReadStatus::ShortPixels);
    EXPECT_TRUE(pixels.empty());

    cut.resize(58 + 2116 + 30);
    test::WriteFileBytes(path, cut);
    ASSERT_TRUE(reader.Open(path));
    ASSERT_TRUE(reader.NextRecord(record));
    EXPECT_FALSE(reader.NextRecord(record));
    EXPECT_EQ(reader.LastStatus(), ReadStatus::ShortRecord);
}

TEST(ReaderTest, AbsurdSizesAreCheckedBeforeAnythingIsRead) {
    TempDir dir;
    const auto path = dir.File("odd.dat");
    ASSERT_TRUE(CreateHullLibrary(path));
    ASSERT_EQ(AppendHull(path, 4700, 2), WriteResult::Ok);
    Bytes bytes = ReadFileBytes(path);
    PutU32(&bytes[58 + 58], 0xFFFFFFFF);  // ColourCount
    test::WriteFileBytes(path, bytes);

    LibraryReader reader;
    ASSERT_TRUE(reader.Open(path));
    ImageRecord record;
    tPAL palette;
    tPIX pixels;
    ASSERT_TRUE(reader.NextRecord(record));
    EXPECT_EQ(reader.ReadPicture(record, palette, pixels), ReadStatus::ShortPalette);

    PutU32(&bytes[58 + 58], 2);
    PutU32(&bytes[58 + 14], 10);  // DataSize below PixelOffset
    test::WriteFileBytes(path, bytes);
    ASSERT_TRUE(reader.Open(path));
    ASSERT_TRUE(reader.NextRecord(record));
    EXPECT_EQ(reader.ReadPicture(record, palette, pixels), ReadStatus::BadSizes);
}

}  // namespace
}  // namespace vexlor
