// Libraries of any kind: the walk to the end of the bytes, the pictures drawn at any size, and
// the repair of their counts through the change journal.
#include <gtest/gtest.h>

#include "library/any_picture.h"
#include "library/byte_file.h"
#include "library/change_journal.h"
#include "library/library_inspection.h"
#include "library/library_repair.h"
#include "library/library_walk.h"
#include "tests/cli/library_bytes.h"
#include "tests/support/any_library.h"

namespace vexlor {
namespace {

using test::AnyGroup;
using test::AnyRecord;
using test::Bytes;

constexpr std::uint32_t kOtherKind = 7;

class AnyLibrary : public ::testing::Test {
  protected:
    std::string Write(const Bytes& bytes, const std::string& name = "any.dat") {
        const std::string path = dir_.File(name);
        test::WriteFileBytes(path, bytes);
        return path;
    }
    std::string Journal() const { return dir_.File("journal"); }

    static std::vector<AnyGroup> ThreeGroups() {
        AnyRecord other = test::RunLengthRow(3, {1});
        other.format = 25;
        return {{100, {test::RunLengthRow(1, {1, 2, 3}), test::RunLengthRow(2, {3})}},
                {200, {test::IndexAlphaRow(1, 4)}},
                {300, {other, test::IndexAlphaRow(4, 2)}}};
    }

    test::TempDir dir_;
};

TEST_F(AnyLibrary, WalkGivesEachGroupItsRecordsAndMarksWhatLiesWrong) {
    Bytes bytes = test::BuildAnyLibrary(kOtherKind, ThreeGroups());
    test::PatchU16(bytes, test::at::kImageCount, 3);  // two records fewer than the file holds
    const std::size_t whole = bytes.size();
    bytes.resize(whole - 3);  // the last record loses its last pixel
    const LibraryWalk walk = WalkLibrary(Write(bytes));
    ASSERT_TRUE(walk.headerComplete);
    ASSERT_EQ(walk.records.size(), 5u);
    ASSERT_EQ(walk.groups.size(), 3u);
    EXPECT_EQ(walk.groups[0].firstRecord, 0);
    EXPECT_EQ(walk.groups[0].recordCount, 2);
    EXPECT_EQ(walk.groups[1].firstRecord, 2);
    EXPECT_EQ(walk.groups[2].recordCount, 2);
    EXPECT_TRUE(walk.records[2].announced);
    EXPECT_FALSE(walk.records[3].announced);
    EXPECT_TRUE(walk.records[4].cutShort);
    EXPECT_FALSE(walk.records[3].cutShort);
    EXPECT_EQ(walk.trailingBytes, 0u);

    // A GroupId of no group, and one whose group's records came before another group's.
    Bytes stray = test::BuildAnyLibrary(kOtherKind, ThreeGroups());
    const std::size_t second = 34 + 3 * 24 + 62 + 12 + 10;  // after a 4-colour, 10-byte picture
    test::PatchU16(stray, second + test::at::kRecordGroupId, 999);
    const LibraryWalk strayWalk = WalkLibrary(Write(stray, "stray.dat"));
    EXPECT_EQ(strayWalk.records[1].group, -1);
    EXPECT_EQ(strayWalk.records[2].group, 1);
}

TEST_F(AnyLibrary, WalkOfAbsurdFieldsEndsAtTheFileAndOverlapsAreMarked) {
    Bytes bytes = test::BuildAnyLibrary(kOtherKind, {{1, {test::RunLengthRow(1, {1})}}});
    test::PatchU16(bytes, test::at::kImageCount, 65535);
    const std::size_t record = 34 + 24;
    test::PatchU32(bytes, record + test::at::kRecordColourCount, 0xFFFFFFFFu);
    test::PatchU32(bytes, record + test::at::kRecordDataSize, 10);  // 28 bytes: into itself
    bytes.resize(bytes.size() + 200, 0xC0);
    const LibraryWalk walk = WalkLibrary(Write(bytes));
    ASSERT_FALSE(walk.records.empty());
    EXPECT_TRUE(walk.records[0].overlapsNext);
    EXPECT_LT(walk.records.size(), 20u);

    LibraryReader reader;
    ASSERT_TRUE(reader.Open(Write(bytes)));
    AnyPicture picture;
    EXPECT_EQ(ReadAnyPicture(reader, walk.records[0].record, picture), DrawOutcome::CutShort);
    EXPECT_TRUE(picture.indices.empty());
}

TEST_F(AnyLibrary, PicturesDrawWithTheirPaletteAndTransparency) {
    AnyPicture picture;
    // A transparent run, a pair run, and a run of bare indices as other tools write them.
    tIMAGE image = tIMAGE::Make(kRunLengthFormat, 6, 2, 1, 1, 4, 0);
    const tPAL palette = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
    const tPIX data = {2, 0xC2, 0x82, 7, 1, 7, 2, 1, 0x03, 3, 3, 3, 0};
    ASSERT_EQ(DrawAnyPicture(image, palette, data, picture), DrawOutcome::Drawn);
    EXPECT_EQ(picture.alpha,
              (std::vector<std::uint8_t>{0, 0, 255, 255, 0, 0, 255, 255, 255, 0, 0, 0}));
    EXPECT_EQ(picture.indices[2], 1);
    EXPECT_EQ(picture.indices[8], 3);
    EXPECT_EQ(UsedPaletteIndices(picture, true)[0], false);
    EXPECT_EQ(UsedPaletteIndices(picture, true)[3], true);

    // One row missing, or a row more: not the picture's size.
    EXPECT_EQ(DrawAnyPicture(image, palette, {1, 0xC1, 0}, picture), DrawOutcome::DoesNotDecode);
    EXPECT_EQ(DrawAnyPicture(image, palette, {1, 0xC1, 1, 0xC1, 1, 0xC1, 0}, picture),
              DrawOutcome::DoesNotDecode);

    const tIMAGE alpha = tIMAGE::Make(kIndexAlphaFormat, 2, 1, 1, 1, 4, 4);
    ASSERT_EQ(DrawAnyPicture(alpha, palette, {3, 128, 9, 0}, picture), DrawOutcome::Drawn);
    EXPECT_EQ(picture.alpha, (std::vector<std::uint8_t>{128, 0}));
    EXPECT_EQ(picture.PaletteColour(picture.indices[1]), 0u);  // beyond the palette: black
    EXPECT_EQ(DrawAnyPicture(alpha, palette, {3, 128, 9}, picture), DrawOutcome::DoesNotDecode);
}

TEST_F(AnyLibrary, HugeOrForeignPicturesAreNamedNotDrawn) {
    AnyPicture picture;
    tIMAGE huge = tIMAGE::Make(kRunLengthFormat, 65535, 65535, 1, 1, 1, 3);
    EXPECT_EQ(DrawAnyPicture(huge, {0}, {1, 0xC1, 0}, picture), DrawOutcome::TooLarge);
    EXPECT_EQ(DescribeDrawOutcome(DrawOutcome::TooLarge, huge),
              "its size 65535 x 65535 is too large to draw");
    // Tall enough to allocate a lot, but the data cannot hold its rows: nothing is made.
    tIMAGE tall = tIMAGE::Make(kRunLengthFormat, 16384, 4096, 1, 1, 1, 3);
    EXPECT_EQ(DrawAnyPicture(tall, {0}, {1, 0xC1, 0}, picture), DrawOutcome::DoesNotDecode);
    EXPECT_TRUE(picture.indices.empty());
    tIMAGE other = tIMAGE::Make(25, 2, 2, 1, 1, 1, 3);
    EXPECT_EQ(DrawAnyPicture(other, {0}, {1, 0xC1, 0}, picture), DrawOutcome::OtherFormat);
    EXPECT_EQ(DescribeDrawOutcome(DrawOutcome::OtherFormat, other), "format 25 is not drawn");
}

RepairPlan PlanFor(const std::string& path) {
    ByteFile file;
    EXPECT_TRUE(file.Open(path, ByteFile::Mode::Read));
    return PlanRepair(WalkLibrary(path), file);
}

TEST_F(AnyLibrary, RepairRecomputesCountsDropsTheCutRecordAndUndoesExactly) {
    const Bytes sound = test::BuildAnyLibrary(kOtherKind, ThreeGroups());
    EXPECT_FALSE(PlanFor(Write(sound, "sound.dat")).Needed());
    EXPECT_TRUE(PlanFor(Write(sound, "sound.dat")).possible);

    Bytes broken = sound;
    test::PatchU16(broken, test::at::kImageCount, 9);
    test::PatchU32(broken, test::at::kGroupTable + 24 + test::at::kGroupDataOffset, 5);
    broken.resize(broken.size() + 40, 0xAA);  // too few bytes for one more record
    const std::string path = Write(broken);
    const RepairPlan plan = PlanFor(path);
    ASSERT_TRUE(plan.Needed()) << plan.reason;
    EXPECT_EQ(plan.changes, (std::vector<std::string>{
                                "header: ImageCount 9 becomes 5",
                                "group 2 (GroupId 200): DataOffset 5 becomes 164",
                                "the last 40 bytes, too few for an image record, are dropped"}));
    ASSERT_TRUE(RepairLibrary(Journal(), path, plan).done);
    EXPECT_EQ(test::ReadFileBytes(path), sound);
    EXPECT_TRUE(CheckLibrary(path).Ok());

    ChangeJournal journal(Journal(), path);
    JournalEntry undone;
    ASSERT_EQ(journal.Undo(undone), JournalResult::Done);
    EXPECT_EQ(undone.what, "repair");
    EXPECT_EQ(test::ReadFileBytes(path), broken);
}

TEST_F(AnyLibrary, RepairDropsACutRecordAndRefusesWhatItCannotJudge) {
    const Bytes sound = test::BuildAnyLibrary(kOtherKind, ThreeGroups());
    Bytes cut = sound;
    cut.resize(cut.size() - 3);
    const std::string path = Write(cut);
    const RepairPlan plan = PlanFor(path);
    ASSERT_TRUE(plan.Needed());
    ASSERT_TRUE(RepairLibrary(Journal(), path, plan).done);
    EXPECT_TRUE(CheckLibrary(path).Ok());
    EXPECT_EQ(WalkLibrary(path).records.size(), 4u);

    // A library changed between the confirmation and the repair is left as it is.
    const std::string later = Write(cut, "later.dat");
    const RepairPlan stale = PlanFor(later);
    Bytes changed = cut;
    changed.resize(changed.size() - 1);
    test::WriteFileBytes(later, changed);
    EXPECT_FALSE(RepairLibrary(Journal(), later, stale).done);
    EXPECT_EQ(test::ReadFileBytes(later), changed);

    Bytes unsigned_ = sound;
    unsigned_[0] = 0;
    const RepairPlan refused = PlanFor(Write(unsigned_, "unsigned.dat"));
    EXPECT_FALSE(refused.possible);
    EXPECT_EQ(refused.reason, "its signature is not that of an image library");
}

TEST_F(AnyLibrary, CheckPointsAtWhatEachViolationConcerns) {
    Bytes bytes = test::BuildAnyLibrary(kOtherKind, ThreeGroups());
    test::PatchU32(bytes, test::at::kGroupTable + 24 + test::at::kGroupDataOffset, 5);
    const std::size_t first = 34 + 3 * 24;
    test::PatchU32(bytes, first + test::at::kRecordReserved4, 0);
    const LibraryCheck check = CheckLibrary(Write(bytes));
    ASSERT_EQ(check.violations.size(), 2u);
    ASSERT_EQ(check.subjects.size(), 2u);
    EXPECT_EQ(check.subjects[0].kind, CheckSubject::Kind::Group);
    EXPECT_EQ(check.subjects[0].index, 1u);
    EXPECT_EQ(check.subjects[1].kind, CheckSubject::Kind::Record);
    EXPECT_EQ(check.subjects[1].index, 0u);
}

}  // namespace
}  // namespace vexlor
