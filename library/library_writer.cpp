#include "library/library_writer.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "library/byte_file.h"
#include "library/library_edit.h"
#include "library/library_reader.h"
#include "library/replacement_file.h"
#include "library/utf8_path.h"
#include "library/write_access.h"

namespace vexlor {

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

// The record, its palette and its pixels as they follow each other in the file.
Bytes RecordBytesOf(const tIMAGE& record, const tPAL& palette, const tPIX& pixels) {
    const auto header = record.Encode();
    const Bytes colours = EncodePalette(palette);
    Bytes bytes(header.size() + colours.size() + pixels.size());
    auto next = std::copy(header.begin(), header.end(), bytes.begin());
    next = std::copy(colours.begin(), colours.end(), next);
    std::copy(pixels.begin(), pixels.end(), next);
    return bytes;
}

bool AddFits(std::uint32_t value, std::uint64_t more) {
    return value + more <= std::numeric_limits<std::uint32_t>::max();
}

}  // namespace

void ClearReadOnly(const std::string& path) {
    std::error_code error;
    const bool own = fs::is_regular_file(fs::symlink_status(PathFromUtf8(path), error)) &&
                     HardLinkCount(path, error) == 1 && !error;
    if (own) {
        fs::permissions(PathFromUtf8(path), fs::perms::owner_write, fs::perm_options::add, error);
    }
}

namespace {

// Read-only means unchanged, and a file with other names is changed by no writer, in place or
// by a rewrite; nothing for the others, which the writers' own opening judges.
std::optional<WriteResult> AccessRefusal(const std::string& path) {
    switch (WriteAccessOf(path)) {
        case WriteAccess::ReadOnly:
            return WriteResult::ReadOnly;
        case WriteAccess::HardLinked:
            return WriteResult::HardLinked;
        case WriteAccess::Allowed:
        case WriteAccess::Missing:
        case WriteAccess::NotPlain:
            break;
    }
    return std::nullopt;
}

WriteResult WriteResultOf(PlanResult result) {
    switch (result) {
        case PlanResult::Ok:
            return WriteResult::Ok;
        case PlanResult::CannotRead:
            return WriteResult::CannotOpen;
        case PlanResult::Full:
            return WriteResult::Full;
        case PlanResult::NotALibrary:
        case PlanResult::NoSuchRow:
            break;
    }
    return WriteResult::NotALibrary;
}

// Makes the plan's splices in the file, in the order that keeps it readable throughout; what a
// failure leaves half made is put back from the plan.
bool MakeInPlace(ByteFile& file, std::uint64_t size, const Splices& splices) {
    if (ApplyInPlace(file, size, splices)) {
        return true;
    }
    TakeBackInPlace(file, size, splices);
    return false;
}

}  // namespace

WriteResult AppendToSingleGroupLibrary(const std::string& path, const tIMAGE& record,
                                       const tPAL& palette, const tPIX& pixels) {
    if (const auto refused = AccessRefusal(path)) {
        return *refused;
    }
    ByteFile file;
    if (!file.Open(path, ByteFile::Mode::ReadWrite)) {
        return WriteResult::CannotOpen;
    }
    const auto size = file.CheckedSize();
    if (!size) {
        return WriteResult::CannotOpen;
    }
    const ChangePlan plan = PlanSingleGroupAppend(file, {RecordsStart::AfterGroupTable, false},
                                                  record, palette, pixels);
    if (plan.result != PlanResult::Ok) {
        return WriteResultOf(plan.result);
    }
    const bool made = MakeInPlace(file, *size, plan.splices);
    return file.Close() && made ? WriteResult::Ok : WriteResult::WriteFailed;
}

namespace {

// Copies `count` bytes from `from` at `offset` to the end of `to`, in pieces.
bool CopyBytes(ByteFile& from, std::uint64_t offset, std::uint64_t count, ByteFile& to,
               std::uint64_t& toSize) {
    Bytes buffer(static_cast<std::size_t>(std::min<std::uint64_t>(count, 1u << 20)));
    while (count > 0) {
        const auto piece = static_cast<std::size_t>(std::min<std::uint64_t>(count, buffer.size()));
        if (!from.ReadExactAt(offset, buffer.data(), piece) ||
            !to.WriteAt(toSize, buffer.data(), piece)) {
            return false;
        }
        offset += piece;
        toSize += piece;
        count -= piece;
    }
    return true;
}

// Writes the rebuilt SHIP library into `out`: the new header, the old groups and the new one,
// the old records and the new one. False when the copy holds less than its header promises.
WriteResult WriteRebuiltShipLibrary(ByteFile& copy, ByteFile& out, std::uint16_t groupId,
                                    const tPAL& palette, const tPIX& pixels) {
    std::uint8_t headerBytes[tHEADER::kSize];
    if (!copy.ReadExactAt(0, headerBytes, sizeof headerBytes)) {
        return WriteResult::NotALibrary;
    }
    const tHEADER old = tHEADER::Decode(headerBytes);
    const auto colourCount = static_cast<std::uint32_t>(palette.size());
    const tIMAGE record = tIMAGE::Make(kRunLengthFormat, 180, 180, groupId, 1, colourCount,
                                       static_cast<std::uint32_t>(pixels.size()));
    const Bytes added = RecordBytesOf(record, palette, pixels);
    if (old.GroupCount == std::numeric_limits<std::uint16_t>::max() ||
        old.ImageCount == std::numeric_limits<std::uint16_t>::max() ||
        !AddFits(old.ImageDataSize, added.size()) || !AddFits(old.ColourCount, colourCount) ||
        !AddFits(old.GroupDataSize, tGROUP::kSize)) {
        return WriteResult::Full;
    }
    tHEADER header = old;
    header.GroupCount = static_cast<std::uint16_t>(old.GroupCount + 1);
    header.ImageCount = static_cast<std::uint16_t>(old.ImageCount + 1);
    header.ImageDataSize = old.ImageDataSize + static_cast<std::uint32_t>(added.size());
    header.ColourCount = old.ColourCount + colourCount;
    header.GroupDataSize = old.GroupDataSize + static_cast<std::uint32_t>(tGROUP::kSize);

    const std::uint64_t copySize = copy.Size();
    std::uint64_t outSize = 0;
    const auto headerOut = header.Encode();
    if (!out.WriteAt(0, headerOut.data(), headerOut.size())) {
        return WriteResult::WriteFailed;
    }
    outSize = headerOut.size();

    std::uint64_t at = tHEADER::kSize;
    std::uint32_t dataOffset = 0;
    for (std::uint32_t k = 0; k < old.GroupCount; ++k, at += tGROUP::kSize) {
        std::uint8_t groupBytes[tGROUP::kSize];
        if (!copy.ReadExactAt(at, groupBytes, sizeof groupBytes)) {
            return WriteResult::NotALibrary;
        }
        dataOffset += tGROUP::Decode(groupBytes).ImageDataSize;
        if (!out.WriteAt(outSize, groupBytes, sizeof groupBytes)) {
            return WriteResult::WriteFailed;
        }
        outSize += tGROUP::kSize;
    }
    tGROUP group{};
    group.GroupId = groupId;
    group.ImageCount = 1;
    group.ImageDataSize = static_cast<std::uint32_t>(added.size());
    group.ColourCount = colourCount;
    group.DataOffset = dataOffset;
    const auto groupOut = group.Encode();
    if (!out.WriteAt(outSize, groupOut.data(), groupOut.size())) {
        return WriteResult::WriteFailed;
    }
    outSize += groupOut.size();

    for (std::uint32_t k = 0; k < old.ImageCount; ++k) {
        std::uint8_t recordBytes[tIMAGE::kSize];
        if (at + tIMAGE::kSize > copySize ||
            !copy.ReadExactAt(at, recordBytes, sizeof recordBytes)) {
            return WriteResult::NotALibrary;
        }
        const tIMAGE image = tIMAGE::Decode(recordBytes);
        const std::uint64_t rest = image.DataSize;
        if (rest < tIMAGE::kBlockHeaderBytes ||
            at + tIMAGE::kSize + rest - tIMAGE::kBlockHeaderBytes > copySize) {
            return WriteResult::NotALibrary;
        }
        if (!out.WriteAt(outSize, recordBytes, sizeof recordBytes)) {
            return WriteResult::WriteFailed;
        }
        outSize += tIMAGE::kSize;
        if (!CopyBytes(copy, at + tIMAGE::kSize, rest - tIMAGE::kBlockHeaderBytes, out, outSize)) {
            return WriteResult::WriteFailed;
        }
        at += tIMAGE::kSize + rest - tIMAGE::kBlockHeaderBytes;
    }
    return out.WriteAt(outSize, added.data(), added.size()) ? WriteResult::Ok
                                                            : WriteResult::WriteFailed;
}

constexpr std::string_view kNewFileSuffix = ".vexlor-new";

WriteResult RefusalOf(const ReplacementFile& replacement) {
    switch (replacement.SystemError()) {
        case EMLINK:
            return WriteResult::HardLinked;
        case EACCES:
            return WriteResult::ReadOnly;
        default:
            return WriteResult::CannotOpen;
    }
}

// What tells that a file was changed by someone else: its size and modification time.
struct FileStamp {
    std::uintmax_t size = 0;
    fs::file_time_type modified{};
    bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> StampOf(const std::string& path) {
    std::error_code error;
    FileStamp stamp;
    stamp.size = fs::file_size(PathFromUtf8(path), error);
    if (!error) {
        stamp.modified = fs::last_write_time(PathFromUtf8(path), error);
    }
    return error ? std::nullopt : std::optional<FileStamp>(stamp);
}

// The copy is put in place whole, like every file this system writes: a stop half-way must not
// leave a copy that passes for the library as it was.
WriteResult CopyWhole(const std::string& from, const std::string& to) {
    ByteFile source;
    if (!source.Open(from, ByteFile::Mode::Read)) {
        return WriteResult::CannotOpen;
    }
    ReplacementFile copy(to, kNewFileSuffix, ReplacementFile::Links::Replace);
    if (!copy.IsOpen()) {
        // A read-only copy is no word about the library.
        return copy.SystemError() == EMLINK ? WriteResult::HardLinked : WriteResult::CannotOpen;
    }
    std::string buffer(std::size_t{1} << 20, '\0');
    std::uint64_t at = 0;
    std::size_t got = 0;
    while ((got = source.ReadAt(at, buffer.data(), buffer.size())) > 0) {
        if (!copy.Write(std::string_view(buffer.data(), got))) {
            return WriteResult::CannotOpen;
        }
        at += got;
    }
    return at == source.Size() && copy.Commit() ? WriteResult::Ok : WriteResult::CannotOpen;
}

}  // namespace

WriteResult AppendToShipLibrary(const std::string& path, const std::string& copyPath,
                                std::uint16_t groupId, const tPAL& palette, const tPIX& pixels) {
    if (const auto refused = AccessRefusal(path)) {
        return *refused;
    }
    ClearReadOnly(copyPath);
    const std::optional<FileStamp> before = StampOf(path);
    const WriteResult copied = CopyWhole(path, copyPath);
    if (!before || copied != WriteResult::Ok) {
        return before ? copied : WriteResult::CannotOpen;
    }

    ByteFile copy;
    if (!copy.Open(copyPath, ByteFile::Mode::Read)) {
        return WriteResult::CannotOpen;
    }
    ReplacementFile rebuilt(path, kNewFileSuffix);
    if (!rebuilt.IsOpen()) {
        return RefusalOf(rebuilt);
    }
    ByteFile out;
    if (!out.Open(rebuilt.NewFilePath(), ByteFile::Mode::Create)) {
        return WriteResult::CannotOpen;
    }
    WriteResult result = WriteRebuiltShipLibrary(copy, out, groupId, palette, pixels);
    if (!out.Close() && result == WriteResult::Ok) {
        result = WriteResult::WriteFailed;
    }
    if (result == WriteResult::Ok && StampOf(path) != before) {
        result = WriteResult::Changed;
    }
    if (result == WriteResult::Ok && !rebuilt.Commit()) {
        result = WriteResult::WriteFailed;
    }
    return result;
}

namespace {

RenumberResult Renumber(const std::string& path, const LibraryLayout& layout, int position,
                        int oldId, int newId) {
    if (const auto refused = AccessRefusal(path)) {
        return *refused == WriteResult::ReadOnly ? RenumberResult::ReadOnly
                                                 : RenumberResult::HardLinked;
    }
    ByteFile file;
    if (!file.Open(path, ByteFile::Mode::ReadWrite)) {
        return RenumberResult::CannotOpen;
    }
    const auto size = file.CheckedSize();
    if (!size) {
        return RenumberResult::CannotOpen;
    }
    const ChangePlan plan = PlanRenumber(file, layout, position, oldId, newId);
    if (plan.result != PlanResult::Ok) {
        std::uint8_t bytes[tHEADER::kSize] = {};
        const bool counted = file.ReadExactAt(0, bytes, sizeof bytes) && position >= 1 &&
                             position <= tHEADER::Decode(bytes).ImageCount;
        return plan.result == PlanResult::NoSuchRow && counted ? RenumberResult::Mismatch
                                                               : RenumberResult::NoRecord;
    }
    const bool made = MakeInPlace(file, *size, plan.splices);
    return file.Close() && made ? RenumberResult::Written : RenumberResult::WriteFailed;
}

}  // namespace

RenumberResult WritePictureIdAt(const std::string& path, int position, int oldId, int newId,
                                RecordsStart start) {
    return Renumber(path, {start, false}, position, oldId, newId);
}

RenumberResult WriteShipGroupIdAt(const std::string& path, int position, int oldId, int newId) {
    return Renumber(path, {RecordsStart::AfterGroupTable, true}, position, oldId, newId);
}

}  // namespace vexlor
