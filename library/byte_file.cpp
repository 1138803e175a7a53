#include "library/byte_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>

#include "library/plain_file.h"
#include "library/utf8_path.h"

#if defined(_WIN32)
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vexlor {

namespace {

// Reads no larger than this count as "small": a record header, a group record.
constexpr std::size_t kSmallRead = 256;
// Small reads at most this far apart are a dense walk worth reading ahead for.
constexpr std::uint64_t kDenseGap = 16 * 1024;
constexpr std::size_t kWindowBytes = 64 * 1024;
// Files from this size on are viewed in memory for reading: below it, a few reads ahead cost
// as little.
constexpr std::uint64_t kViewedFrom = 256 * 1024;

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

bool FitsOffset(std::uint64_t offset, std::size_t count) {
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    return offset <= kMax && count <= kMax - offset;
}

}  // namespace

bool ByteFile::Open(const std::string& path, Mode mode) {
    Close();
    // A pipe or a device would block or stream forever; only plain files are libraries.
    if (mode != Mode::Create) {
        file_ = OpenPlainFile(path, mode == Mode::ReadWrite);
    } else {
        std::error_code error;
        const auto type = std::filesystem::status(PathFromUtf8(path), error).type();
        if (!error && type != std::filesystem::file_type::regular) {
            return false;
        }
        file_ = OpenFileUtf8(path, ModeText(mode));
    }
    if (file_ == nullptr) {
        return false;
    }
    std::setvbuf(file_, nullptr, _IONBF, 0);
#if !defined(_WIN32)
    if (mode == Mode::Read) {
        const std::uint64_t size = Size();
        if (size >= kViewedFrom) {
            view_.Map(fileno(file_), size);  // refused: the reads go to the file
        }
    }
#endif
    return true;
}

bool ByteFile::Close() {
    view_.Unmap();
    windowLength_ = 0;
    haveSmallRead_ = false;
    if (file_ == nullptr) {
        return true;
    }
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
}

#if defined(_WIN32)

std::uint64_t ByteFile::Size() {
    if (file_ == nullptr || _fseeki64(file_, 0, SEEK_END) != 0) {
        return 0;
    }
    const __int64 end = _ftelli64(file_);
    return end < 0 ? 0 : static_cast<std::uint64_t>(end);
}

std::optional<std::uint64_t> ByteFile::CheckedSize() {
    struct _stat64 status {};
    if (file_ == nullptr || _fstat64(_fileno(file_), &status) != 0 || status.st_size < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(status.st_size);
}

bool ByteFile::Sync() {
    return file_ != nullptr && std::fflush(file_) == 0 && _commit(_fileno(file_)) == 0;
}

bool ByteFile::Truncate(std::uint64_t size) {
    windowLength_ = 0;
    return file_ != nullptr && size <= static_cast<std::uint64_t>(INT64_MAX) &&
           _chsize_s(_fileno(file_), static_cast<__int64>(size)) == 0;
}

std::size_t ByteFile::RawReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
    if (_fseeki64(file_, static_cast<__int64>(offset), SEEK_SET) != 0) {
        return 0;
    }
    const std::size_t got = std::fread(buffer, 1, count, file_);
    std::clearerr(file_);
    return got;
}

bool ByteFile::RawWriteAt(std::uint64_t offset, const void* buffer, std::size_t count) {
    if (_fseeki64(file_, static_cast<__int64>(offset), SEEK_SET) != 0) {
        return false;
    }
    const bool ok = std::fwrite(buffer, 1, count, file_) == count;
    std::clearerr(file_);
    return ok;
}

#else

std::uint64_t ByteFile::Size() {
    struct stat status {};
    if (file_ == nullptr || fstat(fileno(file_), &status) != 0 || status.st_size < 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(status.st_size);
}

std::optional<std::uint64_t> ByteFile::CheckedSize() {
    struct stat status {};
    if (file_ == nullptr || fstat(fileno(file_), &status) != 0 || status.st_size < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(status.st_size);
}

bool ByteFile::Sync() {
    if (file_ == nullptr) {
        return false;
    }
    int result = 0;
    do {
        result = fsync(fileno(file_));
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

bool ByteFile::Truncate(std::uint64_t size) {
    windowLength_ = 0;
    if (file_ == nullptr || size > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
        return false;
    }
    int result = 0;
    do {
        result = ftruncate(fileno(file_), static_cast<off_t>(size));
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

std::size_t ByteFile::RawReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n =
            pread(fileno(file_), bytes + got, count - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    return got;
}

bool ByteFile::RawWriteAt(std::uint64_t offset, const void* buffer, std::size_t count) {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    std::size_t put = 0;
    while (put < count) {
        const ssize_t n =
            pwrite(fileno(file_), bytes + put, count - put, static_cast<off_t>(offset + put));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        put += static_cast<std::size_t>(n);
    }
    return true;
}

#endif

bool ByteFile::ReadThroughWindow(std::uint64_t offset, void* buffer, std::size_t count,
                                 std::size_t& got) {
    const bool inWindow =
        windowLength_ > 0 && offset >= windowStart_ && offset - windowStart_ < windowLength_;
    if (!inWindow) {
        const bool dense =
            haveSmallRead_ && offset > lastSmallRead_ && offset - lastSmallRead_ <= kDenseGap;
        lastSmallRead_ = offset;
        haveSmallRead_ = true;
        if (!dense) {
            return false;
        }
        window_.resize(kWindowBytes);
        windowStart_ = offset;
        windowLength_ = RawReadAt(offset, window_.data(), window_.size());
        if (windowLength_ == 0) {
            return false;
        }
    }
    lastSmallRead_ = offset;
    const std::size_t from = static_cast<std::size_t>(offset - windowStart_);
    const std::size_t available = windowLength_ - from;
    if (available < count && windowLength_ == kWindowBytes) {
        return false;  // straddles the window's end, and the file goes on: read it directly
    }
    got = std::min(count, available);
    std::memcpy(buffer, window_.data() + from, got);
    return true;
}

std::size_t ByteFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
    if (file_ == nullptr || count == 0 || !FitsOffset(offset, count)) {
        return 0;
    }
    // Bytes beyond the view (a file grown since), or a view the file was cut short under: the
    // file itself says what is there.
    if (view_.IsMapped() && view_.CopyOut(offset, buffer, count)) {
        return count;
    }
    std::size_t got = 0;
    if (count <= kSmallRead && ReadThroughWindow(offset, buffer, count, got)) {
        return got;
    }
    return RawReadAt(offset, buffer, count);
}

bool ByteFile::WriteAt(std::uint64_t offset, const void* buffer, std::size_t count) {
    if (file_ == nullptr || !FitsOffset(offset, count)) {
        return false;
    }
    windowLength_ = 0;
    return count == 0 || RawWriteAt(offset, buffer, count);
}

}  // namespace vexlor
