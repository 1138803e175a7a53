#include "demo/demo_executable.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

#include "library/utf8_path.h"

namespace vexlor::demo {

namespace {

namespace layout = executable_layout;

template <std::size_t N>
void PutBytes(std::vector<std::uint8_t>& file, std::uint64_t offset,
              const std::array<std::uint8_t, N>& bytes) {
    std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(offset));
}

void PutText(std::vector<std::uint8_t>& file, std::uint64_t offset, const char* text,
             std::size_t length) {
    std::memcpy(file.data() + offset, text, length);
}

}  // namespace

std::vector<std::uint8_t> DemoExecutableBytes(const tCRAFTTABLES& tables) {
    std::vector<std::uint8_t> file(kExecutableSize, 0);
    PutText(file, 0, kExecutableHeading, sizeof kExecutableHeading - 1);
    PutText(file, layout::kVersionOffset, layout::kVersionText, layout::kVersionBytes);
    file[layout::kEnabledBattleOffset] = tables.EnabledBattle;
    file[layout::kEnabledMissionOffset] = tables.EnabledMission;
    file[layout::kEnabledMissionLowerOffset] = tables.EnabledMissionLower;
    PutBytes(file, layout::kHullTableOffset, tables.HullPictureId.Encode());
    PutBytes(file, layout::kMapTableOffset, tables.MapPictureId.Encode());
    PutBytes(file, layout::kShipSlotTableOffset, tables.ShipSlotCraft.Encode());
    return file;
}

bool IsDemoExecutable(const std::string& path) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFileUtf8(path, "rb"),
                                                               std::fclose);
    if (!file) {
        return false;
    }
    constexpr std::size_t kLength = sizeof kExecutableHeading - 1;
    char start[kLength];
    return std::fread(start, 1, kLength, file.get()) == kLength &&
           std::memcmp(start, kExecutableHeading, kLength) == 0;
}

}  // namespace vexlor::demo
