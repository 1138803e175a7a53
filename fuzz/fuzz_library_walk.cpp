// Feeds arbitrary bytes to every reader of a library file: the inspection, the check, a full
// picture walk by either stepping rule, and the four kind tests. None may crash, hang, read
// outside the file or its buffers, or list more than the header announces.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "library/creation.h"
#include "library/library_inspection.h"
#include "library/library_reader.h"

namespace {

using namespace vexlor;

// One path per process, written anew for every input and removed after it: libFuzzer may end
// the process without running exit handlers.
const std::string& InputPath() {
    static const std::string path = [] {
        std::error_code error;
        std::filesystem::path folder = std::filesystem::temp_directory_path(error);
        if (error) {
            folder = "/tmp";
        }
        return (folder / ("vexlor_fuzz_library_walk_" + std::to_string(::getpid()) + ".dat"))
            .string();
    }();
    return path;
}

void RemoveInputFile() {
    std::remove(InputPath().c_str());
}

void WriteInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(InputPath().c_str(), "wb");
    if (file == nullptr) {
        std::abort();
    }
    if (size > 0 && std::fwrite(data, 1, size, file) != size) {
        std::abort();
    }
    std::fclose(file);
}

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

void WalkEveryPicture(const std::string& path, bool continueAfterPicture) {
    LibraryReader reader;
    if (!reader.Open(path)) {
        return;
    }
    std::vector<tGROUP> groups;
    reader.ReadGroups(groups);
    Require(groups.size() <= reader.Header().GroupCount);
    ImageRecord record;
    tPAL palette;
    tPIX pixels;
    int records = 0;
    while (reader.NextRecord(record)) {
        ++records;
        if (reader.ReadPicture(record, palette, pixels) == ReadStatus::Ok) {
            Require(palette.size() == record.image.ColourCount);
            Require(pixels.size() == record.image.DataSize - record.image.PixelOffset);
        }
        if (continueAfterPicture) {
            reader.ContinueAfterPicture(record);
        }
    }
    Require(records <= reader.Header().ImageCount);
}

void InspectAndCheck(const std::string& path, std::size_t size) {
    const LibraryInspection inspection = InspectLibrary(path);
    Require(inspection.opened);
    Require(inspection.fileSize == size);
    Require(inspection.headerComplete == (size >= tHEADER::kSize));
    Require(inspection.groups.size() <= inspection.header.GroupCount);
    Require(inspection.images.size() <= inspection.header.ImageCount);
    for (const ImageRecord& record : inspection.images) {
        Require(record.offset + tIMAGE::kSize <= size);
    }
    const LibraryCheck check = CheckLibrary(path);
    Require(check.opened);
    // Whatever the inspection found missing, the check reports too.
    Require(check.violations.size() >= inspection.problems.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WriteInput(data, size);
    const std::string& path = InputPath();
    InspectAndCheck(path, size);
    WalkEveryPicture(path, false);
    WalkEveryPicture(path, true);
    IsHullLibrary(path);
    IsMapLibrary(path);
    IsShipLibrary(path);
    IsMissionLibrary(path);
    RemoveInputFile();
    return 0;
}
