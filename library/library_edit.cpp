#include "library/library_edit.h"

#include <algorithm>
#include <limits>

#include "library/byte_file.h"
#include "library/library_reader.h"

namespace vexlor {

namespace {

struct WalkedRecord {
    std::uint64_t offset = 0;
    tIMAGE image{};
};

// A library read as a change is planned from it: the header and group table as bytes and as
// records, and every record the header counts, each checked to lie inside the file.
struct Walked {
    PlanResult result = PlanResult::CannotRead;
    tHEADER header{};
    std::string table;  // the header and the group table as they are in the file
    std::vector<tGROUP> groups;
    std::vector<WalkedRecord> records;
    std::uint64_t end = 0;  // where the walk ends
    std::uint64_t size = 0;
};

std::uint64_t RecordsStartOf(const LibraryLayout& layout, const tHEADER& header) {
    return layout.recordsStart == RecordsStart::AfterGroupTable ? ImageDataStart(header)
                                                                : tHEADER::kSize + tGROUP::kSize;
}

// `strict`: the records must also keep the relation the writers keep between the palette and
// the pixels, so that every reader of the file agrees on where each record ends.
Walked Walk(ByteFile& file, const LibraryLayout& layout, bool strict) {
    Walked walked;
    const auto size = file.CheckedSize();
    if (!size) {
        return walked;
    }
    walked.size = *size;
    walked.result = PlanResult::NotALibrary;
    std::uint8_t headerBytes[tHEADER::kSize];
    if (*size < tHEADER::kSize || !file.ReadExactAt(0, headerBytes, sizeof headerBytes)) {
        return walked;
    }
    walked.header = tHEADER::Decode(headerBytes);
    // A library of single-group layout without its group would have its first record's bytes
    // taken for group counts.
    if ((!layout.groupPerPicture && walked.header.GroupCount == 0) ||
        ImageDataStart(walked.header) > *size) {
        return walked;
    }
    walked.table.resize(static_cast<std::size_t>(ImageDataStart(walked.header)));
    if (!file.ReadExactAt(0, walked.table.data(), walked.table.size())) {
        walked.result = PlanResult::CannotRead;
        return walked;
    }
    const auto* table = reinterpret_cast<const std::uint8_t*>(walked.table.data());
    for (std::size_t k = 0; k < walked.header.GroupCount; ++k) {
        walked.groups.push_back(tGROUP::Decode(table + tHEADER::kSize + k * tGROUP::kSize));
    }
    std::uint64_t at = RecordsStartOf(layout, walked.header);
    walked.records.reserve(walked.header.ImageCount);
    for (int k = 0; k < walked.header.ImageCount; ++k) {
        std::uint8_t bytes[tIMAGE::kSize];
        if (at + tIMAGE::kSize > *size || !file.ReadExactAt(at, bytes, sizeof bytes)) {
            return walked;
        }
        const tIMAGE image = tIMAGE::Decode(bytes);
        const std::uint64_t length = RecordBytes(image);
        if (length < tIMAGE::kSize || at + length > *size ||
            (strict && image.PixelOffset != tIMAGE::kBlockHeaderBytes + 3ull * image.ColourCount)) {
            return walked;
        }
        walked.records.push_back({at, image});
        at += length;
    }
    walked.end = at;
    walked.result = PlanResult::Ok;
    return walked;
}

std::string BytesOf(const auto& encoded) {
    return std::string(encoded.begin(), encoded.end());
}

std::string ReadRecordBytes(ByteFile& file, const WalkedRecord& record, bool& ok) {
    std::string bytes(static_cast<std::size_t>(RecordBytes(record.image)), '\0');
    ok = file.ReadExactAt(record.offset, bytes.data(), bytes.size()) && ok;
    return bytes;
}

// The header and group table with their new values, as one splice over the old ones.
std::string EncodeTable(const tHEADER& header, const std::vector<tGROUP>& groups) {
    std::string bytes = BytesOf(header.Encode());
    for (const tGROUP& group : groups) {
        bytes += BytesOf(group.Encode());
    }
    return bytes;
}

// A count or size moved by `amount`; `fits` turns false when the result leaves the field's
// range. Packed fields go in and out by value: a reference to one may be misaligned.
std::uint32_t Shifted(std::uint32_t value, std::int64_t amount, bool& fits) {
    const std::int64_t result = static_cast<std::int64_t>(value) + amount;
    if (result < 0 || result > std::numeric_limits<std::uint32_t>::max()) {
        fits = false;
        return value;
    }
    return static_cast<std::uint32_t>(result);
}

std::int64_t Signed(std::uint64_t amount) {
    return static_cast<std::int64_t>(amount);
}

// One group for every picture (SHIP): group k describes record k alone.
bool KeepsGroupPerPicture(const Walked& walked) {
    if (walked.groups.size() != walked.records.size()) {
        return false;
    }
    for (std::size_t k = 0; k < walked.groups.size(); ++k) {
        if (walked.groups[k].ImageCount != 1 ||
            walked.groups[k].ImageDataSize != RecordBytes(walked.records[k].image)) {
            return false;
        }
    }
    return true;
}

// All pictures in the first group (HULL, MAP, BATTLE/MISSION): its counts are the walk's.
bool KeepsSingleGroup(const Walked& walked) {
    std::uint64_t bytes = 0;
    for (const WalkedRecord& record : walked.records) {
        bytes += RecordBytes(record.image);
    }
    if (walked.groups.empty()) {
        return false;
    }
    const tGROUP& group = walked.groups.front();
    return group.ImageCount == walked.header.ImageCount && group.ImageDataSize == bytes &&
           walked.header.ImageDataSize == bytes;
}

Walked WalkForChange(ByteFile& file, const LibraryLayout& layout) {
    Walked walked = Walk(file, layout, true);
    if (walked.result == PlanResult::Ok &&
        !(layout.groupPerPicture ? KeepsGroupPerPicture(walked) : KeepsSingleGroup(walked))) {
        walked.result = PlanResult::NotALibrary;
    }
    return walked;
}

std::size_t TableLength(const LibraryLayout& layout, const Walked& walked) {
    return layout.groupPerPicture ? walked.table.size() : tHEADER::kSize + tGROUP::kSize;
}

}  // namespace

ChangePlan PlanDelete(ByteFile& file, const LibraryLayout& layout, std::vector<int> rows,
                      int (*identifierOf)(const tIMAGE&)) {
    ChangePlan plan;
    const Walked walked = WalkForChange(file, layout);
    if (walked.result != PlanResult::Ok) {
        plan.result = walked.result;
        return plan;
    }
    std::sort(rows.begin(), rows.end());
    const bool repeated = std::adjacent_find(rows.begin(), rows.end()) != rows.end();
    if (rows.empty() || repeated || rows.front() < 0 ||
        rows.back() >= static_cast<int>(walked.records.size())) {
        plan.result = PlanResult::NoSuchRow;
        return plan;
    }
    tHEADER header = walked.header;
    std::vector<tGROUP> groups = walked.groups;
    std::vector<bool> removed(walked.records.size(), false);
    std::uint64_t bytes = 0;
    std::uint64_t colours = 0;
    for (int row : rows) {
        const tIMAGE& image = walked.records[static_cast<std::size_t>(row)].image;
        removed[static_cast<std::size_t>(row)] = true;
        bytes += RecordBytes(image);
        colours += image.ColourCount;
        plan.identifiers.push_back(identifierOf(image));
    }
    const auto count = static_cast<std::uint16_t>(rows.size());
    header.ImageCount = static_cast<std::uint16_t>(header.ImageCount - count);
    bool fits = true;
    header.ImageDataSize = Shifted(header.ImageDataSize, -Signed(bytes), fits);
    if (layout.groupPerPicture) {
        std::vector<tGROUP> kept;
        std::uint64_t shift = 0;
        for (std::size_t k = 0; k < groups.size(); ++k) {
            if (removed[k]) {
                shift += groups[k].ImageDataSize;
                header.ColourCount =
                    Shifted(header.ColourCount, -Signed(groups[k].ColourCount), fits);
                continue;
            }
            groups[k].DataOffset = Shifted(groups[k].DataOffset, -Signed(shift), fits);
            kept.push_back(groups[k]);
        }
        groups = std::move(kept);
        header.GroupCount = static_cast<std::uint16_t>(groups.size());
        header.GroupDataSize =
            Shifted(header.GroupDataSize, -Signed(std::uint64_t{tGROUP::kSize} * count), fits);
    } else {
        tGROUP& group = groups.front();
        group.ImageCount = static_cast<std::uint16_t>(group.ImageCount - count);
        group.ImageDataSize = Shifted(group.ImageDataSize, -Signed(bytes), fits);
        group.ColourCount = Shifted(group.ColourCount, -Signed(colours), fits);
        header.ColourCount = Shifted(header.ColourCount, -Signed(colours), fits);
    }
    if (!fits) {
        plan.result = PlanResult::NotALibrary;
        return plan;
    }
    const std::size_t tableLength = TableLength(layout, walked);
    std::string newTable = EncodeTable(header, groups);
    if (!layout.groupPerPicture) {
        newTable.resize(tableLength);
    }
    plan.splices.push_back({0, walked.table.substr(0, tableLength), newTable});
    bool ok = true;
    for (int row : rows) {
        const WalkedRecord& record = walked.records[static_cast<std::size_t>(row)];
        Splice& last = plan.splices.back();
        // Neighbours go as one removal: a run that reaches the end of the file is then a cut
        // that can be made in place.
        if (plan.splices.size() > 1 && last.offset + last.removed.size() == record.offset) {
            last.removed += ReadRecordBytes(file, record, ok);
        } else {
            plan.splices.push_back({record.offset, ReadRecordBytes(file, record, ok), ""});
        }
    }
    plan.result = ok ? PlanResult::Ok : PlanResult::CannotRead;
    plan.row = rows.front();
    return plan;
}

ChangePlan PlanReplace(ByteFile& file, const LibraryLayout& layout, int row, const tIMAGE& record,
                       const tPAL& palette, const tPIX& pixels,
                       int (*identifierOf)(const tIMAGE&)) {
    ChangePlan plan;
    const Walked walked = WalkForChange(file, layout);
    if (walked.result != PlanResult::Ok) {
        plan.result = walked.result;
        return plan;
    }
    if (row < 0 || row >= static_cast<int>(walked.records.size())) {
        plan.result = PlanResult::NoSuchRow;
        return plan;
    }
    const auto index = static_cast<std::size_t>(row);
    const WalkedRecord& old = walked.records[index];
    const std::string added = EncodeRecord(record, palette, pixels);
    const std::int64_t delta =
        static_cast<std::int64_t>(added.size()) - static_cast<std::int64_t>(RecordBytes(old.image));
    const std::int64_t colourDelta = static_cast<std::int64_t>(record.ColourCount) -
                                     static_cast<std::int64_t>(old.image.ColourCount);
    tHEADER header = walked.header;
    std::vector<tGROUP> groups = walked.groups;
    bool fits = true;
    header.ImageDataSize = Shifted(header.ImageDataSize, delta, fits);
    header.ColourCount = Shifted(header.ColourCount, colourDelta, fits);
    tGROUP& group = layout.groupPerPicture ? groups[index] : groups.front();
    group.ImageDataSize = Shifted(group.ImageDataSize, delta, fits);
    group.ColourCount = Shifted(group.ColourCount, colourDelta, fits);
    if (layout.groupPerPicture) {
        for (std::size_t k = index + 1; k < groups.size(); ++k) {
            groups[k].DataOffset = Shifted(groups[k].DataOffset, delta, fits);
        }
    }
    if (!fits) {
        plan.result = PlanResult::Full;
        return plan;
    }
    const std::size_t tableLength = TableLength(layout, walked);
    std::string newTable = EncodeTable(header, groups);
    newTable.resize(tableLength);
    bool ok = true;
    plan.splices.push_back({0, walked.table.substr(0, tableLength), newTable});
    plan.splices.push_back({old.offset, ReadRecordBytes(file, old, ok), added});
    plan.identifiers.push_back(identifierOf(old.image));
    plan.result = ok ? PlanResult::Ok : PlanResult::CannotRead;
    plan.row = row;
    return plan;
}

ChangePlan PlanSingleGroupAppend(ByteFile& file, const LibraryLayout& layout, const tIMAGE& record,
                                 const tPAL& palette, const tPIX& pixels) {
    ChangePlan plan;
    const Walked walked = Walk(file, layout, true);
    if (walked.result != PlanResult::Ok || walked.groups.empty()) {
        plan.result = walked.result == PlanResult::Ok ? PlanResult::NotALibrary : walked.result;
        return plan;
    }
    const std::string added = EncodeRecord(record, palette, pixels);
    tHEADER header = walked.header;
    tGROUP group = walked.groups.front();
    bool fits = group.ImageCount < std::numeric_limits<std::uint16_t>::max();
    group.ImageDataSize = Shifted(group.ImageDataSize, Signed(added.size()), fits);
    group.ColourCount = Shifted(group.ColourCount, Signed(palette.size()), fits);
    if (!fits) {
        plan.result = PlanResult::Full;
        return plan;
    }
    if (!KeepsSingleGroup(walked)) {
        plan.result = PlanResult::NotALibrary;
        return plan;
    }
    group.ImageCount = static_cast<std::uint16_t>(group.ImageCount + 1);
    header.ImageCount = group.ImageCount;
    header.ImageDataSize = group.ImageDataSize;
    header.ColourCount = group.ColourCount;
    std::string newTable = BytesOf(header.Encode()) + BytesOf(group.Encode());
    plan.splices.push_back({0, walked.table.substr(0, newTable.size()), newTable});
    // Bytes beyond the walk were left by an append that stopped before its header counted
    // them: the new record takes their place.
    std::string tail(static_cast<std::size_t>(walked.size - walked.end), '\0');
    if (!file.ReadExactAt(walked.end, tail.data(), tail.size()) && !tail.empty()) {
        plan.result = PlanResult::CannotRead;
        return plan;
    }
    plan.splices.push_back({walked.end, tail, added});
    plan.identifiers.push_back(record.PictureId);
    plan.row = walked.header.ImageCount;
    plan.result = PlanResult::Ok;
    return plan;
}

ChangePlan PlanShipAppend(ByteFile& file, std::uint16_t groupId, const tPAL& palette,
                          const tPIX& pixels) {
    ChangePlan plan;
    const Walked from = Walk(file, {RecordsStart::AfterGroupTable, true}, false);
    if (from.result != PlanResult::Ok) {
        plan.result = from.result;
        return plan;
    }
    const auto colourCount = static_cast<std::uint32_t>(palette.size());
    const tIMAGE record = tIMAGE::Make(kRunLengthFormat, 180, 180, groupId, 1, colourCount,
                                       static_cast<std::uint32_t>(pixels.size()));
    const std::string added = EncodeRecord(record, palette, pixels);
    const tHEADER& old = from.header;
    tHEADER header = old;
    bool fits = old.GroupCount < std::numeric_limits<std::uint16_t>::max() &&
                old.ImageCount < std::numeric_limits<std::uint16_t>::max();
    header.ImageDataSize = Shifted(header.ImageDataSize, Signed(added.size()), fits);
    header.ColourCount = Shifted(header.ColourCount, colourCount, fits);
    header.GroupDataSize = Shifted(header.GroupDataSize, tGROUP::kSize, fits);
    if (!fits) {
        plan.result = PlanResult::Full;
        return plan;
    }
    header.GroupCount = static_cast<std::uint16_t>(old.GroupCount + 1);
    header.ImageCount = static_cast<std::uint16_t>(old.ImageCount + 1);
    tGROUP group{};
    group.GroupId = groupId;
    group.ImageCount = 1;
    group.ImageDataSize = static_cast<std::uint32_t>(added.size());
    group.ColourCount = colourCount;
    for (const tGROUP& earlier : from.groups) {
        group.DataOffset += earlier.ImageDataSize;
    }
    plan.splices.push_back({0, from.table.substr(0, tHEADER::kSize), BytesOf(header.Encode())});
    plan.splices.push_back({from.table.size(), "", BytesOf(group.Encode())});
    std::string tail(static_cast<std::size_t>(from.size - from.end), '\0');
    if (!file.ReadExactAt(from.end, tail.data(), tail.size()) && !tail.empty()) {
        plan.result = PlanResult::CannotRead;
        return plan;
    }
    plan.splices.push_back({from.end, tail, added});
    plan.identifiers.push_back(groupId);
    plan.row = old.ImageCount;
    plan.result = PlanResult::Ok;
    return plan;
}

ChangePlan PlanRenumber(ByteFile& file, const LibraryLayout& layout, int position, int oldId,
                        int newId) {
    ChangePlan plan;
    const Walked walked = Walk(file, layout, false);
    if (walked.result != PlanResult::Ok) {
        plan.result = walked.result;
        return plan;
    }
    if (position < 1 || position > static_cast<int>(walked.records.size()) || newId < 0 ||
        newId > 0xFFFF) {
        plan.result = PlanResult::NoSuchRow;
        return plan;
    }
    const WalkedRecord& record = walked.records[static_cast<std::size_t>(position - 1)];
    const auto encode = [](int id) {
        return std::string{static_cast<char>(id & 0xFF), static_cast<char>((id >> 8) & 0xFF)};
    };
    constexpr std::uint64_t kGroupIdAt = 10;
    constexpr std::uint64_t kPictureIdAt = 12;
    if (layout.groupPerPicture) {
        // The group and the record are tested and changed each on its own, as the game's own tools
        // did: one of them still carrying the old number is renumbered.
        const std::size_t index = static_cast<std::size_t>(position - 1);
        if (index < walked.groups.size() && walked.groups[index].GroupId == oldId) {
            plan.splices.push_back(
                {tHEADER::kSize + tGROUP::kSize * index, encode(oldId), encode(newId)});
        }
        if (record.image.GroupId == oldId) {
            plan.splices.push_back({record.offset + kGroupIdAt, encode(oldId), encode(newId)});
        }
        if (plan.splices.empty()) {
            plan.result = PlanResult::NoSuchRow;
            return plan;
        }
    } else {
        if (record.image.PictureId != oldId) {
            plan.result = PlanResult::NoSuchRow;
            return plan;
        }
        plan.splices.push_back({record.offset + kPictureIdAt, encode(oldId), encode(newId)});
    }
    plan.identifiers = {oldId, newId};
    plan.row = position - 1;
    plan.result = PlanResult::Ok;
    return plan;
}

}  // namespace vexlor
