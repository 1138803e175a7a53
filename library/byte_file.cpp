#include "library/byte_file.h"

#include <limits>

namespace vexlor {

namespace {

#if defined(_WIN32)
int Seek(std::FILE* f, std::uint64_t offset) {
    return _fseeki64(f, static_cast<__int64>(offset), SEEK_SET);
}
std::int64_t Tell(std::FILE* f) { return _ftelli64(f); }
#else
int Seek(std::FILE* f, std::uint64_t offset) {
    return fseeko(f, static_cast<off_t>(offset), SEEK_SET);
}
std::int64_t Tell(std::FILE* f) { return ftello(f); }
#endif

const char* ModeText(ByteFile::Mode mode) {
    switch (mode) {
        case ByteFile::Mode::Read:
            return "rb";
        case ByteFile::Mode::ReadWrite:
            return "r+b";
        case ByteFile::Mode::Create:
            return "w+b";
    }
    return "rb";
}

}  // namespace

bool ByteFile::Open(const std::string& path, Mode mode) {
    Close();
    file_ = std::fopen(path.c_str(), ModeText(mode));
    if (file_ == nullptr) {
        return false;
    }
    std::setvbuf(file_, nullptr, _IONBF, 0);
    position_ = 0;
    positionKnown_ = true;
    lastDirection_ = Direction::None;
    return true;
}

bool ByteFile::Close() {
    if (file_ == nullptr) {
        return true;
    }
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
}

std::uint64_t ByteFile::Size() {
    if (file_ == nullptr || std::fseek(file_, 0, SEEK_END) != 0) {
        return 0;
    }
    positionKnown_ = false;
    lastDirection_ = Direction::None;
    const std::int64_t end = Tell(file_);
    return end < 0 ? 0 : static_cast<std::uint64_t>(end);
}

bool ByteFile::SeekTo(std::uint64_t offset, Direction direction) {
    const bool turning = lastDirection_ != Direction::None && lastDirection_ != direction;
    lastDirection_ = direction;
    if (positionKnown_ && position_ == offset && !turning) {
        return true;
    }
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) ||
        Seek(file_, offset) != 0) {
        positionKnown_ = false;
        return false;
    }
    position_ = offset;
    positionKnown_ = true;
    return true;
}

std::size_t ByteFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
    if (file_ == nullptr || count == 0 || !SeekTo(offset, Direction::Reading)) {
        return 0;
    }
    const std::size_t got = std::fread(buffer, 1, count, file_);
    position_ += got;
    if (got < count) {
        std::clearerr(file_);
        positionKnown_ = false;
    }
    return got;
}

bool ByteFile::WriteAt(std::uint64_t offset, const void* buffer, std::size_t count) {
    if (file_ == nullptr || !SeekTo(offset, Direction::Writing)) {
        return false;
    }
    if (count == 0) {
        return true;
    }
    const std::size_t put = std::fwrite(buffer, 1, count, file_);
    position_ += put;
    if (put < count) {
        std::clearerr(file_);
        positionKnown_ = false;
        return false;
    }
    return true;
}

}  // namespace vexlor
