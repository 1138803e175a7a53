#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace vexlor {

// A file opened for one command and closed when the object goes away. Reads and writes are
// positioned and unbuffered: a library walk touches a few bytes per record, and a large
// block goes straight into the caller's buffer. Nothing here throws.
class ByteFile {
public:
    enum class Mode { Read, ReadWrite, Create };

    ByteFile() = default;
    ByteFile(const std::string& path, Mode mode) { Open(path, mode); }
    ~ByteFile() { Close(); }
    ByteFile(const ByteFile&) = delete;
    ByteFile& operator=(const ByteFile&) = delete;

    bool Open(const std::string& path, Mode mode);
    // Closes the file; false when buffered data could not be written out.
    bool Close();
    bool IsOpen() const { return file_ != nullptr; }

    // Size of the file in bytes, or 0 when it is not open.
    std::uint64_t Size();

    // Reads up to `count` bytes at `offset`; returns how many were read.
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count);
    // True only when exactly `count` bytes were read.
    bool ReadExactAt(std::uint64_t offset, void* buffer, std::size_t count) {
        return ReadAt(offset, buffer, count) == count;
    }
    // True only when all `count` bytes were written.
    bool WriteAt(std::uint64_t offset, const void* buffer, std::size_t count);

private:
    enum class Direction { None, Reading, Writing };
    // C streams need a seek between a read and a write; `direction` forces one there.
    bool SeekTo(std::uint64_t offset, Direction direction);

    std::FILE* file_ = nullptr;
    std::uint64_t position_ = 0;
    bool positionKnown_ = false;
    Direction lastDirection_ = Direction::None;
};

}  // namespace vexlor
