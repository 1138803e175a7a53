#include "craft/craft_names.h"

#include <algorithm>
#include <new>

#include "craft/craft_tables.h"
#include "craft/craft_text_reader.h"
#include "library/byte_file.h"

namespace vexlor {

namespace {

constexpr std::uint64_t kMaxTextBytes = 16 * 1024 * 1024;

// The file's first bytes, up to the cap; empty when it cannot be read.
std::string ReadCappedText(const std::string& path) {
    ByteFile file;
    if (!file.Open(path, ByteFile::Mode::Read)) {
        return {};
    }
    try {
        std::string text(static_cast<std::size_t>(std::min(file.Size(), kMaxTextBytes)), '\0');
        text.resize(file.ReadAt(0, text.data(), text.size()));
        return text;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

// The marker line, or the last line when no line holds the marker (empty for an empty text).
std::string FindMarkerLine(CraftTextReader& reader) {
    std::string line;
    do {
        line = reader.ReadLine();
    } while (line.find(kCraftNamesMarker) == std::string::npos && !reader.AtEnd());
    return line;
}

std::string NameFromLine(const std::string& line, int craft) {
    const std::size_t colon = line.find(':');
    std::string name = colon == std::string::npos ? line : line.substr(colon + 1);
    return name.empty() ? "*craft_" + std::to_string(craft) : name;
}

}  // namespace

std::vector<std::string> LoadCraftNames(const std::string& path) {
    const std::string text = ReadCappedText(path);
    CraftTextReader reader(text);
    std::vector<std::string> names;
    names.reserve(kCraftCount);
    std::string line = FindMarkerLine(reader);
    for (int craft = 1; craft <= kCraftCount; ++craft) {
        names.push_back(NameFromLine(line, craft));
        line = reader.ReadLine();
    }
    return names;
}

}  // namespace vexlor
