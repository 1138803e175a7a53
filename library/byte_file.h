#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "library/mapped_view.h"

namespace vexlor {

// A file opened for one command and closed when the object goes away. Reads and writes are
// positioned and unbuffered, with one exception: small reads that walk forward through the file
// close together (record headers a few kilobytes apart) are served from a read-ahead window, so
// that a walk over tens of thousands of records costs a few large reads rather than one system
// call per record. Any write empties the window. A large file opened for reading is viewed in
// memory instead where the system allows (MappedView): then a walk copies just the bytes it
// reads, with no system call at all. Nothing here throws.
class ByteFile {
  public:
    enum class Mode { Read, ReadWrite, Create };

    ByteFile() = default;
    ByteFile(const std::string& path, Mode mode) { Open(path, mode); }
    ~ByteFile() { Close(); }
    ByteFile(const ByteFile&) = delete;
    ByteFile& operator=(const ByteFile&) = delete;

    bool Open(const std::string& path, Mode mode);
    // Closes the file; false when the system reports an error on closing.
    bool Close();
    bool IsOpen() const { return file_ != nullptr; }

    // Size of the file in bytes, or 0 when it is not open.
    std::uint64_t Size();
    // Size of the file in bytes; nothing when it is not open or the system cannot tell. Writers
    // use this one: a size that could not be read must never pass for an empty file.
    std::optional<std::uint64_t> CheckedSize();
    // Puts what was written on the disk.
    bool Sync();
    // Cuts (or extends with zeros) the file to `size` bytes.
    bool Truncate(std::uint64_t size);

    // Reads up to `count` bytes at `offset`; returns how many were read.
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count);
    // True only when exactly `count` bytes were read.
    bool ReadExactAt(std::uint64_t offset, void* buffer, std::size_t count) {
        return ReadAt(offset, buffer, count) == count;
    }
    // True only when all `count` bytes were written.
    bool WriteAt(std::uint64_t offset, const void* buffer, std::size_t count);

  private:
    std::size_t RawReadAt(std::uint64_t offset, void* buffer, std::size_t count);
    bool RawWriteAt(std::uint64_t offset, const void* buffer, std::size_t count);
    // Serves a small read from the window, refilling it when the walk has moved past it.
    bool ReadThroughWindow(std::uint64_t offset, void* buffer, std::size_t count, std::size_t& got);

    std::FILE* file_ = nullptr;
    MappedView view_;
    std::vector<std::uint8_t> window_;
    std::uint64_t windowStart_ = 0;
    std::size_t windowLength_ = 0;
    std::uint64_t lastSmallRead_ = 0;
    bool haveSmallRead_ = false;
};

}  // namespace vexlor
