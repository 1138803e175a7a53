#include "craft/craft_table_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "library/byte_file.h"
#include "library/replacement_file.h"

namespace vexlor {

namespace {

namespace layout = executable_layout;

// Bytes written at one offset of the executable.
struct ExecutablePatch {
    std::uint64_t offset = 0;
    std::vector<std::uint8_t> bytes;
};

bool VersionHolds(ByteFile& file) {
    char version[layout::kVersionBytes] = {};
    return file.ReadExactAt(layout::kVersionOffset, version, sizeof version) &&
           std::memcmp(version, layout::kVersionText, sizeof version) == 0;
}

// Reads `count` bytes at `offset`; what cannot be read stays 0 and clears `whole`.
std::vector<std::uint8_t> ReadZeroFilled(ByteFile& file, std::uint64_t offset, std::size_t count,
                                         bool& whole) {
    std::vector<std::uint8_t> bytes(count, 0);
    if (file.ReadAt(offset, bytes.data(), bytes.size()) != count) {
        whole = false;
    }
    return bytes;
}

template <std::size_t N>
void ReadTable(ByteFile& file, std::uint64_t offset, OneBasedTable<N>& table, bool& whole) {
    table.Decode(ReadZeroFilled(file, offset, OneBasedTable<N>::kBytes, whole).data());
}

template <std::size_t N>
ExecutablePatch TablePatch(std::uint64_t offset, const OneBasedTable<N>& table) {
    const auto bytes = table.Encode();
    return {offset, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
}

std::vector<ExecutablePatch> PatchesOf(const tCRAFTTABLES& tables) {
    return {
        {layout::kEnabledBattleOffset, {tables.EnabledBattle}},
        {layout::kEnabledMissionOffset, {tables.EnabledMission}},
        {layout::kEnabledMissionLowerOffset, {tables.EnabledMissionLower}},
        TablePatch(layout::kHullTableOffset, tables.HullPictureId),
        TablePatch(layout::kMapTableOffset, tables.MapPictureId),
    };
}

std::uint64_t EndOf(const std::vector<ExecutablePatch>& patches) {
    std::uint64_t end = 0;
    for (const ExecutablePatch& patch : patches) {
        end = std::max(end, patch.offset + patch.bytes.size());
    }
    return end;
}

// The bytes that the patches would replace, to tell whether a write would change anything.
bool ReadOriginals(ByteFile& file, const std::vector<ExecutablePatch>& patches,
                   std::vector<ExecutablePatch>& originals) {
    originals.clear();
    for (const ExecutablePatch& patch : patches) {
        ExecutablePatch original{patch.offset, std::vector<std::uint8_t>(patch.bytes.size())};
        if (!file.ReadExactAt(original.offset, original.bytes.data(), original.bytes.size())) {
            return false;
        }
        originals.push_back(std::move(original));
    }
    return true;
}

// The whole executable with the patches in place, or nothing when it cannot be read whole or
// is too short to hold them.
std::optional<std::string> PatchedContent(ByteFile& file,
                                          const std::vector<ExecutablePatch>& patches) {
    const std::uint64_t size = file.Size();
    if (size < EndOf(patches) || size > std::string().max_size()) {
        return std::nullopt;
    }
    std::string content(static_cast<std::size_t>(size), '\0');
    if (!file.ReadExactAt(0, content.data(), content.size())) {
        return std::nullopt;
    }
    for (const ExecutablePatch& patch : patches) {
        std::copy(patch.bytes.begin(), patch.bytes.end(),
                  content.begin() + static_cast<std::ptrdiff_t>(patch.offset));
    }
    return content;
}

bool Differs(const std::vector<ExecutablePatch>& patches,
             const std::vector<ExecutablePatch>& originals) {
    for (std::size_t i = 0; i < patches.size(); ++i) {
        if (patches[i].bytes != originals[i].bytes) {
            return true;
        }
    }
    return false;
}

}  // namespace

CraftTablesResult ReadCraftTables(const std::string& path, tCRAFTTABLES& tables) {
    tables = {};
    ByteFile file;
    if (!file.Open(path, ByteFile::Mode::Read) || !VersionHolds(file)) {
        return CraftTablesResult::WrongVersion;
    }
    bool& whole = tables.readWhole;
    tables.EnabledBattle = ReadZeroFilled(file, layout::kEnabledBattleOffset, 1, whole)[0];
    tables.EnabledMission = ReadZeroFilled(file, layout::kEnabledMissionOffset, 1, whole)[0];
    tables.EnabledMissionLower =
        ReadZeroFilled(file, layout::kEnabledMissionLowerOffset, 1, whole)[0];
    bool slotsWhole = true;  // never written back, so a short one endangers nothing
    ReadTable(file, layout::kShipSlotTableOffset, tables.ShipSlotCraft, slotsWhole);
    ReadTable(file, layout::kHullTableOffset, tables.HullPictureId, whole);
    ReadTable(file, layout::kMapTableOffset, tables.MapPictureId, whole);
    DeriveShipSlotOf(tables);
    return CraftTablesResult::Ok;
}

// The patched executable is written whole beside it and renamed over it: the tables change
// together or not at all, whatever instant the process stops.
CraftTablesResult WriteCraftTables(const std::string& path, const tCRAFTTABLES& tables) {
    if (!tables.readWhole) {
        return CraftTablesResult::Incomplete;
    }
    std::optional<std::string> content;
    {
        ByteFile file;
        if (!file.Open(path, ByteFile::Mode::Read)) {
            return CraftTablesResult::CannotWrite;
        }
        if (!VersionHolds(file)) {
            return CraftTablesResult::WrongVersion;
        }
        content = PatchedContent(file, PatchesOf(tables));
    }
    if (!content) {
        return CraftTablesResult::CannotWrite;
    }
    ReplacementFile replacement(path, ".vexlor-new");
    if (!replacement.IsOpen()) {
        return replacement.SystemError() == EMLINK ? CraftTablesResult::HardLinked
                                                   : CraftTablesResult::CannotWrite;
    }
    return replacement.Write(*content) && replacement.Commit() ? CraftTablesResult::Ok
                                                               : CraftTablesResult::WriteFailed;
}

CraftTablesResult CompareCraftTables(const std::string& path, const tCRAFTTABLES& tables,
                                     bool& differs) {
    differs = false;
    ByteFile file;
    if (!file.Open(path, ByteFile::Mode::Read)) {
        return CraftTablesResult::CannotWrite;
    }
    if (!VersionHolds(file)) {
        return CraftTablesResult::WrongVersion;
    }
    const std::vector<ExecutablePatch> patches = PatchesOf(tables);
    std::vector<ExecutablePatch> originals;
    if (file.Size() < EndOf(patches) || !ReadOriginals(file, patches, originals)) {
        return CraftTablesResult::CannotWrite;
    }
    differs = Differs(patches, originals);
    return CraftTablesResult::Ok;
}

}  // namespace vexlor
