#include "platform/typed_path.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "library/utf8_path.h"
#include "platform/ascii_text.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;
using platform_detail::AsciiEqualNoCase;

enum class Lookup { Found, Missing, Ambiguous };

struct EntryMatch {
    Lookup lookup = Lookup::Missing;
    std::string name;
};

bool IsFolder(const fs::directory_entry& entry) {
    std::error_code ec;
    return entry.is_directory(ec) && !ec;
}

bool Exists(const fs::path& path, bool needFolder) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    return !ec && fs::exists(status) && (!needFolder || fs::is_directory(status));
}

// The entry of `folder` that `name` means: itself when it exists as written, otherwise the one
// entry that differs from it only in case.
EntryMatch FindEntry(const fs::path& folder, const std::string& name, bool needFolder) {
    if (Exists(folder / PathFromUtf8(name), needFolder)) {
        return {Lookup::Found, name};
    }
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        return {};
    }
    EntryMatch match;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) {
            return {};
        }
        const std::string entry = Utf8Of(it->path().filename());
        if (!AsciiEqualNoCase(entry, name) || (needFolder && !IsFolder(*it))) {
            continue;
        }
        if (match.lookup == Lookup::Found) {
            return {Lookup::Ambiguous, {}};
        }
        match = {Lookup::Found, entry};
    }
    return match;
}

std::optional<std::string> Match(const std::string& typed, TypedPathUse use) {
    const fs::path path = PathFromUtf8(typed);
    if (!path.is_absolute()) {
        return std::nullopt;
    }
    std::vector<std::string> parts;
    for (const fs::path& part : path.relative_path()) {
        parts.push_back(Utf8Of(part));
    }
    fs::path matched = path.root_path();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        const EntryMatch entry = FindEntry(matched, parts[i], !last);
        if (entry.lookup == Lookup::Found) {
            matched /= PathFromUtf8(entry.name);
        } else if (last && entry.lookup == Lookup::Missing && use == TypedPathUse::Save) {
            matched /= PathFromUtf8(parts[i]);
        } else {
            return std::nullopt;
        }
    }
    std::string result = Utf8Of(matched);
    if (result == typed) {
        return std::nullopt;
    }
    return result;
}

}  // namespace

std::optional<std::string> MatchTypedPath(const std::string& typed, TypedPathUse use) {
    try {
        return Match(typed, use);
    } catch (...) {
        // Only a failed allocation or a name the platform cannot convert gets here.
        return std::nullopt;
    }
}

}  // namespace vexlor
