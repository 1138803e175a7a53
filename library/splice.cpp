#include "library/splice.h"

#include <algorithm>
#include <string_view>

#include "library/byte_file.h"
#include "library/replacement_file.h"

namespace vexlor {

namespace {

constexpr std::size_t kPiece = std::size_t{4} << 20;

bool ReachesEnd(const Splice& splice, std::uint64_t size) {
    return splice.offset + splice.removed.size() == size;
}

bool HoldsAt(ByteFile& file, std::uint64_t offset, const std::string& bytes) {
    std::string present(bytes.size(), '\0');
    return file.ReadExactAt(offset, present.data(), present.size()) && present == bytes;
}

}  // namespace

bool IsWellFormed(const Splices& splices, std::uint64_t size) {
    std::uint64_t next = 0;
    for (const Splice& splice : splices) {
        if (splice.offset < next || splice.removed.size() > size ||
            splice.offset > size - splice.removed.size()) {
            return false;
        }
        next = splice.offset + splice.removed.size();
    }
    return true;
}

std::uint64_t SizeAfter(std::uint64_t sizeBefore, const Splices& splices) {
    std::uint64_t size = sizeBefore;
    for (const Splice& splice : splices) {
        size = size - splice.removed.size() + splice.inserted.size();
    }
    return size;
}

Splices InverseOf(const Splices& splices) {
    Splices inverse;
    inverse.reserve(splices.size());
    std::int64_t shift = 0;
    for (const Splice& splice : splices) {
        inverse.push_back(
            {static_cast<std::uint64_t>(static_cast<std::int64_t>(splice.offset) + shift),
             splice.inserted, splice.removed});
        shift += static_cast<std::int64_t>(splice.inserted.size()) -
                 static_cast<std::int64_t>(splice.removed.size());
    }
    return inverse;
}

std::uint64_t TouchedBytes(const Splices& splices) {
    std::uint64_t total = 0;
    for (const Splice& splice : splices) {
        total += splice.removed.size() + splice.inserted.size();
    }
    return total;
}

bool HoldsRemovedBytes(ByteFile& file, const Splices& splices) {
    return std::all_of(splices.begin(), splices.end(), [&](const Splice& splice) {
        return HoldsAt(file, splice.offset, splice.removed);
    });
}

bool HoldsInsertedBytes(ByteFile& file, std::uint64_t sizeBefore, const Splices& splices) {
    const auto size = file.CheckedSize();
    if (!size || *size != SizeAfter(sizeBefore, splices)) {
        return false;
    }
    for (const Splice& splice : InverseOf(splices)) {
        if (!HoldsAt(file, splice.offset, splice.removed)) {
            return false;
        }
    }
    return true;
}

bool CanApplyInPlace(const Splices& splices, std::uint64_t sizeBefore) {
    if (!IsWellFormed(splices, sizeBefore)) {
        return false;
    }
    for (std::size_t k = 0; k < splices.size(); ++k) {
        const Splice& splice = splices[k];
        const bool last = k + 1 == splices.size();
        if (splice.removed.size() != splice.inserted.size() &&
            !(last && ReachesEnd(splice, sizeBefore))) {
            return false;
        }
    }
    return true;
}

bool ApplyInPlace(ByteFile& file, std::uint64_t sizeBefore, const Splices& splices) {
    if (!CanApplyInPlace(splices, sizeBefore)) {
        return false;
    }
    const bool changesEnd =
        !splices.empty() && splices.back().removed.size() != splices.back().inserted.size();
    const std::size_t overwrites = changesEnd ? splices.size() - 1 : splices.size();
    const auto writeOverwrites = [&] {
        for (std::size_t k = 0; k < overwrites; ++k) {
            const Splice& splice = splices[k];
            if (!file.WriteAt(splice.offset, splice.inserted.data(), splice.inserted.size())) {
                return false;
            }
        }
        return file.Sync();
    };
    if (!changesEnd) {
        return writeOverwrites();
    }
    const Splice& end = splices.back();
    const std::uint64_t newSize = end.offset + end.inserted.size();
    if (!end.inserted.empty()) {
        // The new end first, even when it is shorter than what it cuts: until the overwrites
        // count it, readers do not look at it.
        return file.WriteAt(end.offset, end.inserted.data(), end.inserted.size()) &&
               (newSize >= sizeBefore || file.Truncate(newSize)) && file.Sync() &&
               writeOverwrites();
    }
    // A pure cut: the overwrites first; once they stop counting the old end, it can go.
    return writeOverwrites() && file.Truncate(newSize) && file.Sync();
}

bool TakeBackInPlace(ByteFile& file, std::uint64_t sizeBefore, const Splices& splices) {
    bool ok = true;
    for (const Splice& splice : splices) {
        ok = file.WriteAt(splice.offset, splice.removed.data(), splice.removed.size()) && ok;
    }
    const auto size = file.CheckedSize();
    if (!size) {
        return false;
    }
    if (*size != sizeBefore) {
        ok = file.Truncate(sizeBefore) && ok;
    }
    return file.Sync() && ok;
}

bool ApplyByRewrite(const std::string& path, ByteFile& file, const Splices& splices,
                    const std::string& newFileSuffix) {
    return ApplyByRewriteWatched(path, file, splices, newFileSuffix, nullptr, nullptr);
}

bool ApplyByRewriteWatched(const std::string& path, ByteFile& file, const Splices& splices,
                           const std::string& newFileSuffix, const RewriteWatcher& watch,
                           const std::function<bool()>& mayCommit) {
    const auto size = file.CheckedSize();
    if (!size || !IsWellFormed(splices, *size)) {
        return false;
    }
    ReplacementFile replacement(path, newFileSuffix);
    if (!replacement.IsOpen()) {
        return false;
    }
    std::string buffer;
    // Bytes the new file keeps are written; bytes it drops are only read, for the watcher.
    const auto pass = [&](std::uint64_t from, std::uint64_t to, bool kept) {
        while (from < to) {
            const auto piece = static_cast<std::size_t>(std::min<std::uint64_t>(to - from, kPiece));
            buffer.resize(piece);
            if (!file.ReadExactAt(from, buffer.data(), piece) ||
                (kept && !replacement.Write(buffer))) {
                return false;
            }
            if (watch) {
                watch(buffer, true, kept);
            }
            from += piece;
        }
        return true;
    };
    std::uint64_t at = 0;
    for (const Splice& splice : splices) {
        const std::uint64_t end = splice.offset + splice.removed.size();
        if (!pass(at, splice.offset, true) || (watch && !pass(splice.offset, end, false)) ||
            !replacement.Write(splice.inserted)) {
            return false;
        }
        if (watch) {
            watch(splice.inserted, false, true);
        }
        at = end;
    }
    if (!pass(at, *size, true) || (mayCommit && !mayCommit())) {
        return false;
    }
    // Windows cannot put a new file in place of one that is open, so the reading ends first.
    return file.Close() && replacement.Commit();
}

}  // namespace vexlor
