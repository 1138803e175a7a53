#include "tools/help_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace vexlor {

std::optional<HelpFileText> ReadHelpFile(const std::string& path, std::size_t limit) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    // One byte past the limit tells a file of exactly `limit` bytes from a longer one.
    std::string bytes(limit + 1, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (file.bad()) {
        return std::nullopt;
    }
    const auto count = static_cast<std::size_t>(file.gcount());
    const bool cut = count > limit;
    bytes.resize(cut ? limit : count);
    return HelpFileText{std::move(bytes), cut};
}

}  // namespace vexlor
