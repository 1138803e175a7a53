// Feeds arbitrary bytes to every reader of a library file: the inspection, the check, a full
// picture walk by either stepping rule, the four kind tests, the plans of every change, and
// what the library browser is built on: the walk to the end of the bytes, every record's
// picture drawn at any size, and the repair.
// None may crash, hang, read outside the file or its buffers, or list more than the header
// announces; every plan must be well formed and its inverse must give back the file. The edits of
// any library, planned on every input, must also leave a file that the check finds ok.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "library/any_library_edit.h"
#include "library/any_picture.h"
#include "library/byte_file.h"
#include "library/creation.h"
#include "library/library_edit.h"
#include "library/library_inspection.h"
#include "library/library_reader.h"
#include "library/library_repair.h"
#include "library/library_walk.h"

namespace {

using namespace vexlor;

// One path per process, written anew for every input and removed after it: libFuzzer may end
// the process without running exit handlers.
const std::string& InputPath() {
    static const std::string path = [] {
        std::error_code error;
        std::filesystem::path folder = std::filesystem::temp_directory_path(error);
        if (error) {
            folder = "/tmp";
        }
        return (folder / ("vexlor_fuzz_library_walk_" + std::to_string(::getpid()) + ".dat"))
            .string();
    }();
    return path;
}

void RemoveInputFile() {
    std::remove(InputPath().c_str());
}

void WriteInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(InputPath().c_str(), "wb");
    if (file == nullptr) {
        std::abort();
    }
    if (size > 0 && std::fwrite(data, 1, size, file) != size) {
        std::abort();
    }
    std::fclose(file);
}

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

void WalkEveryPicture(const std::string& path, bool continueAfterPicture) {
    LibraryReader reader;
    if (!reader.Open(path)) {
        return;
    }
    std::vector<tGROUP> groups;
    reader.ReadGroups(groups);
    Require(groups.size() <= reader.Header().GroupCount);
    ImageRecord record;
    tPAL palette;
    tPIX pixels;
    int records = 0;
    while (reader.NextRecord(record)) {
        ++records;
        if (reader.ReadPicture(record, palette, pixels) == ReadStatus::Ok) {
            Require(palette.size() == record.image.ColourCount);
            Require(pixels.size() == record.image.DataSize - record.image.PixelOffset);
        }
        if (continueAfterPicture) {
            reader.ContinueAfterPicture(record);
        }
    }
    Require(records <= reader.Header().ImageCount);
}

void InspectAndCheck(const std::string& path, std::size_t size) {
    const LibraryInspection inspection = InspectLibrary(path);
    Require(inspection.opened);
    Require(inspection.fileSize == size);
    Require(inspection.headerComplete == (size >= tHEADER::kSize));
    Require(inspection.groups.size() <= inspection.header.GroupCount);
    Require(inspection.images.size() <= inspection.header.ImageCount);
    for (const ImageRecord& record : inspection.images) {
        Require(record.offset + tIMAGE::kSize <= size);
    }
    const LibraryCheck check = CheckLibrary(path);
    Require(check.opened);
    Require(check.subjects.size() == check.violations.size());
    for (const CheckSubject& subject : check.subjects) {
        Require(subject.kind != CheckSubject::Kind::Group ||
                subject.index < inspection.groups.size());
        Require(subject.kind != CheckSubject::Kind::Record ||
                subject.index < inspection.images.size());
    }
    // Whatever the inspection found missing, the check reports too.
    Require(check.violations.size() >= inspection.problems.size());
}

// The file at `path` holds exactly `bytes`.
void RequireHolds(const std::string& path, const std::string& bytes) {
    ByteFile file;
    Require(file.Open(path, ByteFile::Mode::Read));
    std::string held(bytes.size(), '\0');
    Require(file.CheckedSize() == bytes.size());
    Require(held.empty() || file.ReadExactAt(0, held.data(), held.size()));
    Require(held == bytes);
}

int PictureIdOf(const tIMAGE& image) {
    return image.PictureId;
}

// Makes the plan in a copy of the input and takes it back: the input's bytes must return.
void MakeAndTakeBack(const std::string& path, const std::string& original, const ChangePlan& plan) {
    if (plan.result != PlanResult::Ok) {
        return;
    }
    Require(IsWellFormed(plan.splices, original.size()));
    const std::string copy = path + ".changed";
    {
        ByteFile file;
        Require(file.Open(path, ByteFile::Mode::Read));
        ApplyByRewrite(copy, file, plan.splices, ".new");
    }
    ByteFile changed;
    if (changed.Open(copy, ByteFile::Mode::Read)) {
        Require(HoldsInsertedBytes(changed, original.size(), plan.splices));
        Require(ApplyByRewrite(copy, changed, InverseOf(plan.splices), ".new"));
        changed.Close();
        RequireHolds(copy, original);
    }
    std::remove(copy.c_str());
}

void PlanEveryChange(const std::string& path, const std::uint8_t* data, std::size_t size) {
    const std::string original(reinterpret_cast<const char*>(data), size);
    const tPAL palette(3, 0x00102030);
    const tPIX pixels(32 * 32 * 2, 1);
    const tIMAGE record = tIMAGE::Make(kIndexAlphaFormat, 32, 32, kHullGroupId, 4800, 3,
                                       static_cast<std::uint32_t>(pixels.size()));
    for (const LibraryLayout layout : {LibraryLayout{RecordsStart::AfterGroupTable, false},
                                       LibraryLayout{RecordsStart::AfterFirstGroup, false},
                                       LibraryLayout{RecordsStart::AfterGroupTable, true}}) {
        ByteFile file;
        Require(file.Open(path, ByteFile::Mode::Read));
        MakeAndTakeBack(path, original, PlanDelete(file, layout, {0}, PictureIdOf));
        MakeAndTakeBack(path, original, PlanDelete(file, layout, {2, 0}, PictureIdOf));
        MakeAndTakeBack(path, original,
                        PlanReplace(file, layout, 1, record, palette, pixels, PictureIdOf));
        MakeAndTakeBack(path, original,
                        PlanSingleGroupAppend(file, layout, record, palette, pixels));
        MakeAndTakeBack(path, original, PlanRenumber(file, layout, 1, 4700, 4800));
    }
    ByteFile file;
    Require(file.Open(path, ByteFile::Mode::Read));
    MakeAndTakeBack(path, original, PlanShipAppend(file, 20001, palette, pixels));
}

// An edit of any library: made in a copy, the check must find the copy ok, and the inverse must
// give back the input.
void MakeCheckAndTakeBack(const std::string& path, const std::string& original,
                          const AnyEditPlan& plan) {
    if (plan.result != AnyEditResult::Ok) {
        Require(!plan.message.empty());
        return;
    }
    Require(CheckLibrary(path).Ok());
    Require(IsWellFormed(plan.splices, original.size()));
    const std::string copy = path + ".edited";
    {
        ByteFile file;
        Require(file.Open(path, ByteFile::Mode::Read));
        Require(ApplyByRewrite(copy, file, plan.splices, ".new"));
    }
    Require(CheckLibrary(copy).Ok());
    {
        ByteFile changed;
        Require(changed.Open(copy, ByteFile::Mode::Read));
        Require(HoldsInsertedBytes(changed, original.size(), plan.splices));
        Require(ApplyByRewrite(copy, changed, InverseOf(plan.splices), ".new"));
    }
    RequireHolds(copy, original);
    std::remove(copy.c_str());
}

void PlanEveryAnyEdit(const std::string& path, const std::string& original) {
    const LibraryInspection inspection = InspectLibrary(path);
    StoredPicture picture;
    picture.format = kIndexAlphaFormat;
    picture.width = 3;
    picture.height = 2;
    picture.palette = {0x000000, 0x102030};
    picture.pixels = {0, 0, 1, 255, 1, 40, 0, 0, 1, 1, 1, 255};
    const RecordName fresh{4321, 7};
    std::vector<RecordName> names;
    for (const std::size_t k :
         {std::size_t{0}, inspection.images.size() / 2, inspection.images.size() - 1}) {
        if (k < inspection.images.size()) {
            names.push_back(
                {inspection.images[k].image.GroupId, inspection.images[k].image.PictureId});
        }
    }
    MakeCheckAndTakeBack(path, original, PlanAddRecord(path, fresh, picture));
    for (const RecordName name : names) {
        MakeCheckAndTakeBack(path, original, PlanAddRecord(path, {name.groupId, 9999}, picture));
        MakeCheckAndTakeBack(path, original, PlanSetRecord(path, name, picture));
        MakeCheckAndTakeBack(path, original, PlanRemoveRecords(path, {name}));
        MakeCheckAndTakeBack(path, original, PlanRenameRecord(path, name, {name.groupId, 9999}));
        MakeCheckAndTakeBack(path, original, PlanRenameRecord(path, name, fresh));
        MakeCheckAndTakeBack(path, original, PlanRenameRecord(path, name, names.front()));
    }
    MakeCheckAndTakeBack(path, original, PlanRemoveRecords(path, names));
}

void RequireGroupsCoverTheirRecords(const LibraryWalk& walk) {
    for (std::size_t g = 0; g < walk.groups.size(); ++g) {
        const WalkedGroup& group = walk.groups[g];
        Require(group.recordCount == 0 ||
                static_cast<std::size_t>(group.firstRecord + group.recordCount) <=
                    walk.records.size());
        for (int i = 0; i < group.recordCount; ++i) {
            const WalkedRecord& record =
                walk.records[static_cast<std::size_t>(group.firstRecord + i)];
            Require(record.group == static_cast<int>(g));
        }
    }
}

void DrawEveryPicture(const std::string& path, const LibraryWalk& walk) {
    LibraryReader reader;
    Require(reader.Open(path));
    for (const WalkedRecord& walked : walk.records) {
        Require(walked.record.offset + tIMAGE::kSize <= walk.fileSize);
        AnyPicture picture;
        if (ReadAnyPicture(reader, walked.record, picture) == DrawOutcome::Drawn) {
            Require(picture.PixelCount() ==
                    static_cast<std::size_t>(walked.record.image.BlockWidth) *
                        walked.record.image.BlockHeight);
            Require(picture.alpha.size() == picture.PixelCount());
            UsedPaletteIndices(picture, walked.record.image.PictureFormat == kRunLengthFormat);
        }
    }
}

// The browser's view of the file: its walk, pictures and repair. A repair must give a library
// that needs none, and its inverse the input.
void BrowseAndRepair(const std::string& path, const std::string& original) {
    const LibraryWalk walk = WalkLibrary(path);
    Require(walk.opened);
    Require(walk.records.size() <= kMaxLibraryRecords);
    RequireGroupsCoverTheirRecords(walk);
    DrawEveryPicture(path, walk);
    ByteFile file;
    Require(file.Open(path, ByteFile::Mode::Read));
    const RepairPlan plan = PlanRepair(walk, file);
    if (!plan.Needed()) {
        return;
    }
    Require(IsWellFormed(plan.splices, original.size()));
    const std::string copy = path + ".repaired";
    Require(ApplyByRewrite(copy, file, plan.splices, ".new"));
    {
        ByteFile repaired;
        Require(repaired.Open(copy, ByteFile::Mode::Read));
        const RepairPlan again = PlanRepair(WalkLibrary(copy), repaired);
        Require(again.possible && !again.Needed());
        Require(ApplyByRewrite(copy, repaired, InverseOf(plan.splices), ".new"));
    }
    RequireHolds(copy, original);
    std::remove(copy.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WriteInput(data, size);
    const std::string& path = InputPath();
    InspectAndCheck(path, size);
    WalkEveryPicture(path, false);
    WalkEveryPicture(path, true);
    IsHullLibrary(path);
    IsMapLibrary(path);
    IsShipLibrary(path);
    IsMissionLibrary(path);
    PlanEveryChange(path, data, size);
    PlanEveryAnyEdit(path, std::string(reinterpret_cast<const char*>(data), size));
    BrowseAndRepair(path, std::string(reinterpret_cast<const char*>(data), size));
    RemoveInputFile();
    return 0;
}
