#include <gtest/gtest.h>

#include <filesystem>

#include "editors/editor_messages.h"
#include "editors/hull_map_editor_logic.h"
#include "library/byte_order.h"
#include "tests/editors/editor_test_support.h"
#include "tests/support/test_files.h"

namespace vexlor::test {
namespace {

TEST(HullMapLogicTest, SuggestionFollowsTheHighestIdentifierWithAFloor) {
    TempDir dir;
    auto hull = NewLibrary(EditorKind::Hull, dir.File("HULL.DAT"));
    PictureList list = hull->LoadPictureList();
    EXPECT_TRUE(list.opened);
    EXPECT_TRUE(list.editable);
    EXPECT_EQ(list.PictureCount(), 0);
    EXPECT_EQ(hull->SuggestedIdentifier(list), 4700);

    auto map = NewLibrary(EditorKind::Map, dir.File("MAP.DAT"));
    EXPECT_EQ(map->SuggestedIdentifier(map->LoadPictureList()), 17500);

    for (auto [highest, suggested] :
         {std::pair{9900, 10000}, {4650, 4750}, {65500, 65500}, {65400, 65500}}) {
        list.highestIdentifier = highest;
        EXPECT_EQ(hull->SuggestedIdentifier(list), suggested) << highest;
    }
}

TEST(HullMapLogicTest, AppendAddsTheLastRowAndOnlyChangesCountsAndTheEnd) {
    TempDir dir;
    auto hull = NewLibrary(EditorKind::Hull, dir.File("HULL.DAT"));
    ASSERT_EQ(hull->AppendPicture(TestPicture(32, 32), 4700).result, WriteResult::Ok);
    const auto before = ReadFileBytes(hull->LibraryPath());
    const auto outcome = hull->AppendPicture(TestPicture(32, 32, 2), 9900);
    ASSERT_EQ(outcome.result, WriteResult::Ok);
    EXPECT_EQ(outcome.storedIdentifier, 9900);
    const auto after = ReadFileBytes(hull->LibraryPath());
    EXPECT_TRUE(std::equal(before.begin() + 58, before.end(), after.begin() + 58));

    const PictureList list = hull->LoadPictureList();
    ASSERT_EQ(list.PictureCount(), 2);
    EXPECT_EQ(hull->CaptionOf(list.entries[1].image), "9900");
    EXPECT_EQ(+list.entries[1].image.ColourCount, 4u);  // indices 0..3 used
    EXPECT_EQ(after.size() - before.size(), 3u * 4u + 2110u);
    EXPECT_EQ(hull->SuggestedIdentifier(list), 10000);
}

TEST(HullMapLogicTest, LibraryOfAnotherKindIsListedReadOnly) {
    TempDir dir;
    auto hull = NewLibrary(EditorKind::Hull, dir.File("HULL.DAT"));
    ASSERT_EQ(hull->AppendPicture(TestPicture(32, 32), 4700).result, WriteResult::Ok);
    auto bytes = ReadFileBytes(hull->LibraryPath());
    PutU32(&bytes[22], 7);
    test::WriteFileBytes(hull->LibraryPath(), bytes);
    const PictureList list = hull->LoadPictureList();
    EXPECT_FALSE(list.editable);
    EXPECT_EQ(list.PictureCount(), 1);
}

TEST(HullMapLogicTest, StagedBitmapMustBe8BitsAndTheKindsSize) {
    TempDir dir;
    auto hull = NewLibrary(EditorKind::Hull, dir.File("HULL.DAT"));
    auto map = NewLibrary(EditorKind::Map, dir.File("MAP.DAT"));
    EXPECT_TRUE(hull->CheckStagedBmp(AsBmp(TestPicture(32, 32))));
    EXPECT_FALSE(hull->CheckStagedBmp(AsBmp(TestPicture(32, 32), 24)));
    EXPECT_FALSE(hull->CheckStagedBmp(AsBmp(TestPicture(16, 16))));
    EXPECT_TRUE(map->CheckStagedBmp(AsBmp(TestPicture(16, 16))));
    EXPECT_EQ(std::string(hull->Constants().rejectionText), "Must be a valid 32 x 32 x 256 BMP");
}

TEST(HullMapLogicTest, RenameRuleAcceptsOnlyMultiplesOf100InRange) {
    TempDir dir;
    auto hull = NewLibrary(EditorKind::Hull, dir.File("HULL.DAT"));
    for (const char* text : {"4750", "-100", "65600", "abc", "", "47 00", "99999999999"}) {
        EXPECT_FALSE(hull->AcceptRename(0, "4700", text, "")) << text;
    }
    const auto zero = hull->AcceptRename(2, "4700", "0", "");
    ASSERT_TRUE(zero);
    EXPECT_EQ(zero->position, 3);
    EXPECT_EQ(zero->oldIdentifier, 4700);
    EXPECT_EQ(zero->newIdentifier, 0);
    EXPECT_TRUE(zero->startTimer);
    EXPECT_TRUE(hull->AcceptRename(0, "4700", "65500", ""));

    const auto fromText = hull->AcceptRename(0, "x", "4800", "");
    ASSERT_TRUE(fromText);
    EXPECT_EQ(fromText->oldIdentifier, -1);
    EXPECT_FALSE(fromText->startTimer);
}

TEST(HullMapLogicTest, RenameWritesDuplicatesButNotOverAChangedRecord) {
    TempDir dir;
    auto hull = NewLibrary(EditorKind::Hull, dir.File("HULL.DAT"));
    ASSERT_EQ(hull->AppendPicture(TestPicture(32, 32), 4700).result, WriteResult::Ok);
    ASSERT_EQ(hull->AppendPicture(TestPicture(32, 32), 4800).result, WriteResult::Ok);
    EXPECT_EQ(hull->WritePictureId(2, 4800, 4700), RenumberResult::Written);
    EXPECT_EQ(hull->WritePictureId(1, 4800, 5000), RenumberResult::Mismatch);
    const PictureList list = hull->LoadPictureList();
    EXPECT_EQ(+list.entries[0].image.PictureId, 4700);
    EXPECT_EQ(+list.entries[1].image.PictureId, 4700);
}

TEST(HullMapLogicTest, ExportWritesGreyBitmapsNamedByGroupAndPicture) {
    TempDir dir;
    auto map = NewLibrary(EditorKind::Map, dir.File("MAP.DAT"));
    ASSERT_EQ(map->AppendPicture(TestPicture(16, 16), 17500).result, WriteResult::Ok);
    ASSERT_EQ(map->AppendPicture(TestPicture(16, 16), 17600).result, WriteResult::Ok);
    std::filesystem::create_directory(dir.Path() / "OutPut");

    const ExportResult result = map->ExportPictures({1}, dir.File("OutPut"));
    ASSERT_EQ(result.written.size(), 1u);
    EXPECT_TRUE(result.failed.empty());
    EXPECT_EQ(result.written[0], dir.File("OutPut/map_14800_17600.bmp"));
    BmpPicture bmp;
    ASSERT_TRUE(ReadBmpFile(result.written[0], bmp));
    EXPECT_EQ(bmp.bitsPerPixel, 8);
    EXPECT_EQ(bmp.indexed.width, 16);
    // Green (0, 200, 0) at full alpha shades to the grey 200, which the picture's own palette
    // holds nearest as (10, 20, 250).
    EXPECT_EQ(bmp.indexed.Index(8, 8), 3);
    EXPECT_EQ(bmp.indexed.Index(0, 0), 0);

    const ExportResult missing = map->ExportPictures({0, 1}, dir.File("NoSuchFolder"));
    EXPECT_TRUE(missing.written.empty());
    EXPECT_EQ(missing.failed.size(), 2u);
}

// Export given the list it was chosen from writes what its own walk writes: in a sound library,
// and in one whose record ends where its DataSize does not say, so that the two walks part.
TEST(HullMapLogicTest, ExportFromTheListWritesWhatItsOwnWalkWrites) {
    TempDir dir;
    auto hull = NewLibrary(EditorKind::Hull, dir.File("HULL.DAT"));
    for (int id : {4700, 4800, 4900}) {
        ASSERT_EQ(hull->AppendPicture(TestPicture(32, 32, 1), id).result, WriteResult::Ok);
    }
    const auto exportBoth = [&](const std::string& name) {
        const PictureList list = hull->LoadPictureList();
        std::filesystem::create_directories(dir.Path() / name / "listed");
        std::filesystem::create_directories(dir.Path() / name / "walked");
        const ExportResult listed = hull->ExportPictures({2, 0, 7}, dir.File(name + "/listed"), {},
                                                         ExportFormat::Bmp, &list);
        const ExportResult walked = hull->ExportPictures({2, 0, 7}, dir.File(name + "/walked"));
        EXPECT_EQ(listed.written.size(), walked.written.size()) << name;
        EXPECT_EQ(listed.failed, walked.failed) << name;
        for (std::size_t k = 0; k < listed.written.size() && k < walked.written.size(); ++k) {
            EXPECT_EQ(ReadFileBytes(listed.written[k]), ReadFileBytes(walked.written[k])) << name;
        }
        return walked;
    };
    EXPECT_EQ(exportBoth("sound").written.size(), 2u);

    Bytes bytes = ReadFileBytes(dir.File("HULL.DAT"));
    const std::size_t first = ImageDataStart(tHEADER::Decode(bytes.data()));
    PutU32(&bytes[first + 26], GetU32(&bytes[first + 26]) + 8);  // PixelOffset of the first
    WriteFileBytes(dir.File("HULL.DAT"), bytes);
    exportBoth("parted");
}

}  // namespace
}  // namespace vexlor::test

namespace vexlor {
namespace {

TEST(ProgressTest, LongWalksReportTheirProgressAndTheirEnd) {
    test::TempDir dir;
    auto hull = test::NewLibrary(EditorKind::Hull, dir.File("HULL.DAT"));
    for (int k = 0; k < 300; ++k) {
        ASSERT_EQ(hull->AppendPicture(test::TestPicture(32, 32), 100 * (k % 600)).result,
                  WriteResult::Ok);
    }
    std::vector<std::pair<int, int>> reports;
    const auto record = [&reports](int done, int total) { reports.emplace_back(done, total); };
    hull->LoadPictureList(record);
    EXPECT_EQ(reports, (std::vector<std::pair<int, int>>{{256, 300}, {300, 300}}));
    reports.clear();
    hull->ExportPictures({299}, dir.Path().string(), record);
    EXPECT_EQ(reports.back(), std::make_pair(300, 300));
}

}  // namespace
}  // namespace vexlor

namespace vexlor {
namespace {

TEST(DamagedRecordTest, RecordClaimingAHugePictureIsListedWithoutAThumbnail) {
    test::TempDir dir;
    auto hull = test::NewLibrary(EditorKind::Hull, dir.File("HULL.DAT"));
    ASSERT_EQ(hull->AppendPicture(test::TestPicture(32, 32), 4700).result, WriteResult::Ok);
    auto bytes = test::ReadFileBytes(hull->LibraryPath());
    PutU32(&bytes[58 + 34], 16384);  // BlockWidth
    PutU32(&bytes[58 + 38], 4096);   // BlockHeight
    test::WriteFileBytes(hull->LibraryPath(), bytes);

    const PictureList list = hull->LoadPictureList();
    ASSERT_EQ(list.PictureCount(), 1);
    Thumbnail thumbnail;
    EXPECT_FALSE(hull->ReadThumbnail(list.entries[0], thumbnail));
}

}  // namespace
}  // namespace vexlor

namespace vexlor {
namespace {

// The windows' writers refuse a library without write permission as the command line does, with
// the same words, and leave it, its mark and its history as they were.
TEST(HullMapLogicTest, AReadOnlyLibraryIsRefusedByEveryChange) {
    namespace fs = std::filesystem;
    test::TempDir dir;
    auto hull = test::NewLibrary(EditorKind::Hull, dir.File("HULL.DAT"));
    ASSERT_EQ(hull->AppendPicture(test::TestPicture(32, 32), 4700).result, WriteResult::Ok);
    fs::permissions(hull->LibraryPath(), fs::perms::owner_read);
    // As the system keeps them: Windows knows only whether a file may be written.
    const fs::perms kept = fs::status(hull->LibraryPath()).permissions();
    const auto before = test::ReadFileBytes(hull->LibraryPath());
    const std::string message =
        "HULL.DAT is read-only (it has no write permission), so it was not changed";

    const AppendOutcome appended = hull->AppendPicture(test::TestPicture(32, 32), 4800);
    EXPECT_EQ(appended.result, WriteResult::ReadOnly);
    EXPECT_EQ(appended.message, message);
    EXPECT_EQ(AppendFailureText(WriteResult::ReadOnly, "HULL.DAT"), message);
    EXPECT_EQ(hull->WritePictureId(1, 4700, 4900), RenumberResult::ReadOnly);
    EXPECT_EQ(RenumberFailureText(RenumberResult::ReadOnly, "HULL.DAT", 1, "4700"), message);
    for (const ChangeOutcome& refused : {hull->DeletePictures({0}), hull->UndoChange()}) {
        EXPECT_FALSE(refused.done);
        EXPECT_EQ(refused.message, message);
    }
    EXPECT_EQ(test::ReadFileBytes(hull->LibraryPath()), before);
    EXPECT_EQ(fs::status(hull->LibraryPath()).permissions(), kept);
    EXPECT_EQ(hull->NextUndo(), "append 4700");
}

}  // namespace
}  // namespace vexlor
