#pragma once

#include <cstdint>
#include <memory>
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

// The digests of a file and of what splices make of it, learnt from a rewrite's pass (see
// RewriteWatcher) instead of a pass of their own. `before` false leaves the file's own digest to
// whoever knows it already.
class WatchedDigests {
  public:
    explicit WatchedDigests(bool before);
    ~WatchedDigests();
    WatchedDigests(const WatchedDigests&) = delete;
    WatchedDigests& operator=(const WatchedDigests&) = delete;

    bool IsReady() const;
    RewriteWatcher Watcher();
    // Empty for the digest it was not asked to learn.
    std::string Before() const;
    std::string After() const;

  private:
    struct States;
    std::unique_ptr<States> states_;
};

// The digest of the file as it is; nothing when it cannot be read whole.
std::optional<std::string> DigestOf(const std::string& path);

}  // namespace vexlor
