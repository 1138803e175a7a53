#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "craft/craft_tables.h"

namespace vexlor::demo {

// The first bytes of the executable stand-in: anyone who opens it, or tries to run it, learns
// what it is. A file that begins so is one the demo may replace.
inline constexpr char kExecutableHeading[] =
    "Vexlor demo data: this is not a program.\r\n"
    "It stands in for the game executable so that the editor's Preview can be tried without "
    "the game. Only the version text and the craft tables at their offsets mean anything.\r\n";

// Just long enough to hold the last table the Preview reads, the SHIP slot table.
inline constexpr std::uint64_t kExecutableSize =
    executable_layout::kShipSlotTableOffset + OneBasedTable<kShipSlotCount>::kBytes;

// The heading, "2.02" at the version offset, the three settings and the HULL, MAP and SHIP slot
// tables at theirs; every other byte 0.
std::vector<std::uint8_t> DemoExecutableBytes(const tCRAFTTABLES& tables);

// Whether the file at `path` begins with kExecutableHeading.
bool IsDemoExecutable(const std::string& path);

}  // namespace vexlor::demo
