#include "library/library_inspection.h"

#include "library/utf8_path.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

namespace vexlor {

namespace {

using std::to_string;

constexpr std::uint32_t kReservedImageValue = 24;

std::string RecordName(std::size_t index, std::uint64_t offset) {
    return "image record " + to_string(index + 1) + " at offset " + to_string(offset);
}

std::string CountedRecordName(std::size_t index, std::uint32_t count, std::uint64_t offset) {
    return "image record " + to_string(index + 1) + " of " + to_string(count) + " at offset " +
           to_string(offset);
}

// "ends before" when not a byte of the item is there, "ends inside" when some are.
std::string WhereFileEnds(std::uint64_t start, std::uint64_t fileSize) {
    return start >= fileSize ? "the file ends before " : "the file ends inside ";
}

// Special files (folders, pipes, devices) would read as nonsense or block.
bool IsReadableRegularFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(PathFromUtf8(path), error) && !error;
}

void InspectGroupTable(LibraryReader& reader, LibraryInspection& inspection) {
    reader.ReadGroups(inspection.groups);
    const std::uint32_t announced = inspection.header.GroupCount;
    const std::size_t read = inspection.groups.size();
    if (read >= announced) {
        return;
    }
    const std::uint64_t at = tHEADER::kSize + static_cast<std::uint64_t>(tGROUP::kSize) * read;
    inspection.problems.push_back(WhereFileEnds(at, inspection.fileSize) + "group record " +
                                  to_string(read + 1) + " of " + to_string(announced) +
                                  " at offset " + to_string(at));
    inspection.problemSubjects.push_back({CheckSubject::Kind::Header, 0});
}

// Measures the palette, pixels and full length of a record against the file, in the order a
// reader would meet them; empty when every byte is there.
std::string MissingRecordBytes(const ImageRecord& record, std::size_t index, std::uint32_t count,
                               std::uint64_t fileSize) {
    const tIMAGE& image = record.image;
    const auto name = [&] { return CountedRecordName(index, count, record.offset); };
    const std::uint64_t paletteEnd = record.offset + tIMAGE::kSize + 3ull * image.ColourCount;
    if (paletteEnd > fileSize) {
        return "the file ends inside the palette of " + name();
    }
    if (image.DataSize >= image.PixelOffset &&
        paletteEnd + (image.DataSize - image.PixelOffset) > fileSize) {
        return "the file ends inside the pixel data of " + name();
    }
    const std::uint64_t recordEnd = record.offset + RecordBytes(image);
    if (recordEnd > fileSize) {
        return name() + " reaches byte " + to_string(recordEnd) +
               " (DataSize + 18 = " + to_string(RecordBytes(image)) +
               "), past the end of the file at byte " + to_string(fileSize);
    }
    return {};
}

void InspectRecords(LibraryReader& reader, LibraryInspection& inspection) {
    const std::uint32_t count = inspection.header.ImageCount;
    ImageRecord record;
    while (reader.NextRecord(record)) {
        const std::size_t index = inspection.images.size();
        inspection.images.push_back(record);
        std::string missing = MissingRecordBytes(record, index, count, inspection.fileSize);
        if (!missing.empty()) {
            inspection.problems.push_back(std::move(missing));
            inspection.problemSubjects.push_back({CheckSubject::Kind::Record, index});
        }
    }
    if (reader.LastStatus() != ReadStatus::ShortRecord) {
        return;
    }
    // The reader stopped where the next record would begin.
    const std::uint64_t at =
        inspection.images.empty()
            ? ImageDataStart(inspection.header)
            : inspection.images.back().offset + RecordBytes(inspection.images.back().image);
    inspection.problems.push_back(WhereFileEnds(at, inspection.fileSize) +
                                  CountedRecordName(inspection.images.size(), count, at));
    inspection.problemSubjects.push_back({CheckSubject::Kind::File, 0});
}

// ---- checking ----

class Violations {
  public:
    explicit Violations(LibraryCheck& check) : check_(check) {}

    // What the lines added from now on concern.
    void About(CheckSubject::Kind kind, std::size_t index = 0) { subject_ = {kind, index}; }

    void Add(std::string line) {
        check_.violations.push_back(std::move(line));
        check_.subjects.push_back(subject_);
    }
    void Add(std::string line, CheckSubject subject) {
        About(subject.kind, subject.index);
        Add(std::move(line));
    }

    // "<what>: <field> 5 differs from <reference> 7"
    void ExpectSame(const std::string& what, const char* field, std::uint64_t value,
                    const std::string& reference, std::uint64_t expected) {
        if (value != expected) {
            Add(what + ": " + field + " " + to_string(value) + " differs from " + reference + " " +
                to_string(expected));
        }
    }

    // "<what>: <field> is 5, not 24"
    void ExpectValue(const std::string& what, const char* field, std::uint64_t value,
                     std::uint64_t expected) {
        if (value != expected) {
            Add(what + ": " + field + " is " + to_string(value) + ", not " + to_string(expected));
        }
    }

  private:
    LibraryCheck& check_;
    CheckSubject subject_;
};

std::string HexBytes(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned>(bytes[i]));
        text += (i == 0 ? "" : " ");
        text += pair;
    }
    return text;
}

void CheckSignature(const tHEADER& header, Violations& out) {
    out.About(CheckSubject::Kind::Header);
    if (!header.HasSignature()) {
        out.Add("the signature is " + HexBytes(header.Signature, kSignature.size()) + ", not " +
                HexBytes(kSignature.data(), kSignature.size()));
    }
}

void CheckHeaderTotals(const LibraryInspection& inspection, Violations& out) {
    if (inspection.groups.size() < inspection.header.GroupCount) {
        return;  // sums over a partial table say nothing new; the missing groups are reported
    }
    std::uint64_t images = 0;
    std::uint64_t bytes = 0;
    std::uint64_t colours = 0;
    for (const tGROUP& group : inspection.groups) {
        images += group.ImageCount;
        bytes += group.ImageDataSize;
        colours += group.ColourCount;
    }
    const tHEADER& header = inspection.header;
    const std::string sum = "the sum over the groups,";
    out.ExpectSame("header", "ImageCount", header.ImageCount, sum, images);
    out.ExpectSame("header", "ImageDataSize", header.ImageDataSize, sum, bytes);
    out.ExpectSame("header", "ColourCount", header.ColourCount, sum, colours);
}

void CheckGroupDataSize(const tHEADER& header, Violations& out) {
    const std::uint64_t table = static_cast<std::uint64_t>(tGROUP::kSize) * header.GroupCount;
    if (header.GroupDataSize != 0 && header.GroupDataSize != table) {
        out.Add("header: GroupDataSize " + to_string(header.GroupDataSize) +
                " is neither 0 nor 24 x GroupCount = " + to_string(table));
    }
}

void CheckImageDataRegion(const LibraryInspection& inspection, Violations& out) {
    out.About(CheckSubject::Kind::Header);
    const std::uint64_t start = ImageDataStart(inspection.header);
    const std::uint64_t held = inspection.fileSize > start ? inspection.fileSize - start : 0;
    if (held != inspection.header.ImageDataSize) {
        out.Add("the image data from byte " + to_string(start) + " to the end of the file is " +
                to_string(held) + " bytes, not the header's ImageDataSize " +
                to_string(inspection.header.ImageDataSize));
    }
}

std::string GroupName(std::size_t index, const tGROUP& group) {
    return "group " + to_string(index + 1) + " (GroupId " + to_string(group.GroupId) + ")";
}

// Sums over a group's records, judged only when all of them were read: otherwise the missing
// records are already reported and the sums would only repeat that.
void CheckGroupSums(const LibraryInspection& inspection, std::size_t index, std::uint64_t first,
                    Violations& out) {
    const tGROUP& group = inspection.groups[index];
    const std::uint64_t end = first + group.ImageCount;
    if (end > inspection.images.size()) {
        return;
    }
    std::uint64_t bytes = 0;
    std::uint64_t colours = 0;
    for (std::uint64_t i = first; i < end; ++i) {
        bytes += RecordBytes(inspection.images[i].image);
        colours += inspection.images[i].image.ColourCount;
    }
    const std::string what = GroupName(index, group);
    out.ExpectSame(what, "ImageDataSize", group.ImageDataSize,
                   "the sum of DataSize + 18 over its records,", bytes);
    out.ExpectSame(what, "ColourCount", group.ColourCount, "the sum over its records,", colours);
}

void CheckGroups(const LibraryInspection& inspection, Violations& out) {
    std::uint64_t offset = 0;
    std::uint64_t firstRecord = 0;
    for (std::size_t index = 0; index < inspection.groups.size(); ++index) {
        const tGROUP& group = inspection.groups[index];
        out.About(CheckSubject::Kind::Group, index);
        out.ExpectSame(GroupName(index, group), "DataOffset", group.DataOffset,
                       "the sum of ImageDataSize over the groups before it,", offset);
        CheckGroupSums(inspection, index, firstRecord, out);
        offset += group.ImageDataSize;
        firstRecord += group.ImageCount;
    }
}

void CheckRecordFields(const std::string& what, const tIMAGE& image, Violations& out) {
    out.ExpectSame(what, "BlockSize", image.BlockSize, "DataSize", image.DataSize);
    out.ExpectSame(what, "DataEnd", image.DataEnd, "DataSize", image.DataSize);
    out.ExpectValue(what, "PaletteOffset", image.PaletteOffset, tIMAGE::kBlockHeaderBytes);
    out.ExpectSame(what, "PixelOffset", image.PixelOffset,
                   "44 + 3 x ColourCount =", tIMAGE::kBlockHeaderBytes + 3ull * image.ColourCount);
    if (image.DataSize < image.PixelOffset) {
        out.Add(what + ": DataSize " + to_string(image.DataSize) + " is smaller than PixelOffset " +
                to_string(image.PixelOffset));
    }
    out.ExpectSame(what, "BlockWidth", image.BlockWidth, "Width", image.Width);
    out.ExpectSame(what, "BlockHeight", image.BlockHeight, "Height", image.Height);
    out.ExpectSame(what, "BlockFormat", image.BlockFormat, "PictureFormat", image.PictureFormat);
    out.ExpectValue(what, "Reserved1", image.Reserved1, 0);
    out.ExpectValue(what, "Reserved2", image.Reserved2, 0);
    out.ExpectValue(what, "Reserved3", image.Reserved3, 0);
    out.ExpectValue(what, "Reserved4", image.Reserved4, kReservedImageValue);
}

// Records are stored group by group, so the n-th record belongs to the group whose ImageCount
// range covers n. Records past the groups read belong to none; that mismatch is reported as a
// count, not once per record.
// The relations CheckRecordFields judges, without making its texts: a library of 65,535 sound
// records is checked without building a name for each.
bool RecordFieldsSound(const tIMAGE& image) {
    return image.BlockSize == image.DataSize && image.DataEnd == image.DataSize &&
           image.PaletteOffset == tIMAGE::kBlockHeaderBytes &&
           image.PixelOffset == tIMAGE::kBlockHeaderBytes + 3ull * image.ColourCount &&
           image.DataSize >= image.PixelOffset && image.BlockWidth == image.Width &&
           image.BlockHeight == image.Height && image.BlockFormat == image.PictureFormat &&
           image.Reserved1 == 0 && image.Reserved2 == 0 && image.Reserved3 == 0 &&
           image.Reserved4 == kReservedImageValue;
}

void CheckRecords(const LibraryInspection& inspection, Violations& out) {
    std::size_t group = 0;
    std::uint64_t groupEnd = inspection.groups.empty() ? 0 : inspection.groups[0].ImageCount;
    for (std::size_t index = 0; index < inspection.images.size(); ++index) {
        const ImageRecord& record = inspection.images[index];
        out.About(CheckSubject::Kind::Record, index);
        if (!RecordFieldsSound(record.image)) {
            CheckRecordFields(RecordName(index, record.offset), record.image, out);
        }
        while (group < inspection.groups.size() && index >= groupEnd) {
            ++group;
            groupEnd += group < inspection.groups.size() ? inspection.groups[group].ImageCount : 0;
        }
        if (group < inspection.groups.size() &&
            inspection.groups[group].GroupId != record.image.GroupId) {
            const tGROUP& owner = inspection.groups[group];
            out.ExpectSame(RecordName(index, record.offset), "GroupId", record.image.GroupId,
                           "the GroupId of group " + to_string(group + 1) + ",", owner.GroupId);
        }
    }
}

}  // namespace

LibraryInspection InspectLibrary(const std::string& path) {
    LibraryInspection inspection;
    LibraryReader reader;
    if (!IsReadableRegularFile(path) || !reader.Open(path)) {
        return inspection;
    }
    inspection.opened = true;
    inspection.fileSize = reader.FileSize();
    if (reader.HeaderStatus() != ReadStatus::Ok) {
        inspection.problems.push_back("the file is " + to_string(inspection.fileSize) +
                                      " bytes long, shorter than the 34-byte header");
        inspection.problemSubjects.push_back({CheckSubject::Kind::File, 0});
        return inspection;
    }
    inspection.headerComplete = true;
    inspection.header = reader.Header();
    InspectGroupTable(reader, inspection);
    InspectRecords(reader, inspection);
    return inspection;
}

LibraryCheck CheckLibrary(const std::string& path) {
    return CheckInspectedLibrary(InspectLibrary(path));
}

LibraryCheck CheckInspectedLibrary(const LibraryInspection& inspection) {
    LibraryCheck check;
    check.opened = inspection.opened;
    Violations out(check);
    if (!inspection.headerComplete) {
        for (std::size_t i = 0; i < inspection.problems.size(); ++i) {
            out.Add(inspection.problems[i], inspection.problemSubjects[i]);
        }
        return check;
    }
    CheckSignature(inspection.header, out);
    CheckHeaderTotals(inspection, out);
    CheckGroupDataSize(inspection.header, out);
    CheckImageDataRegion(inspection, out);
    CheckGroups(inspection, out);
    CheckRecords(inspection, out);
    for (std::size_t i = 0; i < inspection.problems.size(); ++i) {
        out.Add(inspection.problems[i], inspection.problemSubjects[i]);
    }
    return check;
}

}  // namespace vexlor
