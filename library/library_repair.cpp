#include "library/library_repair.h"

#include <limits>
#include <optional>

#include "library/byte_file.h"
#include "library/write_access.h"

namespace vexlor {

namespace {

using std::to_string;

struct Totals {
    std::uint64_t images = 0;
    std::uint64_t bytes = 0;
    std::uint64_t colours = 0;
};

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Why the counts cannot be recomputed from the records, or nothing when they can.
std::optional<std::string> WhyNotRepairable(const LibraryWalk& walk, std::size_t kept) {
    if (!walk.headerComplete) {
        return "the file is shorter than the 34-byte header";
    }
    if (!walk.header.HasSignature()) {
        return "its signature is not that of an image library";
    }
    if (!walk.GroupTableComplete()) {
        return "the file ends inside the group table";
    }
    if (walk.stoppedAtRecordLimit) {
        return "it holds more records than a header can count";
    }
    for (std::size_t i = 0; i < kept; ++i) {
        const WalkedRecord& record = walk.records[i];
        // Sizes that point into the next record leave no count to recompute that is sure.
        if (record.overlapsNext) {
            return "image record " + to_string(i + 1) + " at offset " +
                   to_string(record.record.offset) +
                   " reaches into the record after it: its sizes cannot be trusted";
        }
        if (record.group < 0) {
            return "image record " + to_string(i + 1) + " at offset " +
                   to_string(record.record.offset) + " has GroupId " +
                   to_string(record.record.image.GroupId) +
                   ", which does not follow the group table";
        }
    }
    return std::nullopt;
}

class PlanBuilder {
  public:
    PlanBuilder(RepairPlan& plan, ByteFile& file) : plan_(plan), file_(file) {}

    // The fields are members of packed records, so they go by value, not by reference.
    template <typename Value>
    Value Set(const std::string& what, const char* field, Value value, std::uint64_t wanted) {
        if (value != wanted) {
            plan_.changes.push_back(what + ": " + field + " " + to_string(value) + " becomes " +
                                    to_string(wanted));
        }
        return static_cast<Value>(wanted);
    }

    // Replaces the bytes at `offset` with `encoded` when they differ from what the file holds.
    template <typename Bytes>
    bool Overwrite(std::uint64_t offset, const Bytes& encoded) {
        std::string old(encoded.size(), '\0');
        if (!file_.ReadExactAt(offset, old.data(), old.size())) {
            return false;
        }
        const std::string inserted(encoded.begin(), encoded.end());
        if (old != inserted) {
            plan_.splices.push_back({offset, old, inserted});
        }
        return true;
    }

    bool CutFrom(std::uint64_t offset) {
        if (offset >= plan_.sizeBefore) {
            return true;
        }
        std::string removed(static_cast<std::size_t>(plan_.sizeBefore - offset), '\0');
        if (!file_.ReadExactAt(offset, removed.data(), removed.size())) {
            return false;
        }
        plan_.splices.push_back({offset, std::move(removed), {}});
        return true;
    }

  private:
    RepairPlan& plan_;
    ByteFile& file_;
};

std::vector<Totals> GroupTotals(const LibraryWalk& walk, std::size_t kept) {
    std::vector<Totals> totals(walk.groups.size());
    for (std::size_t i = 0; i < kept; ++i) {
        const tIMAGE& image = walk.records[i].record.image;
        Totals& group = totals[static_cast<std::size_t>(walk.records[i].group)];
        ++group.images;
        group.bytes += RecordBytes(image);
        group.colours += image.ColourCount;
    }
    return totals;
}

std::string GroupName(std::size_t index, const tGROUP& group) {
    return "group " + to_string(index + 1) + " (GroupId " + to_string(group.GroupId) + ")";
}

bool PlanGroups(const LibraryWalk& walk, const std::vector<Totals>& totals, PlanBuilder& builder) {
    std::uint64_t offset = 0;
    for (std::size_t g = 0; g < walk.groups.size(); ++g) {
        tGROUP group = walk.groups[g].group;
        const std::string what = GroupName(g, group);
        group.ImageCount = builder.Set(what, "ImageCount", group.ImageCount, totals[g].images);
        group.ImageDataSize =
            builder.Set(what, "ImageDataSize", group.ImageDataSize, totals[g].bytes);
        group.ColourCount = builder.Set(what, "ColourCount", group.ColourCount, totals[g].colours);
        group.DataOffset = builder.Set(what, "DataOffset", group.DataOffset, offset);
        offset += totals[g].bytes;
        if (!builder.Overwrite(walk.groups[g].offset, group.Encode())) {
            return false;
        }
    }
    return true;
}

bool PlanHeader(const LibraryWalk& walk, const std::vector<Totals>& totals, PlanBuilder& builder) {
    Totals sum;
    for (const Totals& group : totals) {
        sum.images += group.images;
        sum.bytes += group.bytes;
        sum.colours += group.colours;
    }
    tHEADER header = walk.header;
    header.ImageCount = builder.Set("header", "ImageCount", header.ImageCount, sum.images);
    header.ImageDataSize = builder.Set("header", "ImageDataSize", header.ImageDataSize, sum.bytes);
    header.ColourCount = builder.Set("header", "ColourCount", header.ColourCount, sum.colours);
    const std::uint64_t table = static_cast<std::uint64_t>(tGROUP::kSize) * header.GroupCount;
    if (header.GroupDataSize != 0) {
        header.GroupDataSize = builder.Set("header", "GroupDataSize", header.GroupDataSize, table);
    }
    return builder.Overwrite(0, header.Encode());
}

// A sum that its 32-bit field cannot hold would be written wrong; such a library is left alone.
bool FitsTheFields(const std::vector<Totals>& totals) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    Totals sum;
    for (const Totals& group : totals) {
        sum.bytes += group.bytes;
        sum.colours += group.colours;
    }
    return sum.bytes <= kMax && sum.colours <= kMax;
}

// Where the kept records end: the walk's end less what the end of the file cuts short.
std::uint64_t KeptEnd(const LibraryWalk& walk, std::size_t kept) {
    return kept == 0 ? ImageDataStart(walk.header) : walk.records[kept - 1].End();
}

void DescribeCut(const LibraryWalk& walk, std::size_t kept, RepairPlan& plan) {
    const std::uint64_t from = KeptEnd(walk, kept);
    if (from >= plan.sizeBefore) {
        return;
    }
    const std::string bytes = to_string(plan.sizeBefore - from);
    if (kept < walk.records.size()) {
        plan.changes.push_back("image record " + to_string(kept + 1) + " at offset " +
                               to_string(from) + " is cut short by the end of the file: its " +
                               bytes + " bytes are dropped");
    } else {
        plan.changes.push_back("the last " + bytes + " bytes, too few for an image record, are " +
                               "dropped");
    }
}

}  // namespace

RepairPlan PlanRepair(const LibraryWalk& walk, ByteFile& file) {
    RepairPlan plan;
    plan.sizeBefore = walk.fileSize;
    const bool lastCut = !walk.records.empty() && walk.records.back().cutShort;
    const std::size_t kept = walk.records.size() - (lastCut ? 1 : 0);
    if (const auto why = WhyNotRepairable(walk, kept)) {
        plan.reason = *why;
        return plan;
    }
    const std::vector<Totals> totals = GroupTotals(walk, kept);
    if (!FitsTheFields(totals)) {
        plan.reason = "its records hold more bytes or colours than a header can count";
        return plan;
    }
    PlanBuilder builder(plan, file);
    if (!PlanHeader(walk, totals, builder) || !PlanGroups(walk, totals, builder) ||
        !builder.CutFrom(KeptEnd(walk, kept))) {
        plan = RepairPlan{};
        plan.reason = "the file could not be read";
        return plan;
    }
    DescribeCut(walk, kept, plan);
    plan.possible = true;
    return plan;
}

namespace {

std::string JournalRefusal(JournalResult result, const std::string& journalFolder,
                           const std::string& name) {
    return DescribeJournalRefusal(result, journalFolder, name, "nothing was repaired");
}

}  // namespace

RepairOutcome RepairLibrary(const std::string& journalFolder, const std::string& path,
                            const RepairPlan& confirmed) {
    const std::string name = FileNameOf(path);
    if (std::string kept = WriteRefusalText(WriteAccessOf(path), name); !kept.empty()) {
        return {false, std::move(kept)};
    }
    ChangeJournal journal(journalFolder, path);
    if (journal.Status() != JournalResult::Done) {
        return {false, JournalRefusal(journal.Status(), journalFolder, name)};
    }
    RepairPlan plan;
    {
        ByteFile file;
        if (!file.Open(journal.LibraryPath(), ByteFile::Mode::Read)) {
            return {false, "Cannot open " + name + "; nothing was repaired"};
        }
        plan = PlanRepair(WalkLibrary(journal.LibraryPath()), file);
    }
    if (!plan.Needed()) {
        return {false, plan.possible ? "There is nothing to repair in " + name
                                     : "Cannot repair " + name + ": " + plan.reason};
    }
    if (plan.splices != confirmed.splices || plan.sizeBefore != confirmed.sizeBefore) {
        return {false, name + " changed since it was checked; nothing was repaired"};
    }
    const std::string& library = journal.LibraryPath();
    const JournalResult result =
        journal.Record("repair", -1, plan.splices, HowToMake(plan.splices, plan.sizeBefore),
                       [&] { return MakeSplices(library, plan.sizeBefore, plan.splices); });
    if (result != JournalResult::Done) {
        return {false, JournalRefusal(result, journalFolder, name)};
    }
    return {true, {}};
}

}  // namespace vexlor
