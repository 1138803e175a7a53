#include "demo/staged_file.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "library/byte_file.h"
#include "library/replacement_file.h"
#include "library/utf8_path.h"

namespace vexlor::demo {

namespace {

namespace fs = std::filesystem;

// The new files of the replacement are named apart from the made files, so that the two never
// meet even when the place is a plain file beside the made one.
constexpr char kNewFileSuffix[] = ".vexlor-new";

std::string ReasonOf(int systemError, const char* otherwise) {
    if (systemError == EMLINK) {
        return "it has other hard links, so it was not changed";  // the system says "Too many"
    }
    return systemError != 0 ? std::generic_category().message(systemError) : otherwise;
}

// Copies the made file into the replacement's new file, in pieces.
bool CopyInto(const fs::path& made, ReplacementFile& replacement) {
    ByteFile file;
    if (!file.Open(Utf8Of(made), ByteFile::Mode::Read)) {
        return false;
    }
    std::string buffer(1 << 16, '\0');
    std::uint64_t at = 0;
    for (;;) {
        const std::size_t got = file.ReadAt(at, buffer.data(), buffer.size());
        if (got == 0) {
            return at == file.Size();
        }
        if (!replacement.Write(std::string_view(buffer.data(), got))) {
            return false;
        }
        at += got;
    }
}

}  // namespace

std::string CannotWrite(const fs::path& path, const std::string& reason) {
    return "cannot write " + Utf8Of(path) + ": " + reason;
}

fs::path StagingPathOf(const fs::path& path) {
    fs::path staging = path;
    staging += ".vexlor-demo-new";
    return staging;
}

bool PutInPlace(const fs::path& staging, const fs::path& path, std::string& problem) {
    // The place may be a link into another folder, even onto another disk, where the made file
    // cannot be renamed to: its content goes through a new file beside the file that is replaced.
    ReplacementFile replacement(Utf8Of(path), kNewFileSuffix);
    const bool placed =
        replacement.IsOpen() && CopyInto(staging, replacement) && replacement.Commit();
    std::error_code ignored;
    fs::remove(staging, ignored);
    if (!placed) {
        problem = CannotWrite(path, ReasonOf(replacement.SystemError(), "it cannot be replaced"));
    }
    return placed;
}

bool WriteFileReplacing(const fs::path& path, std::string_view bytes, std::string& problem) {
    ReplacementFile replacement(Utf8Of(path), kNewFileSuffix);
    if (!replacement.IsOpen() || !replacement.Write(bytes) || !replacement.Commit()) {
        // Named by the file the user asked for; the new file's name would only puzzle.
        problem = CannotWrite(
            path, ReasonOf(replacement.SystemError(), "the disk did not take all of it"));
        return false;
    }
    return true;
}

}  // namespace vexlor::demo
