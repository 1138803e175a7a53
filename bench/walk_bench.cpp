// Walking the record headers of a full-size HULL library: what every editor refresh and the
// Preview's library search do before they touch a picture.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "library/byte_file.h"
#include "library/library_inspection.h"
#include "library/library_reader.h"
#include "library/library_walk.h"
#include "library/records.h"

namespace {

using namespace vexlor;

constexpr std::uint32_t kRecords = 65535;
constexpr std::uint32_t kColours = 16;
constexpr std::uint32_t kPixelBytes = 2048;  // 32 x 32 index-alpha

// The library, built once per process in its own temporary folder and removed at exit.
class HullLibraryFile {
  public:
    HullLibraryFile() {
        std::error_code error;
        folder_ = std::filesystem::temp_directory_path(error) /
                  ("vexlor-walk-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_, error);
        path_ = (folder_ / "hull.dat").string();
        ok_ = Write();
    }
    ~HullLibraryFile() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    HullLibraryFile(const HullLibraryFile&) = delete;
    HullLibraryFile& operator=(const HullLibraryFile&) = delete;

    const std::string& Path() const { return path_; }
    bool Ok() const { return ok_; }

  private:
    bool Write() const {
        const tIMAGE first =
            tIMAGE::Make(kIndexAlphaFormat, 32, 32, kHullGroupId, 0, kColours, kPixelBytes);
        const auto recordBytes = static_cast<std::uint32_t>(RecordBytes(first));
        tHEADER header{};
        std::copy(kSignature.begin(), kSignature.end(), header.Signature);
        header.Reserved1 = 1;
        header.GroupCount = 1;
        header.ImageCount = static_cast<std::uint16_t>(kRecords);
        header.ImageDataSize = recordBytes * kRecords;
        header.ColourCount = kColours * kRecords;
        header.LibraryKind = static_cast<std::uint32_t>(LibraryKind::Hull);
        header.GroupDataSize = tGROUP::kSize;
        tGROUP group{};
        group.GroupId = kHullGroupId;
        group.ImageCount = header.ImageCount;
        group.ImageDataSize = header.ImageDataSize;
        group.ColourCount = header.ColourCount;

        ByteFile file(path_, ByteFile::Mode::Create);
        const auto headerBytes = header.Encode();
        const auto groupBytes = group.Encode();
        bool ok = file.WriteAt(0, headerBytes.data(), headerBytes.size()) &&
                  file.WriteAt(tHEADER::kSize, groupBytes.data(), groupBytes.size());
        std::vector<std::uint8_t> record(recordBytes, 0x11);
        std::uint64_t at = ImageDataStart(header);
        for (std::uint32_t id = 1; ok && id <= kRecords; ++id, at += recordBytes) {
            const auto image = tIMAGE::Make(kIndexAlphaFormat, 32, 32, kHullGroupId,
                                            static_cast<std::uint16_t>(id), kColours, kPixelBytes)
                                   .Encode();
            std::copy(image.begin(), image.end(), record.begin());
            ok = file.WriteAt(at, record.data(), record.size());
        }
        return file.Close() && ok;
    }

    std::filesystem::path folder_;
    std::string path_;
    bool ok_ = false;
};

const HullLibraryFile& Library() {
    static const HullLibraryFile library;
    return library;
}

void BM_WalkRecordHeaders(benchmark::State& state) {
    const HullLibraryFile& library = Library();
    if (!library.Ok()) {
        state.SkipWithError("cannot write the library in the temporary folder");
        return;
    }
    for (auto _ : state) {
        LibraryReader reader;
        reader.Open(library.Path());
        std::vector<tGROUP> groups;
        reader.ReadGroups(groups);
        ImageRecord record;
        std::uint64_t identifiers = 0;
        int records = 0;
        while (reader.NextRecord(record)) {
            identifiers += record.image.PictureId;
            ++records;
        }
        benchmark::DoNotOptimize(identifiers);
        if (records != static_cast<int>(kRecords)) {
            state.SkipWithError("the walk did not reach every record");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_WalkRecordHeaders)->Unit(benchmark::kMillisecond);

// What the library browser does when it opens a library: the walk to the end of the bytes (0),
// and with the check that fills its panel (1).
void BM_BrowserOpen(benchmark::State& state) {
    const HullLibraryFile& library = Library();
    if (!library.Ok()) {
        state.SkipWithError("cannot write the library in the temporary folder");
        return;
    }
    for (auto _ : state) {
        const LibraryWalk walk = WalkLibrary(library.Path());
        if (state.range(0) != 0) {
            const LibraryCheck check = CheckLibrary(library.Path());
            benchmark::DoNotOptimize(check.violations.size());
        }
        if (walk.records.size() != kRecords) {
            state.SkipWithError("the walk did not reach every record");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_BrowserOpen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
