#include "widgets/help_file.h"

#include <cstdio>
#include <memory>

#include "library/plain_file.h"

namespace vexlor {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

// Opened as every other text file is, so that a pipe or a device is refused without waiting.
std::optional<HelpFileText> ReadHelpFile(const std::string& path, std::size_t limit) {
    const std::unique_ptr<std::FILE, FileCloser> file(OpenPlainFile(path, false));
    if (!file) {
        return std::nullopt;
    }
    // One byte past the limit tells a file of exactly `limit` bytes from a longer one.
    std::string bytes(limit + 1, '\0');
    const std::size_t count = std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (std::ferror(file.get()) != 0) {
        return std::nullopt;
    }
    const bool cut = count > limit;
    bytes.resize(cut ? limit : count);
    return HelpFileText{std::move(bytes), cut};
}

}  // namespace vexlor
