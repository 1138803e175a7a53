#include "library/any_library_edit.h"

#include <algorithm>
#include <limits>

#include "library/byte_file.h"
#include "library/change_journal.h"
#include "library/library_inspection.h"
#include "library/library_reader.h"
#include "library/write_access.h"

namespace vexlor {

namespace {

using std::to_string;

constexpr const char* kNothingChanged = "nothing was changed";
constexpr std::uint64_t kGroupIdAt = 10;
constexpr std::uint64_t kPictureIdAt = 12;
constexpr std::uint64_t kMostCount = std::numeric_limits<std::uint16_t>::max();
constexpr std::uint64_t kMostSize = std::numeric_limits<std::uint32_t>::max();
constexpr std::size_t kLongestWhat = 600;

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A library the check finds sound, read once: its records tile the file from the end of the
// group table, group after group, so a group's records are a range of consecutive records.
struct SoundLibrary {
    std::string name;  // the file's name, for messages
    LibraryInspection inspection;
    std::vector<std::size_t> firstRecord;  // of each group
    std::vector<std::size_t> groupOf;      // of each record
};

AnyEditResult Refuse(AnyEditResult result, std::string message, std::string& out) {
    out = std::move(message) + "; " + kNothingChanged;
    return result;
}

// Ok with `library` filled, or why the library is not one to change.
AnyEditResult ReadSound(const std::string& path, SoundLibrary& library, std::string& message) {
    library.name = FileNameOf(path);
    library.inspection = InspectLibrary(path);
    const LibraryInspection& inspection = library.inspection;
    if (!inspection.opened) {
        return Refuse(AnyEditResult::CannotRead, "Cannot open " + library.name, message);
    }
    const LibraryCheck check = CheckInspectedLibrary(inspection);
    if (!check.Ok()) {
        return Refuse(AnyEditResult::NotSound,
                      library.name + " is not sound (check: " + check.violations.front() +
                          "); repair it first",
                      message);
    }
    std::size_t first = 0;
    for (std::size_t g = 0; g < inspection.groups.size(); ++g) {
        library.firstRecord.push_back(first);
        first += inspection.groups[g].ImageCount;
        library.groupOf.resize(first, g);
    }
    const std::uint64_t end =
        inspection.images.empty()
            ? ImageDataStart(inspection.header)
            : inspection.images.back().offset + RecordBytes(inspection.images.back().image);
    // What the check's relations give, stated once more for what the plans rely on.
    if (inspection.groups.size() != inspection.header.GroupCount ||
        inspection.images.size() != first || end != inspection.fileSize) {
        return Refuse(AnyEditResult::NotSound, library.name + " is not sound; repair it first",
                      message);
    }
    return AnyEditResult::Ok;
}

// The records that carry `name`, in file order.
std::vector<std::size_t> RecordsNamed(const SoundLibrary& library, RecordName name) {
    std::vector<std::size_t> found;
    const auto& images = library.inspection.images;
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (images[i].image.GroupId == name.groupId &&
            images[i].image.PictureId == name.pictureId) {
            found.push_back(i);
        }
    }
    return found;
}

// The one record that carries `name`, or why there is none to change.
AnyEditResult FindOne(const SoundLibrary& library, RecordName name, std::size_t& index,
                      std::string& message) {
    const std::vector<std::size_t> found = RecordsNamed(library, name);
    if (found.empty()) {
        return Refuse(AnyEditResult::NoSuchRecord,
                      library.name + " has no record " + NameText(name), message);
    }
    if (found.size() > 1) {
        return Refuse(AnyEditResult::Repeated,
                      library.name + " has " + to_string(found.size()) + " records " +
                          NameText(name) + ", not one",
                      message);
    }
    index = found.front();
    return AnyEditResult::Ok;
}

AnyEditResult RequireFree(const SoundLibrary& library, RecordName name, std::string& message) {
    if (!RecordsNamed(library, name).empty()) {
        return Refuse(AnyEditResult::Taken,
                      library.name + " already has a record " + NameText(name), message);
    }
    return AnyEditResult::Ok;
}

// The last group of the table that carries `groupId`: records added to the group follow its
// last record.
std::optional<std::size_t> LastGroupWithId(const SoundLibrary& library, std::uint16_t groupId) {
    const auto& groups = library.inspection.groups;
    for (std::size_t g = groups.size(); g-- > 0;) {
        if (groups[g].GroupId == groupId) {
            return g;
        }
    }
    return std::nullopt;
}

std::string BytesOf(const auto& encoded) {
    return std::string(encoded.begin(), encoded.end());
}

std::string Encode16(std::uint16_t value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

// The counts and sizes of every group and of the header follow from what each group gains and
// loses; the table's splices are made from the old and new values, one group record at a time,
// so that a change that keeps the table's length and grows or shrinks only the file's end can
// be made in place.
class EditBuilder {
  public:
    explicit EditBuilder(const SoundLibrary& library) : library_(library) {
        for (const tGROUP& group : library.inspection.groups) {
            groups_.push_back({group, group.ImageCount, group.ImageDataSize, group.ColourCount});
        }
    }

    // A group at the end of the table, for the first record of a GroupId the table lacks.
    std::size_t NewGroup(std::uint16_t groupId) {
        tGROUP group{};
        group.GroupId = groupId;
        groups_.push_back({group, 0, 0, 0, true});
        return groups_.size() - 1;
    }

    void Gain(std::size_t group, const tIMAGE& record) { Shift(group, record, 1); }
    void Lose(std::size_t group, const tIMAGE& record) { Shift(group, record, -1); }

    void Splice(std::uint64_t offset, std::string removed, std::string inserted) {
        records_.push_back({offset, std::move(removed), std::move(inserted)});
    }

    // The whole plan: Full when a count or size leaves its field.
    AnyEditPlan Finish(ByteFile& file) {
        AnyEditPlan plan;
        plan.sizeBefore = library_.inspection.fileSize;
        std::string table(static_cast<std::size_t>(ImageDataStart(library_.inspection.header)),
                          '\0');
        if (!file.ReadExactAt(0, table.data(), table.size())) {
            plan.result = AnyEditResult::CannotRead;
            plan.message = "Cannot read " + library_.name + "; " + kNothingChanged;
            return plan;
        }
        Splices splices;
        if (!TableSplices(table, splices)) {
            plan.result = AnyEditResult::Full;
            plan.message =
                library_.name + " is full (a count or size would overflow); " + kNothingChanged;
            return plan;
        }
        splices.insert(splices.end(), records_.begin(), records_.end());
        plan.splices = Joined(std::move(splices));
        plan.result = AnyEditResult::Ok;
        return plan;
    }

  private:
    struct GroupEdit {
        tGROUP group;
        std::int64_t images = 0;
        std::int64_t bytes = 0;
        std::int64_t colours = 0;
        bool added = false;
    };

    void Shift(std::size_t group, const tIMAGE& record, int sign) {
        groups_[group].images += sign;
        groups_[group].bytes += sign * static_cast<std::int64_t>(RecordBytes(record));
        groups_[group].colours += sign * static_cast<std::int64_t>(record.ColourCount);
    }

    static bool Within(std::int64_t value, std::uint64_t most) {
        return value >= 0 && static_cast<std::uint64_t>(value) <= most;
    }

    bool TableSplices(const std::string& table, Splices& splices) const {
        tHEADER header = library_.inspection.header;
        std::int64_t images = 0;
        std::int64_t colours = 0;
        std::int64_t offset = 0;
        std::uint64_t kept = 0;
        for (std::size_t g = 0; g < groups_.size(); ++g) {
            const GroupEdit& edit = groups_[g];
            const std::uint64_t at = tHEADER::kSize + std::uint64_t{tGROUP::kSize} * g;
            const std::string old = edit.added ? "" : table.substr(at, tGROUP::kSize);
            // A group that this change leaves without records leaves the table; one that had
            // none before keeps its place.
            if (!edit.added && edit.images == 0 && edit.group.ImageCount > 0) {
                splices.push_back({at, old, ""});
                continue;
            }
            if (!Within(edit.images, kMostCount) || !Within(edit.bytes, kMostSize) ||
                !Within(edit.colours, kMostSize)) {
                return false;
            }
            tGROUP group = edit.group;
            group.ImageCount = static_cast<std::uint16_t>(edit.images);
            group.ImageDataSize = static_cast<std::uint32_t>(edit.bytes);
            group.ColourCount = static_cast<std::uint32_t>(edit.colours);
            group.DataOffset = static_cast<std::uint32_t>(offset);
            const std::string now = BytesOf(group.Encode());
            if (now != old) {
                splices.push_back({edit.added ? table.size() : at, old, now});
            }
            images += edit.images;
            colours += edit.colours;
            offset += edit.bytes;
            ++kept;
            if (!Within(images, kMostCount) || !Within(offset, kMostSize) ||
                !Within(colours, kMostSize) || kept > kMostCount) {
                return false;
            }
        }
        header.GroupCount = static_cast<std::uint16_t>(kept);
        header.ImageCount = static_cast<std::uint16_t>(images);
        header.ImageDataSize = static_cast<std::uint32_t>(offset);
        header.ColourCount = static_cast<std::uint32_t>(colours);
        if (header.GroupDataSize != 0) {
            header.GroupDataSize = static_cast<std::uint32_t>(tGROUP::kSize * kept);
        }
        const std::string now = BytesOf(header.Encode());
        if (now != table.substr(0, tHEADER::kSize)) {
            splices.insert(splices.begin(), {0, table.substr(0, tHEADER::kSize), now});
        }
        return true;
    }

    // Sorted, insertions before what else starts at their offset (a new group record before the
    // first record, a moved record before the one it comes to stand in front of), and splices
    // that touch joined into one.
    static Splices Joined(Splices splices) {
        std::stable_sort(splices.begin(), splices.end(), [](const auto& a, const auto& b) {
            return a.offset != b.offset ? a.offset < b.offset
                                        : a.removed.empty() && !b.removed.empty();
        });
        Splices joined;
        for (auto& splice : splices) {
            if (!joined.empty() &&
                joined.back().offset + joined.back().removed.size() == splice.offset) {
                joined.back().removed += splice.removed;
                joined.back().inserted += splice.inserted;
            } else {
                joined.push_back(std::move(splice));
            }
        }
        return joined;
    }

    const SoundLibrary& library_;
    std::vector<GroupEdit> groups_;
    Splices records_;
};

std::uint64_t GroupEnd(const SoundLibrary& library, std::size_t group) {
    const tGROUP& g = library.inspection.groups[group];
    return ImageDataStart(library.inspection.header) + g.DataOffset + g.ImageDataSize;
}

bool ReadRecordBytes(ByteFile& file, const ImageRecord& record, std::string& bytes) {
    bytes.assign(static_cast<std::size_t>(RecordBytes(record.image)), '\0');
    return file.ReadExactAt(record.offset, bytes.data(), bytes.size());
}

AnyEditPlan Refused(AnyEditResult result, std::string message) {
    AnyEditPlan plan;
    plan.result = result;
    plan.message = std::move(message);
    return plan;
}

AnyEditPlan CannotRead(const SoundLibrary& library) {
    return Refused(AnyEditResult::CannotRead,
                   "Cannot read " + library.name + "; " + kNothingChanged);
}

// The record that `picture` becomes, or why it cannot be one.
std::optional<std::string> RecordOf(const StoredPicture& picture, RecordName name,
                                    std::string& bytes) {
    const std::uint64_t dataSize =
        tIMAGE::kBlockHeaderBytes + 3ull * picture.palette.size() + picture.pixels.size();
    if (picture.width < 1 || picture.height < 1 || picture.width > 0xFFFF ||
        picture.height > 0xFFFF || dataSize + tIMAGE::kIdentBytes > kMostSize) {
        return std::string("the picture is too large for a record");
    }
    const tIMAGE record =
        tIMAGE::Make(picture.format, static_cast<std::uint16_t>(picture.width),
                     static_cast<std::uint16_t>(picture.height), name.groupId, name.pictureId,
                     static_cast<std::uint32_t>(picture.palette.size()),
                     static_cast<std::uint32_t>(picture.pixels.size()));
    bytes = EncodeRecord(record, picture.palette, picture.pixels);
    return std::nullopt;
}

// Opens the library and reads it as sound; a plan refused when it is not.
template <typename Planner>
AnyEditPlan PlanFrom(const std::string& path, Planner planner) {
    SoundLibrary library;
    std::string message;
    if (const AnyEditResult read = ReadSound(path, library, message); read != AnyEditResult::Ok) {
        return Refused(read, message);
    }
    ByteFile file;
    if (!file.Open(path, ByteFile::Mode::Read)) {
        return CannotRead(library);
    }
    return planner(library, file);
}

tIMAGE DecodedRecord(const std::string& bytes) {
    return tIMAGE::Decode(reinterpret_cast<const std::uint8_t*>(bytes.data()));
}

// The format that all records of the groups carrying `groupId` have, if they have one.
std::optional<std::uint16_t> FormatOfGroups(const SoundLibrary& library, std::uint16_t groupId) {
    std::optional<std::uint16_t> format;
    const auto& images = library.inspection.images;
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (library.inspection.groups[library.groupOf[i]].GroupId != groupId) {
            continue;
        }
        if (format && *format != images[i].image.PictureFormat) {
            return std::nullopt;
        }
        format = images[i].image.PictureFormat;
    }
    return format;
}

// The new record's bytes in `bytes`, or the plan that refuses it.
std::optional<AnyEditPlan> MadeRecord(const PictureMaker& make, const RecordLookup& lookup,
                                      RecordName name, const std::string& verb,
                                      const SoundLibrary& library, std::string& bytes) {
    std::string refusal;
    const std::optional<StoredPicture> picture = make(lookup, refusal);
    if (!picture) {
        return Refused(AnyEditResult::NoPicture, refusal + "; " + kNothingChanged);
    }
    if (const auto why = RecordOf(*picture, name, bytes)) {
        return Refused(AnyEditResult::Full, "Cannot " + verb + " " + NameText(name) + " in " +
                                                library.name + ": " + *why + "; " +
                                                kNothingChanged);
    }
    return std::nullopt;
}

}  // namespace

std::string NameText(RecordName name) {
    return to_string(name.groupId) + " " + to_string(name.pictureId);
}

AnyEditPlan PlanAddRecord(const std::string& path, RecordName name, const StoredPicture& picture) {
    return PlanAddRecord(path, name, [&](const RecordLookup&, std::string&) { return picture; });
}

AnyEditPlan PlanSetRecord(const std::string& path, RecordName name, const StoredPicture& picture) {
    return PlanSetRecord(path, name, [&](const RecordLookup&, std::string&) { return picture; });
}

AnyEditPlan PlanAddRecord(const std::string& path, RecordName name, const PictureMaker& make) {
    return PlanFrom(path, [&](const SoundLibrary& library, ByteFile& file) {
        std::string message;
        if (const auto result = RequireFree(library, name, message); result != AnyEditResult::Ok) {
            return Refused(result, message);
        }
        const auto existing = LastGroupWithId(library, name.groupId);
        std::string added;
        if (auto refused = MadeRecord(make, {{}, FormatOfGroups(library, name.groupId)}, name,
                                      "add", library, added)) {
            return std::move(*refused);
        }
        EditBuilder builder(library);
        const std::size_t group = existing ? *existing : builder.NewGroup(name.groupId);
        const std::uint64_t at = existing ? GroupEnd(library, group) : library.inspection.fileSize;
        builder.Gain(group, DecodedRecord(added));
        builder.Splice(at, "", added);
        AnyEditPlan plan = builder.Finish(file);
        plan.what = "add " + NameText(name);
        plan.row = static_cast<int>(existing ? library.firstRecord[group] +
                                                   library.inspection.groups[group].ImageCount
                                             : library.inspection.images.size());
        return plan;
    });
}

AnyEditPlan PlanSetRecord(const std::string& path, RecordName name, const PictureMaker& make) {
    return PlanFrom(path, [&](const SoundLibrary& library, ByteFile& file) {
        std::string message;
        std::size_t index = 0;
        if (const auto result = FindOne(library, name, index, message);
            result != AnyEditResult::Ok) {
            return Refused(result, message);
        }
        const ImageRecord& old = library.inspection.images[index];
        std::string added;
        if (auto refused =
                MadeRecord(make, {old.image, std::nullopt}, name, "set", library, added)) {
            return std::move(*refused);
        }
        std::string removed;
        if (!ReadRecordBytes(file, old, removed)) {
            return CannotRead(library);
        }
        EditBuilder builder(library);
        builder.Lose(library.groupOf[index], old.image);
        builder.Gain(library.groupOf[index], DecodedRecord(added));
        builder.Splice(old.offset, std::move(removed), std::move(added));
        AnyEditPlan plan = builder.Finish(file);
        plan.what = "set " + NameText(name);
        plan.row = static_cast<int>(index);
        return plan;
    });
}

AnyEditPlan PlanRemoveRecords(const std::string& path, const std::vector<RecordName>& names) {
    return PlanFrom(path, [&](const SoundLibrary& library, ByteFile& file) {
        std::string message;
        std::vector<std::size_t> indices;
        std::string what = "remove";
        for (const RecordName name : names) {
            std::size_t index = 0;
            if (const auto result = FindOne(library, name, index, message);
                result != AnyEditResult::Ok) {
                return Refused(result, message);
            }
            if (std::find(indices.begin(), indices.end(), index) != indices.end()) {
                return Refused(AnyEditResult::Repeated, "The record " + NameText(name) +
                                                            " is named more than once; " +
                                                            kNothingChanged);
            }
            indices.push_back(index);
            // A remove of thousands names the first ones; the journal's line stays short.
            if (what.size() <= kLongestWhat) {
                what += " " + NameText(name);
            } else if (what.back() != '.') {
                what += " ...";
            }
        }
        if (indices.empty()) {
            return Refused(AnyEditResult::NoSuchRecord,
                           std::string("No record is named; ") + kNothingChanged);
        }
        EditBuilder builder(library);
        for (const std::size_t index : indices) {
            const ImageRecord& record = library.inspection.images[index];
            std::string removed;
            if (!ReadRecordBytes(file, record, removed)) {
                return CannotRead(library);
            }
            builder.Lose(library.groupOf[index], record.image);
            builder.Splice(record.offset, std::move(removed), "");
        }
        AnyEditPlan plan = builder.Finish(file);
        plan.what = std::move(what);
        plan.row = static_cast<int>(*std::min_element(indices.begin(), indices.end()));
        return plan;
    });
}

AnyEditPlan PlanRenameRecord(const std::string& path, RecordName from, RecordName to) {
    return PlanFrom(path, [&](const SoundLibrary& library, ByteFile& file) {
        std::string message;
        std::size_t index = 0;
        if (auto result = FindOne(library, from, index, message); result != AnyEditResult::Ok) {
            return Refused(result, message);
        }
        if (auto result = RequireFree(library, to, message); result != AnyEditResult::Ok) {
            return Refused(result, message);
        }
        const ImageRecord& record = library.inspection.images[index];
        EditBuilder builder(library);
        int row = static_cast<int>(index);
        if (to.groupId == from.groupId) {
            builder.Splice(record.offset + kPictureIdAt, Encode16(from.pictureId),
                           Encode16(to.pictureId));
        } else {
            std::string bytes;
            if (!ReadRecordBytes(file, record, bytes)) {
                return CannotRead(library);
            }
            std::string moved = bytes;
            moved.replace(kGroupIdAt, 2, Encode16(to.groupId));
            moved.replace(kPictureIdAt, 2, Encode16(to.pictureId));
            const auto existing = LastGroupWithId(library, to.groupId);
            const std::size_t group = existing ? *existing : builder.NewGroup(to.groupId);
            const std::uint64_t at =
                existing ? GroupEnd(library, group) : library.inspection.fileSize;
            std::size_t newIndex =
                existing ? library.firstRecord[group] + library.inspection.groups[group].ImageCount
                         : library.inspection.images.size();
            newIndex -= newIndex > index ? 1 : 0;
            row = static_cast<int>(newIndex);
            builder.Lose(library.groupOf[index], record.image);
            builder.Gain(group, record.image);
            builder.Splice(record.offset, std::move(bytes), "");
            builder.Splice(at, "", std::move(moved));
        }
        AnyEditPlan plan = builder.Finish(file);
        plan.what = "rename " + NameText(from) + " " + NameText(to);
        plan.row = row;
        return plan;
    });
}

AnyEditOutcome MakeAnyEdit(const std::string& journalFolder, const std::string& path,
                           const std::function<AnyEditPlan(const std::string& library)>& plan) {
    const std::string name = FileNameOf(path);
    // Before the journal, whose opening may finish a stopped change in the library.
    if (std::string kept = WriteRefusalText(WriteAccessOf(path), name); !kept.empty()) {
        return {false, std::move(kept), {}, -1};
    }
    ChangeJournal journal(journalFolder, path);
    if (journal.Status() != JournalResult::Done) {
        return {false,
                DescribeJournalRefusal(journal.Status(), journalFolder, name, kNothingChanged),
                {},
                -1};
    }
    const std::string& library = journal.LibraryPath();
    const AnyEditPlan planned = plan(library);
    if (planned.result != AnyEditResult::Ok) {
        return {false, planned.message, planned.what, planned.row};
    }
    const ChangeWrite how = HowToMake(planned.splices, planned.sizeBefore);
    const JournalResult result =
        how == ChangeWrite::ByRename
            ? journal.RecordRewrite(planned.what, planned.row, planned.splices)
            : journal.Record(planned.what, planned.row, planned.splices, how, [&] {
                  return MakeSplices(library, planned.sizeBefore, planned.splices);
              });
    if (result != JournalResult::Done) {
        return {false, DescribeJournalRefusal(result, journalFolder, name, kNothingChanged),
                planned.what, planned.row};
    }
    return {true, {}, planned.what, planned.row};
}

}  // namespace vexlor
