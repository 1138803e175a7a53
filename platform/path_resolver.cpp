#include "platform/path_resolver.h"

#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "library/utf8_path.h"
#include "platform/ascii_text.h"

namespace vexlor {

namespace {

namespace fs = std::filesystem;
using platform_detail::AsciiEqualNoCase;
using platform_detail::IsSeparator;

#if defined(_WIN32)
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

std::vector<std::string> SplitComponents(const std::string& relative) {
    std::vector<std::string> parts;
    std::string current;
    for (const char c : relative) {
        if (IsSeparator(c)) {
            if (!current.empty()) {
                parts.push_back(current);
                current.clear();
            }
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) {
        parts.push_back(current);
    }
    return parts;
}

// The spelling under which `name` exists in `folder`, or an empty text when nothing matches.
// An exact match wins; among matches that differ only in case, a folder wins where one is
// needed to go on, then the smallest name in byte order, so the choice does not depend on the
// order in which the file system lists the folder.
std::string FindEntry(const std::string& folder, const std::string& name, bool needFolder) {
    std::error_code ec;
    const fs::path folderPath = PathFromUtf8(folder.empty() ? std::string(".") : folder);
    if (fs::exists(folderPath / PathFromUtf8(name), ec) && !ec) {
        return name;
    }
    ec.clear();
    fs::directory_iterator it(folderPath, ec);
    if (ec) {
        return {};
    }
    std::string best;
    bool bestIsFolder = false;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) {
            break;
        }
        const std::string entry = Utf8Of(it->path().filename());
        if (!AsciiEqualNoCase(entry, name)) {
            continue;
        }
        std::error_code typeError;
        const bool isFolder = needFolder && it->is_directory(typeError) && !typeError;
        const bool better = best.empty() || (isFolder && !bestIsFolder) ||
                            (isFolder == bestIsFolder && entry < best);
        if (better) {
            best = entry;
            bestIsFolder = isFolder;
        }
    }
    return best;
}

std::string Resolve(const std::string& base, const std::string& relative) {
    const std::vector<std::string> parts = SplitComponents(relative);
    std::string result = base;
    if (!result.empty() && !parts.empty() && !IsSeparator(result.back())) {
        result.push_back(kSeparator);
    }
    bool searching = true;  // false once a component is missing: the rest cannot exist
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::string spelled = parts[i];
        if (searching) {
            const std::string found = FindEntry(result, parts[i], i + 1 < parts.size());
            if (found.empty()) {
                searching = false;
            } else {
                spelled = found;
            }
        }
        result += spelled;
        if (i + 1 < parts.size()) {
            result.push_back(kSeparator);
        }
    }
    if (!parts.empty() && IsSeparator(relative.back())) {
        result.push_back(kSeparator);
    }
    return result;
}

}  // namespace

std::string ResolvePath(const std::string& base, const std::string& relative) {
    try {
        return Resolve(base, relative);
    } catch (...) {
        // Only a failed allocation or a name the platform cannot convert gets here.
        try {
            return base + relative;
        } catch (...) {
            return {};
        }
    }
}

}  // namespace vexlor
