#include "cli/extract_command.h"

#include <numeric>
#include <string>
#include <vector>

#include "browser/library_extract.h"
#include "cli/terminal_progress.h"
#include "library/library_walk.h"

namespace vexlor::cli {

int RunExtract(const Invocation& invocation) {
    const std::string& path = invocation.arguments[0];
    const std::string prefix = "vexlor-cli extract: ";
    const LibraryWalk walk = WalkLibrary(path);
    if (!walk.opened) {
        PrintError(prefix + "cannot open " + path + "\n");
        return kExitFailure;
    }
    if (!walk.headerComplete) {
        PrintError(prefix + path + ": the file is " + std::to_string(walk.fileSize) +
                   " bytes long, shorter than the 34-byte header\n");
        return kExitFailure;
    }
    std::vector<int> records(walk.records.size());
    std::iota(records.begin(), records.end(), 0);
    TerminalProgress progress("Extracting: wrote");
    const ExtractFormat format = invocation.Flag("--png") ? ExtractFormat::Png : ExtractFormat::Bmp;
    const ExtractResult result =
        ExtractRecords(path, walk, records, invocation.Option("--out").value_or(""), format,
                       [&progress](int done, int total) {
                           progress(done, total);
                           return true;
                       });
    if (!result.opened) {
        PrintError(prefix + "cannot open " + path + "\n");
        return kExitFailure;
    }
    for (const std::string& written : result.written) {
        PrintOut(written + "\n");
    }
    for (const std::string& failure : result.failures) {
        PrintError(failure + "\n");
    }
    bool incomplete = !result.failures.empty();
    // Bytes too few for a record header: a record the file cuts short before its identifiers.
    if (walk.trailingBytes > 0 && walk.records.size() < walk.header.ImageCount) {
        PrintError("the file ends inside image record " + std::to_string(walk.records.size() + 1) +
                   " at offset " + std::to_string(walk.fileSize - walk.trailingBytes) + "\n");
        incomplete = true;
    }
    if (!walk.GroupTableComplete()) {
        PrintError(prefix + path + ": the file ends inside the group table\n");
        incomplete = true;
    }
    return incomplete ? kExitFailure : kExitSuccess;
}

}  // namespace vexlor::cli
