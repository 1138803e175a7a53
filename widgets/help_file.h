#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace vexlor {

// The most of a help file that the help viewer takes in; the program's own is far smaller.
inline constexpr std::size_t kHelpFileLimit = 1024 * 1024;

struct HelpFileText {
    std::string bytes;
    // True when the file went on past the limit and only its start was read.
    bool cut = false;
};

// The start of a plain file, up to `limit` bytes. Nothing for a file that is missing, is no
// plain file (a folder, a device, a pipe that would never end) or cannot be read.
std::optional<HelpFileText> ReadHelpFile(const std::string& path,
                                         std::size_t limit = kHelpFileLimit);

}  // namespace vexlor
