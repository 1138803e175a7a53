#include "tools/demo/staged_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

namespace vexlor::demo {

namespace {

namespace fs = std::filesystem;

using FileHandle = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Empty when the whole content was written, else why not.
std::string WriteWholeFile(const fs::path& path, std::string_view bytes) {
    errno = 0;
    std::FILE* opened = std::fopen(path.string().c_str(), "wb");
    if (opened == nullptr) {
        return errno != 0 ? std::strerror(errno) : "it cannot be created";
    }
    FileHandle file(opened, std::fclose);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    const bool closed = std::fclose(file.release()) == 0;
    return written && closed ? std::string() : "the disk did not take all of it";
}

}  // namespace

std::string CannotWrite(const fs::path& path, const std::string& reason) {
    return "cannot write " + path.string() + ": " + reason;
}

fs::path StagingPathOf(const fs::path& path) {
    fs::path staging = path;
    staging += ".vexlor-demo-new";
    return staging;
}

bool PutInPlace(const fs::path& staging, const fs::path& path, std::string& problem) {
    std::error_code error;
    fs::rename(staging, path, error);
    if (error) {
        problem = CannotWrite(path, error.message());
        fs::remove(staging, error);
        return false;
    }
    return true;
}

bool WriteFileReplacing(const fs::path& path, std::string_view bytes, std::string& problem) {
    const fs::path staging = StagingPathOf(path);
    const std::string failure = WriteWholeFile(staging, bytes);
    if (!failure.empty()) {
        // Named by the file the user asked for; the staging name would only puzzle.
        problem = CannotWrite(path, failure);
        std::error_code ignored;
        fs::remove(staging, ignored);
        return false;
    }
    return PutInPlace(staging, path, problem);
}

}  // namespace vexlor::demo
