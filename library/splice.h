#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vexlor {

class ByteFile;

// One change of a file's bytes: at `offset` of the file before the change, the bytes `removed`
// give way to the bytes `inserted`. A change that only overwrites has both of one length; an
// insertion removes nothing; a deletion inserts nothing. Every change Vexlor makes to a library
// is a list of these, which is also what the change journal keeps to take it back: its size
// grows with the bytes a change touches, not with the library's size.
struct Splice {
    std::uint64_t offset = 0;
    std::string removed;
    std::string inserted;

    bool operator==(const Splice&) const = default;
};

// Sorted by offset, none overlapping another (two may touch), offsets in the file before.
using Splices = std::vector<Splice>;

// Whether a list is sorted and free of overlaps and lies inside a file of `size` bytes.
bool IsWellFormed(const Splices& splices, std::uint64_t size);

// The file's size after the splices.
std::uint64_t SizeAfter(std::uint64_t sizeBefore, const Splices& splices);

// The splices that take the file after `splices` back to the file before them: each one's
// removed and inserted bytes swapped, the offsets moved to the changed file's coordinates.
Splices InverseOf(const Splices& splices);

// The bytes touched by a list: what the journal keeps of it.
std::uint64_t TouchedBytes(const Splices& splices);

// Whether the file holds, at each splice's offset, the bytes the splice removes. False when a
// read fails.
bool HoldsRemovedBytes(ByteFile& file, const Splices& splices);

// Whether the file holds what the splices left: its size is SizeAfter and each splice's
// inserted bytes stand where the changed file has them.
bool HoldsInsertedBytes(ByteFile& file, std::uint64_t sizeBefore, const Splices& splices);

// Whether the splices can be made in the file itself: every splice but a last one that starts
// at or reaches the end of the file only overwrites (an append, a renumber, the undo of an
// append). Any other list must be made by rewriting the file.
bool CanApplyInPlace(const Splices& splices, std::uint64_t sizeBefore);

// Makes splices that CanApplyInPlace accepts in the open file, in the order that keeps a
// library readable whatever instant the process stops: a file that grows gets its new end
// first, flushed to the disk, and then the overwrites, flushed; one that shrinks gets the
// overwrites first, flushed, and is then cut, flushed. False at the first failure (the journal
// then takes back what was made).
bool ApplyInPlace(ByteFile& file, std::uint64_t sizeBefore, const Splices& splices);

// Writes back what in-place splices removed and cuts the file to `sizeBefore`, whatever part of
// them was made: the file is then as before them (overwrites keep their offsets, so the old
// offsets hold in the changed file). Flushed; false when a write failed.
bool TakeBackInPlace(ByteFile& file, std::uint64_t sizeBefore, const Splices& splices);

// Makes any splices by writing the changed file whole into a new file beside `path` (named
// with `newFileSuffix`), flushed, and renaming it over `path`, so that the file is always
// either the old one or the new one. `file` is `path` opened for reading; it is closed before
// the rename. False, with `path` unchanged and the new file gone, when it cannot be done.
bool ApplyByRewrite(const std::string& path, ByteFile& file, const Splices& splices,
                    const std::string& newFileSuffix);

// What a rewrite shows of the bytes it goes through, in file order: each piece, and whether the
// file as it was holds it (`before`) and whether the new file does (`after`).
using RewriteWatcher = std::function<void(std::string_view piece, bool before, bool after)>;

// As ApplyByRewrite, in one pass: `watch` (when given) sees every byte of the old file and of the
// new one, and `mayCommit` (when given) is asked, once the new file is whole and before it takes
// the file's place, whether it may; false from it leaves `path` unchanged.
bool ApplyByRewriteWatched(const std::string& path, ByteFile& file, const Splices& splices,
                           const std::string& newFileSuffix, const RewriteWatcher& watch,
                           const std::function<bool()>& mayCommit);

}  // namespace vexlor
