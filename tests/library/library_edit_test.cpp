#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "library/byte_file.h"
#include "library/library_edit.h"
#include "library/library_inspection.h"
#include "library/library_reader.h"
#include "library/library_writer.h"
#include "tests/cli/library_bytes.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::ReadFileBytes;
using test::TempDir;
using test::TestPicture;
using test::WriteFileBytes;

constexpr LibraryLayout kHull{};
constexpr LibraryLayout kMission{RecordsStart::AfterFirstGroup, false};
constexpr LibraryLayout kShip{RecordsStart::AfterGroupTable, true};

int PictureIdOf(const tIMAGE& image) {
    return image.PictureId;
}
int GroupIdOf(const tIMAGE& image) {
    return image.GroupId;
}

// Four pictures of different sizes, so that a wrong offset or count shows.
Bytes FourPictureHull() {
    std::vector<TestPicture> pictures;
    for (std::uint16_t k = 0; k < 4; ++k) {
        pictures.push_back({.pictureId = static_cast<std::uint16_t>(4700 + k),
                            .colours = 2u + k,
                            .pixelBytes = 100u + 37u * k});
    }
    return test::BuildLibrary(1, {{kHullGroupId, pictures}});
}

Bytes FourPictureShip() {
    std::vector<test::TestGroup> groups;
    for (std::uint16_t k = 0; k < 4; ++k) {
        groups.push_back({static_cast<std::uint16_t>(20001 + k),
                          {{.colours = 3u + k,
                            .pixelBytes = 200u + 51u * k,
                            .format = kRunLengthFormat,
                            .width = 180,
                            .height = 180}}});
    }
    return test::BuildLibrary(3, groups);
}

tPAL Palette(std::size_t n) {
    return tPAL(n, 0x00102030);
}

class LibraryEdit : public ::testing::Test {
  protected:
    // Plans on the library file; the result must be Ok.
    template <typename Planner>
    ChangePlan Plan(Planner planner) {
        ByteFile file(path_, ByteFile::Mode::Read);
        ChangePlan plan = planner(file);
        EXPECT_EQ(plan.result, PlanResult::Ok);
        return plan;
    }
    void Rewrite(const Splices& splices) {
        ByteFile file(path_, ByteFile::Mode::Read);
        ASSERT_TRUE(HoldsRemovedBytes(file, splices));
        ASSERT_TRUE(ApplyByRewrite(path_, file, splices, ".vexlor-new"));
    }
    // Applies the plan, checks the library, undoes it and checks the old bytes came back.
    void ApplyCheckAndUndo(const ChangePlan& plan, const std::vector<int>& idsAfter,
                           int (*identifierOf)(const tIMAGE&)) {
        const Bytes before = ReadFileBytes(path_);
        Rewrite(plan.splices);
        const LibraryCheck check = CheckLibrary(path_);
        EXPECT_TRUE(check.Ok()) << (check.violations.empty() ? "" : check.violations.front());
        EXPECT_EQ(Identifiers(identifierOf), idsAfter);
        Rewrite(InverseOf(plan.splices));
        EXPECT_EQ(ReadFileBytes(path_), before);
    }
    std::vector<int> Identifiers(int (*identifierOf)(const tIMAGE&)) {
        LibraryReader reader;
        EXPECT_TRUE(reader.Open(path_));
        std::vector<int> ids;
        ImageRecord record;
        while (reader.NextRecord(record)) {
            tPAL palette;
            tPIX pixels;
            EXPECT_EQ(reader.ReadPicture(record, palette, pixels), ReadStatus::Ok);
            ids.push_back(identifierOf(record.image));
        }
        return ids;
    }
    PlanResult DeleteResult(const LibraryLayout& layout, std::vector<int> rows) {
        ByteFile file(path_, ByteFile::Mode::Read);
        return PlanDelete(file, layout, std::move(rows), PictureIdOf).result;
    }

    TempDir dir_;
    std::string path_ = dir_.File("library.dat");
};

TEST_F(LibraryEdit, DeletesFirstMiddleLastAndAllOfAHull) {
    const std::vector<std::pair<std::vector<int>, std::vector<int>>> cases = {
        {{0}, {4701, 4702, 4703}}, {{2, 1}, {4700, 4703}}, {{3}, {4700, 4701, 4702}},
        {{0, 2}, {4701, 4703}},    {{0, 1, 2, 3}, {}},
    };
    for (const auto& [wanted, left] : cases) {
        const std::vector<int>& rows = wanted;  // clang before 16 cannot capture a binding
        WriteFileBytes(path_, FourPictureHull());
        const ChangePlan plan =
            Plan([&](ByteFile& f) { return PlanDelete(f, kHull, rows, PictureIdOf); });
        ApplyCheckAndUndo(plan, left, PictureIdOf);
        // Only a deletion that reaches the end is the undo of an append, made in place.
        const bool reachesEnd = std::find(rows.begin(), rows.end(), 3) != rows.end();
        EXPECT_EQ(CanApplyInPlace(plan.splices, fs::file_size(path_)), reachesEnd);
    }
    ByteFile file(path_, ByteFile::Mode::Read);
    EXPECT_EQ(PlanDelete(file, kHull, {2, 1}, PictureIdOf).identifiers,
              (std::vector<int>{4701, 4702}));
}

TEST_F(LibraryEdit, DeletesFirstMiddleLastAndAllOfAShip) {
    const std::vector<std::pair<std::vector<int>, std::vector<int>>> cases = {
        {{0}, {20002, 20003, 20004}},
        {{1, 2}, {20001, 20004}},
        {{3}, {20001, 20002, 20003}},
        {{3, 0, 1, 2}, {}},
    };
    for (const auto& [wanted, left] : cases) {
        const std::vector<int>& rows = wanted;  // clang before 16 cannot capture a binding
        WriteFileBytes(path_, FourPictureShip());
        const ChangePlan plan =
            Plan([&](ByteFile& f) { return PlanDelete(f, kShip, rows, GroupIdOf); });
        ApplyCheckAndUndo(plan, left, GroupIdOf);
    }
}

TEST_F(LibraryEdit, ReplacesWithLongerAndShorterPictures) {
    for (const bool ship : {false, true}) {
        for (const std::size_t pixelBytes : {10u, 5000u}) {
            WriteFileBytes(path_, ship ? FourPictureShip() : FourPictureHull());
            const tIMAGE record =
                tIMAGE::Make(kIndexAlphaFormat, 32, 32, ship ? 20002 : kHullGroupId,
                             ship ? 1 : 4701, 9, static_cast<std::uint32_t>(pixelBytes));
            const tPIX pixels(pixelBytes, 0x5A);
            const ChangePlan plan = Plan([&](ByteFile& f) {
                return PlanReplace(f, ship ? kShip : kHull, 1, record, Palette(9), pixels,
                                   ship ? GroupIdOf : PictureIdOf);
            });
            EXPECT_EQ(plan.identifiers, std::vector<int>{ship ? 20002 : 4701});
            Rewrite(plan.splices);
            EXPECT_TRUE(CheckLibrary(path_).Ok());
            {
                LibraryReader reader;
                ASSERT_TRUE(reader.Open(path_));
                ImageRecord second;
                ASSERT_TRUE(reader.NextRecord(second) && reader.NextRecord(second));
                tPAL palette;
                tPIX read;
                ASSERT_EQ(reader.ReadPicture(second, palette, read), ReadStatus::Ok);
                EXPECT_EQ(read, pixels);
                EXPECT_EQ(palette, Palette(9));
            }  // closed: Windows cannot replace a file that is open
            Rewrite(InverseOf(plan.splices));
            EXPECT_EQ(ReadFileBytes(path_), ship ? FourPictureShip() : FourPictureHull());
        }
    }
}

TEST_F(LibraryEdit, RefusesMalformedLibrariesAndRows) {
    WriteFileBytes(path_, FourPictureHull());
    EXPECT_EQ(DeleteResult(kHull, {4}), PlanResult::NoSuchRow);
    EXPECT_EQ(DeleteResult(kHull, {-1}), PlanResult::NoSuchRow);
    EXPECT_EQ(DeleteResult(kHull, {1, 1}), PlanResult::NoSuchRow);

    const auto refused = [&](void (*breakIt)(Bytes&), const LibraryLayout& layout) {
        Bytes bytes = layout.groupPerPicture ? FourPictureShip() : FourPictureHull();
        breakIt(bytes);
        WriteFileBytes(path_, bytes);
        return DeleteResult(layout, {0});
    };
    // The walk runs past the end of the file.
    EXPECT_EQ(refused([](Bytes& b) { test::PatchU16(b, test::at::kImageCount, 5); }, kHull),
              PlanResult::NotALibrary);
    EXPECT_EQ(refused([](Bytes& b) { b.resize(b.size() - 1); }, kHull), PlanResult::NotALibrary);
    // DataSize and the palette's length would walk differently.
    EXPECT_EQ(
        refused([](Bytes& b) { test::PatchU32(b, 58 + test::at::kRecordPixelOffset, 47); }, kHull),
        PlanResult::NotALibrary);
    EXPECT_EQ(refused([](Bytes& b) { test::PatchU16(b, test::at::kGroupCount, 0); }, kHull),
              PlanResult::NotALibrary);
    EXPECT_EQ(refused([](Bytes& b) { b.resize(20); }, kHull), PlanResult::NotALibrary);
    // A SHIP record without its own group.
    EXPECT_EQ(refused([](Bytes& b) { test::PatchU16(b, test::at::kGroupCount, 3); }, kShip),
              PlanResult::NotALibrary);
    EXPECT_EQ(fs::file_size(path_), FourPictureShip().size());
}

class WriterEquality : public LibraryEdit {
  protected:
    // Runs the writer on a copy, the plan on the library, and compares the two files.
    template <typename Writer>
    void ExpectSameAsWriter(const ChangePlan& plan, Writer writer) {
        const std::string copy = dir_.File("writer.dat");
        WriteFileBytes(copy, ReadFileBytes(path_));
        writer(copy);
        const Bytes before = ReadFileBytes(path_);
        if (CanApplyInPlace(plan.splices, before.size())) {
            ByteFile file(path_, ByteFile::Mode::ReadWrite);
            ASSERT_TRUE(ApplyInPlace(file, before.size(), plan.splices));
            file.Close();
            EXPECT_EQ(ReadFileBytes(path_), ReadFileBytes(copy));
            WriteFileBytes(path_, before);
        }
        Rewrite(plan.splices);
        EXPECT_EQ(ReadFileBytes(path_), ReadFileBytes(copy));
    }
};

TEST_F(WriterEquality, SingleGroupAppend) {
    const tIMAGE record = tIMAGE::Make(kIndexAlphaFormat, 32, 32, kHullGroupId, 4800, 3, 700);
    const tPIX pixels(700, 9);
    for (const Bytes& library : {FourPictureHull(), test::BuildLibrary(1, {{kHullGroupId, {}}})}) {
        WriteFileBytes(path_, library);
        const ChangePlan plan = Plan([&](ByteFile& f) {
            return PlanSingleGroupAppend(f, {RecordsStart::AfterGroupTable, false}, record,
                                         Palette(3), pixels);
        });
        EXPECT_EQ(plan.identifiers, std::vector<int>{4800});
        EXPECT_TRUE(CanApplyInPlace(plan.splices, library.size()));
        ExpectSameAsWriter(plan, [&](const std::string& p) {
            ASSERT_EQ(AppendToSingleGroupLibrary(p, record, Palette(3), pixels), WriteResult::Ok);
        });
    }
}

TEST_F(WriterEquality, SingleGroupAppendCutsTheTailOfAStoppedAppend) {
    const tIMAGE record = tIMAGE::Make(kIndexAlphaFormat, 32, 32, kHullGroupId, 4800, 3, 700);
    const tPIX pixels(700, 9);
    Bytes stopped = FourPictureHull();
    const Bytes clean = stopped;
    stopped.insert(stopped.end(), 1000, 0xEE);  // a record written, its counts never
    WriteFileBytes(path_, stopped);
    const ChangePlan plan = Plan([&](ByteFile& f) {
        return PlanSingleGroupAppend(f, {RecordsStart::AfterGroupTable, false}, record, Palette(3),
                                     pixels);
    });
    ExpectSameAsWriter(plan, [&](const std::string& p) {
        WriteFileBytes(p, clean);
        ASSERT_EQ(AppendToSingleGroupLibrary(p, record, Palette(3), pixels), WriteResult::Ok);
    });
    // Its undo, made in place, gives the stopped append's bytes back.
    ByteFile file(path_, ByteFile::Mode::ReadWrite);
    const Splices undo = InverseOf(plan.splices);
    ASSERT_TRUE(ApplyInPlace(file, fs::file_size(path_), undo));
    file.Close();
    EXPECT_EQ(ReadFileBytes(path_), stopped);

    Bytes disagreeing = clean;
    test::PatchU32(disagreeing, 14, 5);  // the header's ImageDataSize
    WriteFileBytes(path_, disagreeing);
    ByteFile again(path_, ByteFile::Mode::Read);
    EXPECT_EQ(PlanSingleGroupAppend(again, {RecordsStart::AfterGroupTable, false}, record,
                                    Palette(3), pixels)
                  .result,
              PlanResult::NotALibrary);
}

TEST_F(WriterEquality, ShipAppend) {
    const tPIX pixels(900, 3);
    for (const Bytes& library : {FourPictureShip(), test::BuildLibrary(3, {})}) {
        WriteFileBytes(path_, library);
        const ChangePlan plan =
            Plan([&](ByteFile& f) { return PlanShipAppend(f, 20100, Palette(5), pixels); });
        EXPECT_EQ(plan.identifiers, std::vector<int>{20100});
        ExpectSameAsWriter(plan, [&](const std::string& p) {
            ASSERT_EQ(AppendToShipLibrary(p, dir_.File("SHIP.tmp"), 20100, Palette(5), pixels),
                      WriteResult::Ok);
        });
        EXPECT_TRUE(CheckLibrary(path_).Ok());
    }
}

TEST_F(WriterEquality, Renumbering) {
    WriteFileBytes(path_, FourPictureHull());
    ExpectSameAsWriter(Plan([](ByteFile& f) { return PlanRenumber(f, kHull, 3, 4702, 4999); }),
                       [](const std::string& p) {
                           ASSERT_EQ(
                               WritePictureIdAt(p, 3, 4702, 4999, RecordsStart::AfterGroupTable),
                               RenumberResult::Written);
                       });
    const Bytes mission = test::BuildLibrary(4, {{kMissionGroupId, {{.pictureId = 7}}}});
    WriteFileBytes(path_, mission);
    ExpectSameAsWriter(Plan([](ByteFile& f) { return PlanRenumber(f, kMission, 1, 7, 8); }),
                       [](const std::string& p) {
                           ASSERT_EQ(WritePictureIdAt(p, 1, 7, 8, RecordsStart::AfterFirstGroup),
                                     RenumberResult::Written);
                       });
    WriteFileBytes(path_, FourPictureShip());
    ExpectSameAsWriter(Plan([](ByteFile& f) { return PlanRenumber(f, kShip, 2, 20002, 20500); }),
                       [](const std::string& p) {
                           ASSERT_EQ(WriteShipGroupIdAt(p, 2, 20002, 20500),
                                     RenumberResult::Written);
                       });
    ByteFile file(path_, ByteFile::Mode::Read);
    EXPECT_EQ(PlanRenumber(file, kShip, 2, 20002, 20600).result, PlanResult::NoSuchRow);
    EXPECT_EQ(PlanRenumber(file, kShip, 5, 20005, 20600).result, PlanResult::NoSuchRow);
}

}  // namespace
}  // namespace vexlor
