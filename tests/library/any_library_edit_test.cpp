// Adding, setting, removing and renaming records of any library: every plan leaves a library the
// check finds sound, keeps every other record's bytes, and goes through the journal so that undo
// gives the first file back byte for byte.
#include <gtest/gtest.h>

#include "library/any_library_edit.h"
#include "library/change_journal.h"
#include "library/index_alpha.h"
#include "library/library_inspection.h"
#include "library/run_length.h"
#include "tests/cli/library_bytes.h"
#include "tests/support/any_library.h"

namespace vexlor {
namespace {

using test::AnyGroup;
using test::Bytes;

constexpr std::uint32_t kOtherKind = 9;

// A picture with index 0 transparent, the others in rising colours.
IndexedImage Picture(int width, int height) {
    IndexedImage image(width, height, {0x010101, 0x0000FF, 0x00FF00, 0xFF0000});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.SetIndex(x, y, static_cast<std::uint8_t>((x + y) % 4));
        }
    }
    return image;
}

StoredPicture RunLength(int width, int height) {
    StoredPicture stored;
    EXPECT_EQ(EncodeRunLength(Picture(width, height), stored).result, EncodeResult::Ok);
    return stored;
}

class AnyLibraryEdit : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = dir_.File("any.dat");
        original_ = test::BuildAnyLibrary(
            kOtherKind, {{100, {test::RunLengthRow(1, {1, 2}), test::RunLengthRow(2, {3})}},
                         {200, {test::IndexAlphaRow(1, 4)}},
                         {300, {test::IndexAlphaRow(7, 2)}}});
        test::WriteFileBytes(path_, original_);
    }

    // Makes the change, requires a sound result, and hands back the file it made.
    Bytes Make(const std::function<AnyEditPlan(const std::string&)>& plan) {
        const AnyEditOutcome outcome = MakeAnyEdit(Journal(), path_, plan);
        EXPECT_TRUE(outcome.done) << outcome.message;
        const LibraryCheck check = CheckLibrary(path_);
        EXPECT_TRUE(check.Ok()) << (check.violations.empty() ? "" : check.violations.front());
        return test::ReadFileBytes(path_);
    }

    void UndoAll(int changes) {
        ChangeJournal journal(Journal(), path_);
        for (int k = 0; k < changes; ++k) {
            JournalEntry undone;
            ASSERT_EQ(journal.Undo(undone), JournalResult::Done);
        }
        EXPECT_EQ(test::ReadFileBytes(path_), original_);
    }

    LibraryInspection Inspect() const { return InspectLibrary(path_); }
    std::string Journal() const { return dir_.File("journal"); }

    test::TempDir dir_;
    std::string path_;
    Bytes original_;
};

std::string RecordBytes(const Bytes& file, const ImageRecord& record) {
    return std::string(
        file.begin() + static_cast<std::ptrdiff_t>(record.offset),
        file.begin() + static_cast<std::ptrdiff_t>(record.offset + RecordBytes(record.image)));
}

TEST_F(AnyLibraryEdit, AddFollowsTheGroupsLastRecordOrOpensAGroupAtTheEnd) {
    const LibraryInspection before = Inspect();
    const StoredPicture picture = RunLength(300, 2);
    const AnyEditPlan inGroup = PlanAddRecord(path_, {100, 9}, picture);
    ASSERT_EQ(inGroup.result, AnyEditResult::Ok);
    EXPECT_EQ(inGroup.what, "add 100 9");
    EXPECT_EQ(inGroup.row, 2);
    // The record goes into the middle of the file, so the file is written anew.
    EXPECT_EQ(HowToMake(inGroup.splices, inGroup.sizeBefore), ChangeWrite::ByRename);
    const Bytes added = Make([&](const std::string& library) {
        return PlanAddRecord(library, {100, 9}, picture);
    });
    LibraryInspection after = Inspect();
    ASSERT_EQ(after.images.size(), 5u);
    EXPECT_EQ(+after.images[2].image.PictureId, 9);
    EXPECT_EQ(+after.images[2].image.BlockWidth, 300u);
    EXPECT_EQ(+after.groups[0].ImageCount, 3);
    EXPECT_EQ(RecordBytes(added, after.images[4]), RecordBytes(original_, before.images[3]));

    const Bytes grown = Make([&](const std::string& library) {
        return PlanAddRecord(library, {50, 1}, picture);
    });
    after = Inspect();
    ASSERT_EQ(after.groups.size(), 4u);
    EXPECT_EQ(+after.groups[3].GroupId, 50);
    EXPECT_EQ(+after.header.GroupDataSize, 4u * tGROUP::kSize);
    EXPECT_EQ(+after.images.back().image.GroupId, 50);
    EXPECT_EQ(RecordBytes(grown, after.images[0]), RecordBytes(original_, before.images[0]));

    // Into the last group only the end of the file grows: made in place.
    const AnyEditPlan last = PlanAddRecord(path_, {50, 2}, picture);
    EXPECT_EQ(HowToMake(last.splices, last.sizeBefore), ChangeWrite::InPlace);
    UndoAll(2);
}

TEST_F(AnyLibraryEdit, SetKeepsThePlaceAndTheLaterOffsetsFollow) {
    const LibraryInspection before = Inspect();
    const StoredPicture picture = RunLength(64, 64);
    const Bytes set = Make([&](const std::string& library) {
        return PlanSetRecord(library, {200, 1}, picture);
    });
    const LibraryInspection after = Inspect();
    ASSERT_EQ(after.images.size(), before.images.size());
    EXPECT_EQ(+after.images[2].image.PictureFormat, kRunLengthFormat);
    EXPECT_EQ(+after.images[2].image.BlockHeight, 64u);
    EXPECT_EQ(+after.images[2].image.GroupId, 200);
    EXPECT_EQ(+after.images[2].image.PictureId, 1);
    EXPECT_EQ(+after.groups[2].DataOffset,
              +after.groups[0].ImageDataSize + after.groups[1].ImageDataSize);
    EXPECT_EQ(RecordBytes(set, after.images[3]), RecordBytes(original_, before.images[3]));
    UndoAll(1);
}

TEST_F(AnyLibraryEdit, RemoveTakesAnEmptiedGroupOutOfTheTable) {
    const LibraryInspection before = Inspect();
    const Bytes removed = Make([&](const std::string& library) {
        return PlanRemoveRecords(library, {{200, 1}, {100, 1}});
    });
    const LibraryInspection after = Inspect();
    ASSERT_EQ(after.groups.size(), 2u);
    EXPECT_EQ(+after.groups[1].GroupId, 300);
    EXPECT_EQ(+after.header.GroupCount, 2);
    EXPECT_EQ(+after.header.GroupDataSize, 2u * tGROUP::kSize);
    ASSERT_EQ(after.images.size(), 2u);
    EXPECT_EQ(RecordBytes(removed, after.images[0]), RecordBytes(original_, before.images[1]));
    EXPECT_EQ(RecordBytes(removed, after.images[1]), RecordBytes(original_, before.images[3]));
    UndoAll(1);

    // A GroupDataSize of 0 stays 0.
    test::PatchU32(original_, test::at::kGroupDataSize, 0);
    path_ = dir_.File("zero.dat");
    test::WriteFileBytes(path_, original_);
    Make([&](const std::string& library) { return PlanRemoveRecords(library, {{300, 7}}); });
    EXPECT_EQ(+Inspect().header.GroupDataSize, 0u);
}

TEST_F(AnyLibraryEdit, RenameInItsGroupChangesTwoBytesAndAcrossGroupsMovesTheRecord) {
    const AnyEditPlan inPlace = PlanRenameRecord(path_, {100, 2}, {100, 5});
    ASSERT_EQ(inPlace.result, AnyEditResult::Ok);
    ASSERT_EQ(inPlace.splices.size(), 1u);
    EXPECT_EQ(inPlace.splices[0].inserted, std::string("\x05\x00", 2));
    EXPECT_EQ(inPlace.what, "rename 100 2 100 5");

    const LibraryInspection before = Inspect();
    Make([&](const std::string& library) { return PlanRenameRecord(library, {200, 1}, {100, 3}); });
    LibraryInspection after = Inspect();
    ASSERT_EQ(after.groups.size(), 2u);
    EXPECT_EQ(+after.groups[0].ImageCount, 3);
    EXPECT_EQ(+after.images[2].image.GroupId, 100);
    EXPECT_EQ(+after.images[2].image.PictureId, 3);
    EXPECT_EQ(+after.images[2].image.DataSize, +before.images[2].image.DataSize);

    Make([&](const std::string& library) { return PlanRenameRecord(library, {100, 1}, {400, 1}); });
    after = Inspect();
    ASSERT_EQ(after.groups.size(), 3u);
    EXPECT_EQ(+after.groups[2].GroupId, 400);
    EXPECT_EQ(+after.images.back().image.GroupId, 400);
    UndoAll(2);
}

TEST_F(AnyLibraryEdit, RefusesWhatItCannotDoAndChangesNothing) {
    const StoredPicture picture = RunLength(2, 2);
    EXPECT_EQ(PlanAddRecord(path_, {300, 7}, picture).result, AnyEditResult::Taken);
    EXPECT_EQ(PlanSetRecord(path_, {300, 8}, picture).result, AnyEditResult::NoSuchRecord);
    EXPECT_EQ(PlanRemoveRecords(path_, {{300, 7}, {300, 7}}).result, AnyEditResult::Repeated);
    EXPECT_EQ(PlanRenameRecord(path_, {100, 1}, {100, 1}).result, AnyEditResult::Taken);
    EXPECT_EQ(PlanRenameRecord(path_, {100, 1}, {200, 1}).result, AnyEditResult::Taken);

    Bytes twice = test::BuildAnyLibrary(
        kOtherKind, {{100, {test::RunLengthRow(1, {1}), test::RunLengthRow(1, {2})}}});
    test::WriteFileBytes(path_, twice);
    const AnyEditPlan repeated = PlanRemoveRecords(path_, {{100, 1}});
    EXPECT_EQ(repeated.result, AnyEditResult::Repeated);
    EXPECT_NE(repeated.message.find("2 records 100 1"), std::string::npos) << repeated.message;

    test::PatchU16(twice, test::at::kImageCount, 1);
    test::WriteFileBytes(path_, twice);
    const AnyEditOutcome unsound = MakeAnyEdit(Journal(), path_, [&](const std::string& library) {
        return PlanAddRecord(library, {100, 2}, picture);
    });
    EXPECT_FALSE(unsound.done);
    EXPECT_NE(unsound.message.find(CheckLibrary(path_).violations.front()), std::string::npos)
        << unsound.message;
    EXPECT_NE(unsound.message.find("repair it first"), std::string::npos);
    EXPECT_EQ(test::ReadFileBytes(path_), twice);
}

TEST(PictureEncoding, RunLengthAtAnySizeAndItsRefusalOfALongRow) {
    StoredPicture stored;
    const IndexedImage wide = Picture(2000, 3);
    // Alternating runs of one pixel: far more than 255 operations in each row.
    ASSERT_EQ(EncodeRunLength(wide, stored).result, EncodeResult::RowTooLong);
    const EncodeOutcome refused = EncodeRunLength(wide, stored);
    EXPECT_EQ(refused.row, 0);
    EXPECT_NE(DescribeEncodeRefusal(refused, 2000, 3).find("format 24"), std::string::npos);

    IndexedImage banded(3000, 2, {0x010101, 0x00FF00});
    for (int x = 0; x < 3000; ++x) {
        banded.SetIndex(x, 1, x < 2000 ? 1 : 0);
    }
    ASSERT_EQ(EncodeRunLength(banded, stored).result, EncodeResult::Ok);
    EXPECT_EQ(stored.palette.front(), 0);  // entry 0 black, whatever the transparent colour
    TrueColourImage drawn;
    ASSERT_TRUE(DrawRlePicture(3000, 2, stored.pixels, stored.palette, drawn));
    EXPECT_EQ(EncodeRunLength(IndexedImage(16385, 1, {0}), stored).result, EncodeResult::BadSize);
}

TEST(PictureEncoding, IndexAlphaKeepsEachPixelsOwnAlpha) {
    const IndexedImage image = Picture(4, 1);
    StoredPicture stored;
    ASSERT_EQ(EncodeIndexAlpha(image, {0, 1, 128, 255}, stored).result, EncodeResult::Ok);
    EXPECT_EQ(stored.format, kIndexAlphaFormat);
    EXPECT_EQ(stored.pixels, (tPIX{0, 0, 1, 1, 2, 128, 3, 255}));
    EXPECT_EQ(stored.palette.size(), 4u);
}

}  // namespace
}  // namespace vexlor
