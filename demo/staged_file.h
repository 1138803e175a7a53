#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vexlor::demo {

// Files of the demo are made under a name of their own and only then put into their place
// through a new file beside it, so a write that fails part-way leaves the old file whole. A
// place that is a symbolic link gets its new content where the link leads; the link stays.
std::filesystem::path StagingPathOf(const std::filesystem::path& path);

// Puts the made file's content into its place, replacing what was there, and removes the made
// file. On failure `problem` says why.
bool PutInPlace(const std::filesystem::path& staging, const std::filesystem::path& path,
                std::string& problem);

// Gives the file at `path` the content `bytes` through a new file beside it.
bool WriteFileReplacing(const std::filesystem::path& path, std::string_view bytes,
                        std::string& problem);

// "cannot write PATH: REASON", the wording of every failure to make a demo file.
std::string CannotWrite(const std::filesystem::path& path, const std::string& reason);

}  // namespace vexlor::demo
