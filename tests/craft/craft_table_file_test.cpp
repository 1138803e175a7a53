#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#if !defined(_WIN32)
#include <sys/resource.h>

#include <csignal>
#endif

#include "craft/craft_table_file.h"
#include "tests/craft/craft_test_files.h"

namespace vexlor {
namespace {

using test::Bytes;
using test::EntryOf;
using test::SetEntry;
using test::TempDir;
namespace exe = test::exe;

class CraftTableFile : public ::testing::Test {
  protected:
    void SetUp() override {
        original_ = test::ExecutableBytes();
        test::WriteFileBytes(path_, original_);
    }

    Bytes FileBytes() const { return test::ReadFileBytes(path_); }

    TempDir dir_;
    std::string path_ = dir_.File("xwingalliance.exe");
    Bytes original_;
};

TEST_F(CraftTableFile, ReadsEveryValueAtItsOffset) {
    tCRAFTTABLES tables;
    ASSERT_EQ(ReadCraftTables(path_, tables), CraftTablesResult::Ok);
    EXPECT_EQ(tables.EnabledBattle, original_[exe::kBattle]);
    EXPECT_EQ(tables.EnabledMission, original_[exe::kMission]);
    EXPECT_EQ(tables.EnabledMissionLower, original_[exe::kMissionLower]);
    for (int craft = 1; craft <= 71; ++craft) {
        ASSERT_EQ(tables.HullPictureId[craft], EntryOf(original_, exe::kHull, craft)) << craft;
    }
    for (int craft = 1; craft <= 218; ++craft) {
        ASSERT_EQ(tables.MapPictureId[craft], EntryOf(original_, exe::kMap, craft)) << craft;
    }
    for (int slot = 1; slot <= 254; ++slot) {
        ASSERT_EQ(tables.ShipSlotCraft[slot], EntryOf(original_, exe::kShipSlots, slot)) << slot;
    }
}

TEST_F(CraftTableFile, AnythingButVersion202IsRefused) {
    tCRAFTTABLES tables;
    tables.EnabledBattle = 9;
    for (const std::string version : {"2.03", "2.0 ", "2,02"}) {
        Bytes bytes = original_;
        test::PutText(bytes, exe::kVersion, version);
        test::WriteFileBytes(path_, bytes);
        EXPECT_EQ(ReadCraftTables(path_, tables), CraftTablesResult::WrongVersion) << version;
        EXPECT_EQ(tables, tCRAFTTABLES{});
    }
    // Cut inside the version text, missing, or a folder.
    test::WriteFileBytes(path_, Bytes(original_.begin(), original_.begin() + exe::kVersion + 3));
    EXPECT_EQ(ReadCraftTables(path_, tables), CraftTablesResult::WrongVersion);
    EXPECT_EQ(ReadCraftTables(dir_.File("missing.exe"), tables), CraftTablesResult::WrongVersion);
    EXPECT_EQ(ReadCraftTables(dir_.Path().string(), tables), CraftTablesResult::WrongVersion);
}

TEST_F(CraftTableFile, BytesTheFileDoesNotHoldReadAsZero) {
    // Ends one byte into MAP entry 2: entry 1 whole, entry 2's low byte only.
    test::WriteFileBytes(path_, Bytes(original_.begin(), original_.begin() + exe::kMap + 3));
    tCRAFTTABLES tables;
    ASSERT_EQ(ReadCraftTables(path_, tables), CraftTablesResult::Ok);
    EXPECT_EQ(tables.EnabledBattle, original_[exe::kBattle]);
    EXPECT_EQ(tables.HullPictureId[71], EntryOf(original_, exe::kHull, 71));
    EXPECT_EQ(tables.MapPictureId[1], EntryOf(original_, exe::kMap, 1));
    EXPECT_EQ(tables.MapPictureId[2], original_[exe::kMap + 2]);
    EXPECT_EQ(tables.MapPictureId[3], 0);
    EXPECT_EQ(tables.ShipSlotCraft, (OneBasedTable<254>{}));
    EXPECT_EQ(tables.ShipSlotOf, (OneBasedTable<218>{}));
    EXPECT_FALSE(tables.readWhole);
    EXPECT_EQ(WriteCraftTables(path_, tables), CraftTablesResult::Incomplete);

    // Just the version: every value 0.
    test::WriteFileBytes(path_, Bytes(original_.begin(), original_.begin() + exe::kVersion + 4));
    ASSERT_EQ(ReadCraftTables(path_, tables), CraftTablesResult::Ok);
    tCRAFTTABLES zeros;
    zeros.readWhole = false;
    EXPECT_EQ(tables, zeros);

    // Short of the SHIP slot table only, which is never written back: the Save may go on.
    test::WriteFileBytes(path_, Bytes(original_.begin(), original_.begin() + exe::kMap + 436));
    ASSERT_EQ(ReadCraftTables(path_, tables), CraftTablesResult::Ok);
    EXPECT_TRUE(tables.readWhole);
}

TEST(CraftShipSlots, HighestSlotWinsAndOnlyCraftNumbersCount) {
    tCRAFTTABLES tables;
    tables.ShipSlotCraft[1] = 5;
    tables.ShipSlotCraft[2] = 5;
    tables.ShipSlotCraft[3] = 0;
    tables.ShipSlotCraft[4] = 219;
    tables.ShipSlotCraft[5] = 65535;
    tables.ShipSlotCraft[6] = 218;
    tables.ShipSlotCraft[254] = 1;
    tables.ShipSlotOf[7] = 3;  // stale: derived anew
    DeriveShipSlotOf(tables);
    EXPECT_EQ(tables.ShipSlotOf[5], 2);
    EXPECT_EQ(tables.ShipSlotOf[218], 6);
    EXPECT_EQ(tables.ShipSlotOf[1], 254);
    EXPECT_EQ(tables.ShipSlotOf[7], 0);
    EXPECT_EQ(ShipPictureNumberOf(tables, 5), 20002);
    EXPECT_EQ(ShipPictureNumberOf(tables, 1), 20254);
    EXPECT_EQ(ShipPictureNumberOf(tables, 7), 20000);
}

TEST_F(CraftTableFile, WriteChangesOnlyTheWrittenBytes) {
    tCRAFTTABLES tables;
    ASSERT_EQ(ReadCraftTables(path_, tables), CraftTablesResult::Ok);
    tables.EnabledBattle = 0xA1;
    tables.EnabledMission = 0xB2;
    tables.EnabledMissionLower = 0xC3;
    tables.HullPictureId[1] = 0x1234;
    tables.HullPictureId[71] = 0x4321;
    tables.MapPictureId[1] = 0xABCD;
    tables.MapPictureId[218] = 0xFFFF;
    tables.ShipSlotCraft[1] = 77;  // never written
    ASSERT_EQ(WriteCraftTables(path_, tables), CraftTablesResult::Ok);

    Bytes expected = original_;
    expected[exe::kBattle] = 0xA1;
    expected[exe::kMission] = 0xB2;
    expected[exe::kMissionLower] = 0xC3;
    SetEntry(expected, exe::kHull, 1, 0x1234);
    SetEntry(expected, exe::kHull, 71, 0x4321);
    SetEntry(expected, exe::kMap, 1, 0xABCD);
    SetEntry(expected, exe::kMap, 218, 0xFFFF);
    EXPECT_EQ(FileBytes(), expected);

    // The tables as read go back unchanged.
    ASSERT_EQ(ReadCraftTables(path_, tables), CraftTablesResult::Ok);
    ASSERT_EQ(WriteCraftTables(path_, tables), CraftTablesResult::Ok);
    EXPECT_EQ(FileBytes(), expected);
}

TEST_F(CraftTableFile, WriteRechecksTheVersion) {
    tCRAFTTABLES tables;
    ASSERT_EQ(ReadCraftTables(path_, tables), CraftTablesResult::Ok);
    tables.EnabledBattle = static_cast<std::uint8_t>(~original_[exe::kBattle]);
    Bytes replaced = original_;
    test::PutText(replaced, exe::kVersion, "2.01");
    test::WriteFileBytes(path_, replaced);
    EXPECT_EQ(WriteCraftTables(path_, tables), CraftTablesResult::WrongVersion);
    EXPECT_EQ(FileBytes(), replaced);
}

TEST_F(CraftTableFile, FileTooShortForTheTablesIsNeitherWrittenNorExtended) {
    tCRAFTTABLES tables;
    ASSERT_EQ(ReadCraftTables(path_, tables), CraftTablesResult::Ok);
    tables.EnabledBattle = static_cast<std::uint8_t>(~original_[exe::kBattle]);
    const std::size_t tablesEnd = exe::kMap + 436;
    const Bytes shorter(original_.begin(), original_.begin() + tablesEnd - 1);
    test::WriteFileBytes(path_, shorter);
    EXPECT_EQ(WriteCraftTables(path_, tables), CraftTablesResult::CannotWrite);
    EXPECT_EQ(FileBytes(), shorter);

    // Ending right after the MAP table is enough: the SHIP slot table is never written.
    test::WriteFileBytes(path_, Bytes(original_.begin(), original_.begin() + tablesEnd));
    EXPECT_EQ(WriteCraftTables(path_, tables), CraftTablesResult::Ok);
    EXPECT_EQ(std::filesystem::file_size(path_), tablesEnd);
}

TEST_F(CraftTableFile, MissingFileOrFolderIsReportedAndNotCreated) {
    const tCRAFTTABLES tables;
    EXPECT_EQ(WriteCraftTables(dir_.File("missing.exe"), tables), CraftTablesResult::CannotWrite);
    EXPECT_FALSE(std::filesystem::exists(dir_.File("missing.exe")));
    EXPECT_EQ(WriteCraftTables(dir_.Path().string(), tables), CraftTablesResult::CannotWrite);
}

TEST_F(CraftTableFile, ReadOnlyFileIsReportedAndUntouched) {
    const tCRAFTTABLES tables;
    std::filesystem::permissions(
        path_, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    if (std::ofstream(path_, std::ios::in | std::ios::out)) {
        GTEST_SKIP() << "this user may write read-only files";
    }
    EXPECT_EQ(WriteCraftTables(path_, tables), CraftTablesResult::CannotWrite);
    EXPECT_EQ(FileBytes(), original_);
}

#if !defined(_WIN32)
// Lowers the file size limit, so that writes at or past it fail, until it goes out of scope.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        if (getrlimit(RLIMIT_FSIZE, &saved_) == 0) {
            rlimit lowered = saved_;
            lowered.rlim_cur = bytes;
            active_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
        }
    }
    ~FileSizeLimit() {
        if (active_) {
            setrlimit(RLIMIT_FSIZE, &saved_);
        }
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool Active() const { return active_; }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    bool active_ = false;
    void (*oldHandler_)(int) = SIG_DFL;
};

TEST_F(CraftTableFile, WriteFailingPartWayPutsTheEarlierBytesBack) {
    tCRAFTTABLES tables;
    ASSERT_EQ(ReadCraftTables(path_, tables), CraftTablesResult::Ok);
    tables.EnabledBattle = static_cast<std::uint8_t>(~original_[exe::kBattle]);
    tables.EnabledMissionLower = static_cast<std::uint8_t>(~original_[exe::kMissionLower]);
    tables.HullPictureId[1] = static_cast<std::uint16_t>(~tables.HullPictureId[1]);
    CraftTablesResult result;
    {
        // The three settings lie below the limit, the HULL table beyond it.
        FileSizeLimit limit(exe::kHull - 16);
        if (!limit.Active()) {
            GTEST_SKIP() << "the file size limit cannot be lowered here";
        }
        result = WriteCraftTables(path_, tables);
    }
    EXPECT_EQ(result, CraftTablesResult::WriteFailed);
    EXPECT_EQ(FileBytes(), original_);
}
#endif

}  // namespace
}  // namespace vexlor
