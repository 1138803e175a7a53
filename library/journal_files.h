#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexlor {

// The change journal's own files, read and written so that nothing planted in its folder (a
// link, a pipe) steers or holds them. Standard C++ and the system's calls only; nothing throws.

// What the journal's new files are named with, beside the file they replace.
inline constexpr const char* kJournalNewSuffix = ".vexlor-new";

// Reads a whole small journal file, at most `limit` bytes; nothing when it cannot be read or is
// no plain file itself: a link planted in the journal's folder never steers what it reads.
std::optional<std::string> ReadJournalFile(const std::string& path, std::uint64_t limit);

// Gives a journal file its new content through a new file renamed over it, so that it is whole,
// old or new, at every instant; a link at `path` is replaced, never followed. Only for the
// holder of the journal's lock. `durable`: on the disk before it returns.
bool WriteJournalFile(const std::string& path, std::string_view bytes, bool durable,
                      const std::string& folder);

// Renames within the journal's folder and puts the rename on the disk.
bool RenameDurably(const std::string& from, const std::string& to, const std::string& folder);

// A folder that only the user may write: where the journal's files can be trusted. `mayBeLink`:
// a link to such a folder will do, when the link itself is the user's or the system's.
bool IsOwnFolder(const std::string& path, bool mayBeLink);

}  // namespace vexlor
