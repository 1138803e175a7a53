#include "tools/file_replacement.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vexlor {
namespace fs = std::filesystem;
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// Data that only reached the operating system's cache would be lost with the power; the
// rename must not come before it is on the disk.
bool FlushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) {
        return false;
    }
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return ::fsync(::fileno(file)) == 0;
#endif
}

bool WriteNewFile(const fs::path& path, std::string_view bytes) {
    UniqueFile file(std::fopen(path.string().c_str(), "wb"));
    if (!file) {
        return false;
    }
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        return false;
    }
    if (!FlushToDisk(file.get())) {
        return false;
    }
    return std::fclose(file.release()) == 0;
}

bool IsReadOnly(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error || !fs::exists(status)) {
        return false;
    }
    return (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

// The replacement keeps who may read and write the file.
void CopyPermissions(const fs::path& from, const fs::path& to) {
    std::error_code error;
    const fs::file_status status = fs::status(from, error);
    if (!error && fs::exists(status)) {
        fs::permissions(to, status.permissions(), error);
    }
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
    UniqueFile file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return std::nullopt;
    }
    std::string content;
    char buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        content.append(buffer, count);
    }
    // A folder opens like a file here and fails only when read.
    if (std::ferror(file.get()) != 0) {
        return std::nullopt;
    }
    return content;
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
    const fs::path target(path);
    std::error_code error;
    if (IsReadOnly(target) || fs::is_directory(target, error)) {
        return false;
    }
    fs::path temporary = target;
    temporary += ".new";
    if (!WriteNewFile(temporary, bytes)) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    CopyPermissions(target, temporary);
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

}  // namespace vexlor
