#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vexlor::demo {

// Files of the demo are made under a name of their own beside their place and only then moved
// into it, so a write that fails part-way leaves the old file whole.
std::filesystem::path StagingPathOf(const std::filesystem::path& path);

// Moves the made file into its place, replacing what was there. On failure `problem` says why
// and the made file is removed.
bool PutInPlace(const std::filesystem::path& staging, const std::filesystem::path& path,
                std::string& problem);

// Writes `bytes` to the staging file of `path`, then puts it in place.
bool WriteFileReplacing(const std::filesystem::path& path, std::string_view bytes,
                        std::string& problem);

// "cannot write PATH: REASON", the wording of every failure to make a demo file.
std::string CannotWrite(const std::filesystem::path& path, const std::string& reason);

}  // namespace vexlor::demo
