#include "library/content_digest.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "library/byte_file.h"

// Header-only, so that every build (the Windows one too) compiles the same hash.
#define XXH_INLINE_ALL
#include <xxhash.h>

namespace vexlor {

namespace {

struct StateDeleter {
    void operator()(XXH3_state_t* state) const { XXH3_freeState(state); }
};
using HashState = std::unique_ptr<XXH3_state_t, StateDeleter>;

HashState NewState() {
    HashState state(XXH3_createState());
    if (state && XXH3_128bits_reset(state.get()) != XXH_OK) {
        state.reset();
    }
    return state;
}

std::string TextOf(XXH3_state_t* state) {
    const XXH128_hash_t hash = XXH3_128bits_digest(state);
    char text[33];
    std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(hash.high64),
                  static_cast<unsigned long long>(hash.low64));
    return text;
}

// Reads bytes [from, to) of the file into each given state; false when a read falls short.
class Feeder {
  public:
    explicit Feeder(ByteFile& file) : file_(file), buffer_(std::size_t{1} << 20) {}

    bool Feed(std::uint64_t from, std::uint64_t to, XXH3_state_t* first, XXH3_state_t* second) {
        while (from < to) {
            const auto count =
                static_cast<std::size_t>(std::min<std::uint64_t>(to - from, buffer_.size()));
            if (!file_.ReadExactAt(from, buffer_.data(), count)) {
                return false;
            }
            XXH3_128bits_update(first, buffer_.data(), count);
            if (second != nullptr) {
                XXH3_128bits_update(second, buffer_.data(), count);
            }
            from += count;
        }
        return true;
    }

  private:
    ByteFile& file_;
    std::vector<char> buffer_;
};

}  // namespace

std::optional<ContentDigests> DigestsOf(const std::string& path, const Splices& splices) {
    ByteFile file;
    if (!file.Open(path, ByteFile::Mode::Read)) {
        return std::nullopt;
    }
    const auto size = file.CheckedSize();
    HashState before = NewState();
    HashState after = NewState();
    if (!size || !before || !after || !IsWellFormed(splices, *size)) {
        return std::nullopt;
    }
    Feeder feeder(file);
    std::uint64_t position = 0;
    for (const Splice& splice : splices) {
        const std::uint64_t end = splice.offset + splice.removed.size();
        if (!feeder.Feed(position, splice.offset, before.get(), after.get()) ||
            !feeder.Feed(splice.offset, end, before.get(), nullptr)) {
            return std::nullopt;
        }
        XXH3_128bits_update(after.get(), splice.inserted.data(), splice.inserted.size());
        position = end;
    }
    if (!feeder.Feed(position, *size, before.get(), after.get())) {
        return std::nullopt;
    }
    return ContentDigests{*size, TextOf(before.get()), TextOf(after.get())};
}

struct WatchedDigests::States {
    HashState before;
    HashState after;
    bool ready = false;
};

WatchedDigests::WatchedDigests(bool before) : states_(std::make_unique<States>()) {
    if (before) {
        states_->before = NewState();
    }
    states_->after = NewState();
    states_->ready = (!before || states_->before) && states_->after;
}

WatchedDigests::~WatchedDigests() = default;

bool WatchedDigests::IsReady() const {
    return states_->ready;
}

RewriteWatcher WatchedDigests::Watcher() {
    return [states = states_.get()](std::string_view piece, bool before, bool after) {
        if (before && states->before) {
            XXH3_128bits_update(states->before.get(), piece.data(), piece.size());
        }
        if (after && states->after) {
            XXH3_128bits_update(states->after.get(), piece.data(), piece.size());
        }
    };
}

std::string WatchedDigests::Before() const {
    return states_->before ? TextOf(states_->before.get()) : std::string();
}

std::string WatchedDigests::After() const {
    return states_->after ? TextOf(states_->after.get()) : std::string();
}

std::optional<std::string> DigestOf(const std::string& path) {
    const auto digests = DigestsOf(path, {});
    return digests ? std::optional<std::string>(digests->before) : std::nullopt;
}

}  // namespace vexlor
