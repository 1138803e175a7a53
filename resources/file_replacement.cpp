#include "resources/file_replacement.h"

#include <cstdio>
#include <memory>

#include "library/plain_file.h"
#include "library/replacement_file.h"

namespace vexlor {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
    UniqueFile file(OpenPlainFile(path, false));
    if (!file) {
        return std::nullopt;
    }
    std::string content;
    char buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        content.append(buffer, count);
    }
    if (std::ferror(file.get()) != 0) {
        return std::nullopt;
    }
    return content;
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes, int* systemError) {
    return ReplaceFileWith(path, bytes, ".new", systemError);
}

}  // namespace vexlor
