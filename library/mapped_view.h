#pragma once

#include <cstddef>
#include <cstdint>

namespace vexlor {

// A read-only view of an open file in memory, for walks that read a few bytes every few
// kilobytes over a large file (the record headers of a library): each read costs a copy of
// just those bytes, where reads from the file cost a system call each or, read ahead, a copy of
// every byte. The view shows a few megabytes of the file at a time and moves along with the
// reads, so that no more of the file than that stays resident on its account, however large the
// file. POSIX only; elsewhere Map refuses, and the caller reads the file.
//
// A file that another program cuts short while it is viewed would stop the process at the
// first touch beyond its new end (SIGBUS). Every copy out of the view is guarded against that:
// a copy the guard stops fails, and the caller then reads the file, which says how many bytes
// are still there. Nothing throws.
class MappedView {
  public:
    MappedView() = default;
    ~MappedView() { Unmap(); }
    MappedView(const MappedView&) = delete;
    MappedView& operator=(const MappedView&) = delete;

    // Views the first `size` bytes of the file open at `descriptor`; false when it cannot.
    bool Map(int descriptor, std::uint64_t size);
    void Unmap();
    bool IsMapped() const { return descriptor_ >= 0; }
    std::uint64_t Size() const { return size_; }

    // Copies `count` bytes at `offset`; false when they lie beyond the view, or when the file
    // no longer holds them (the view is then given up).
    bool CopyOut(std::uint64_t offset, void* buffer, std::size_t count);

  private:
    // Shows the file from the page of `offset` on, at least `count` bytes of it.
    bool MoveWindow(std::uint64_t offset, std::size_t count);
    void UnmapWindow();
    // Asks early for the bytes that the next read of a walk of equal steps will want.
    void PrefetchNextStep(std::uint64_t offset, std::size_t count);

    int descriptor_ = -1;
    std::uint64_t size_ = 0;
    const std::uint8_t* window_ = nullptr;
    std::uint64_t windowStart_ = 0;
    std::size_t windowLength_ = 0;
    std::uint64_t lastOffset_ = 0;
};

}  // namespace vexlor
