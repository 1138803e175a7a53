#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "library/splice.h"

namespace vexlor {

// What a file's bytes are, in 32 hexadecimal digits (a 128-bit XXH3): two files of equal
// digests hold the same bytes, whatever their times and names say.
struct ContentDigests {
    std::uint64_t size = 0;  // of the file as it is
    std::string before;      // of the file as it is
    std::string after;       // of the file the splices would make of it
};

// Both digests in one pass over the file, without changing it. Nothing when the file cannot be
// read whole or the splices do not fit it.
std::optional<ContentDigests> DigestsOf(const std::string& path, const Splices& splices);

// The digest of the file as it is; nothing when it cannot be read whole.
std::optional<std::string> DigestOf(const std::string& path);

}  // namespace vexlor
