#pragma once

#include <cstddef>
#include <string>

namespace vexlor {

// Private profile (INI) files, read and written like the Windows functions
// GetPrivateProfileString and WritePrivateProfileString. Standard C++ only; nothing throws.
//
// File: lines ending in CR LF or LF; "[name]" starts a section; "key=value" is an entry; lines
// starting with ';' are comments. Section and key names are compared without regard to ASCII
// letter case; the first matching section is the one used, and in it the first matching key.
// A file larger than kMaxProfileFileBytes or holding a NUL byte counts as unreadable.
// `path` is used as given (no lookup in the Windows folder); on platforms other than Windows a
// '\' in it is taken as a path separator, so ".\vexlor.ini" names "./vexlor.ini".

inline constexpr std::size_t kMaxProfileFileBytes = std::size_t{1} << 20;

// The value of `key` in `section`: the text after the first '=' with the blanks around it
// removed, and without one pair of enclosing quotes (double or single, as Windows does). A
// missing or unreadable file, section or key gives `defaultValue` (with its trailing blanks
// removed, as Windows does). At most bufferSize - 1 characters are returned (none for 0).
std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& defaultValue,
                              std::size_t bufferSize);

// Sets `key` in `section` to `value`, creating the file, the section (at the end of the file)
// or the key (after the section's last non-blank line) as needed. Every other line keeps its
// text; all lines are written ending in CR LF. The file is replaced through a new file written
// beside it and renamed over it; through symbolic links the file they lead to is replaced, with
// its permissions, and the links stay. False, with the file unchanged, when the file exists but
// is unreadable, too large, not text, not a plain file or read-only, when it cannot be
// written, or when a name or the value cannot be stored (a line break or NUL in any of them, a
// ']' in the section, a '=' in the key, an empty key). The value is written as given.
// A file with other hard links is refused as well; `systemError`, when given, then receives
// EMLINK (and the system's error number for other failures of the replacement).
bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value, int* systemError = nullptr);

}  // namespace vexlor
