#include "cli/resource_list_file.h"

#include <algorithm>

#include "library/byte_file.h"
#include "platform/path_resolver.h"

namespace vexlor::cli {

namespace {

// The game's list is a few kilobytes; this keeps a stray huge file from exhausting memory.
constexpr std::uint64_t kMaxListBytes = 16 * 1024 * 1024;

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') {
            ++start;
        }
    }
    return lines;
}

}  // namespace

std::optional<std::vector<std::string>> ReadResourceListLines(const std::string& gameFolder) {
    ByteFile file;
    if (!file.Open(ResolvePath(gameFolder, "resdata.txt"), ByteFile::Mode::Read)) {
        return std::vector<std::string>{};
    }
    const std::uint64_t size = file.Size();
    if (size > kMaxListBytes) {
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    if (!file.ReadExactAt(0, text.data(), text.size()) && !text.empty()) {
        return std::vector<std::string>{};
    }
    return SplitLines(text);
}

}  // namespace vexlor::cli
