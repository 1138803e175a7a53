#include "platform/ini_file.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "library/plain_file.h"
#include "library/replacement_file.h"
#include "library/utf8_path.h"
#include "platform/ascii_text.h"

namespace vexlor {

namespace {

namespace fs = std::filesystem;
using platform_detail::AsciiEqualNoCase;
using platform_detail::TrimBlanks;

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

fs::path ProfilePath(const std::string& path) {
#if defined(_WIN32)
    return PathFromUtf8(path);
#else
    std::string converted = path;
    for (char& c : converted) {
        if (c == '\\') {
            c = '/';
        }
    }
    return fs::path(converted);
#endif
}

enum class LoadStatus { Ok, Missing, Unreadable };

struct ProfileText {
    std::string bom;                 // a UTF-8 byte order mark found at the start, kept on writing
    std::vector<std::string> lines;  // without their line ends
};

// Reads the whole file, at most kMaxProfileFileBytes, and splits it into lines.
LoadStatus LoadProfile(const fs::path& path, ProfileText& text) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) {
        return LoadStatus::Missing;
    }
    // Only regular files: a folder, a device or a pipe is not a profile (and a pipe would block).
    if (ec || status.type() != fs::file_type::regular) {
        return LoadStatus::Unreadable;
    }
    std::FILE* file = OpenPlainFile(path.string(), false);
    if (file == nullptr) {
        return LoadStatus::Unreadable;
    }
    std::string bytes;
    char buffer[16384];
    bool failed = false;
    for (;;) {
        const std::size_t count = std::fread(buffer, 1, sizeof buffer, file);
        bytes.append(buffer, count);
        if (bytes.size() > kMaxProfileFileBytes) {
            failed = true;
            break;
        }
        if (count < sizeof buffer) {
            failed = std::ferror(file) != 0;
            break;
        }
    }
    std::fclose(file);
    if (failed || bytes.find('\0') != std::string::npos) {
        return LoadStatus::Unreadable;
    }

    std::string_view rest(bytes);
    if (rest.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        text.bom = std::string(kUtf8Bom);
        rest.remove_prefix(kUtf8Bom.size());
    }
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        text.lines.emplace_back(line);
    }
    return LoadStatus::Ok;
}

struct LineInfo {
    enum class Kind { Other, Section, Entry } kind = Kind::Other;
    std::string_view name;   // section or key name, blanks removed
    std::string_view value;  // entry value, blanks removed
};

LineInfo Classify(std::string_view line) {
    LineInfo info;
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed.front() == ';') {
        return info;
    }
    if (trimmed.front() == '[') {
        const std::size_t close = trimmed.rfind(']');
        if (close != std::string_view::npos) {
            info.kind = LineInfo::Kind::Section;
            info.name = TrimBlanks(trimmed.substr(1, close - 1));
            return info;
        }
    }
    const std::size_t equals = trimmed.find('=');
    if (equals != std::string_view::npos) {
        info.kind = LineInfo::Kind::Entry;
        info.name = TrimBlanks(trimmed.substr(0, equals));
        info.value = TrimBlanks(trimmed.substr(equals + 1));
    }
    return info;
}

// Index of the first header of `section`, or lines.size().
std::size_t FindSection(const std::vector<std::string>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LineInfo info = Classify(lines[i]);
        if (info.kind == LineInfo::Kind::Section && AsciiEqualNoCase(info.name, section)) {
            return i;
        }
    }
    return lines.size();
}

// Index of the first line after `header` that starts another section, or lines.size().
std::size_t SectionEnd(const std::vector<std::string>& lines, std::size_t header) {
    for (std::size_t i = header + 1; i < lines.size(); ++i) {
        if (Classify(lines[i]).kind == LineInfo::Kind::Section) {
            return i;
        }
    }
    return lines.size();
}

// Index of the first entry `key` in lines [begin, end), or end.
std::size_t FindKey(const std::vector<std::string>& lines, std::size_t begin, std::size_t end,
                    std::string_view key) {
    for (std::size_t i = begin; i < end; ++i) {
        const LineInfo info = Classify(lines[i]);
        if (info.kind == LineInfo::Kind::Entry && AsciiEqualNoCase(info.name, key)) {
            return i;
        }
    }
    return end;
}

std::string Truncated(std::string_view text, std::size_t bufferSize) {
    if (bufferSize == 0) {
        return {};
    }
    return std::string(text.substr(0, bufferSize - 1));
}

std::string DefaultResult(const std::string& defaultValue, std::size_t bufferSize) {
    std::string_view text(defaultValue);
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return Truncated(text, bufferSize);
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// The new text of an existing entry line: everything up to the '=' and the blanks after it as
// they were (the blanks only for a non-empty value), then the value.
std::string ReplacedEntry(const std::string& line, const std::string& value) {
    const std::size_t equals = line.find('=');
    std::size_t valueStart = equals + 1;
    while (!value.empty() && valueStart < line.size() &&
           platform_detail::IsBlank(line[valueStart])) {
        ++valueStart;
    }
    return line.substr(0, valueStart) + value;
}

}  // namespace

std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& defaultValue,
                              std::size_t bufferSize) {
    try {
        ProfileText text;
        if (LoadProfile(ProfilePath(path), text) != LoadStatus::Ok) {
            return DefaultResult(defaultValue, bufferSize);
        }
        const std::size_t header = FindSection(text.lines, TrimBlanks(section));
        if (header == text.lines.size()) {
            return DefaultResult(defaultValue, bufferSize);
        }
        const std::size_t end = SectionEnd(text.lines, header);
        const std::size_t entry = FindKey(text.lines, header + 1, end, TrimBlanks(key));
        if (entry == end) {
            return DefaultResult(defaultValue, bufferSize);
        }
        std::string_view value = Classify(text.lines[entry]).value;
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        return Truncated(value, bufferSize);
    } catch (...) {
        try {
            return DefaultResult(defaultValue, bufferSize);
        } catch (...) {
            return {};
        }
    }
}

bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value, int* systemError) {
    try {
        const std::string trimmedSection(TrimBlanks(section));
        const std::string trimmedKey(TrimBlanks(key));
        if (HasLineBreakOrNul(section) || trimmedSection.find(']') != std::string::npos ||
            HasLineBreakOrNul(key) || trimmedKey.empty() ||
            trimmedKey.find('=') != std::string::npos || trimmedKey.front() == '[' ||
            trimmedKey.front() == ';' || HasLineBreakOrNul(value)) {
            return false;
        }

        // Read and replaced where the links lead, so that the links stay.
        const std::optional<std::string> target = FinalLinkTarget(ProfilePath(path).string());
        if (!target) {
            return false;
        }
        ProfileText text;
        const LoadStatus status = LoadProfile(*target, text);
        if (status == LoadStatus::Unreadable) {
            return false;
        }

        std::vector<std::string>& lines = text.lines;
        const std::size_t header = FindSection(lines, trimmedSection);
        if (header == lines.size()) {
            if (!lines.empty() && !TrimBlanks(lines.back()).empty()) {
                lines.emplace_back();
            }
            lines.push_back("[" + trimmedSection + "]");
            lines.push_back(trimmedKey + "=" + value);
        } else {
            const std::size_t end = SectionEnd(lines, header);
            const std::size_t entry = FindKey(lines, header + 1, end, trimmedKey);
            if (entry != end) {
                lines[entry] = ReplacedEntry(lines[entry], value);
            } else {
                std::size_t insertAt = header + 1;
                for (std::size_t i = header + 1; i < end; ++i) {
                    if (!TrimBlanks(lines[i]).empty()) {
                        insertAt = i + 1;
                    }
                }
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                             trimmedKey + "=" + value);
            }
        }

        std::string bytes = text.bom;
        for (const std::string& line : lines) {
            bytes += line;
            bytes += "\r\n";
        }
        return ReplaceFileWith(*target, bytes, ".vexlor-new", systemError);
    } catch (...) {
        return false;
    }
}

}  // namespace vexlor
