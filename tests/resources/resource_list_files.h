#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "resources/resource_list.h"
#include "tests/support/test_files.h"

// The resource list as its tests see it: the text of its file, and the lines it holds.
namespace vexlor::test {

using Lines = std::vector<std::string>;

inline void WriteText(const std::filesystem::path& file, const std::string& text) {
    WriteFileBytes(file, Bytes(text.begin(), text.end()));
}

inline std::string ReadText(const std::filesystem::path& file) {
    const Bytes bytes = ReadFileBytes(file);
    return std::string(bytes.begin(), bytes.end());
}

// Unsaved edits included.
inline Lines LinesOf(const ResourceList& list) {
    Lines lines;
    for (int i = 0; i < list.LineCount(); ++i) {
        lines.push_back(list.Line(i));
    }
    return lines;
}

}  // namespace vexlor::test
