// The Preview's library search for a craft whose pictures no library holds: every library that
// the resource list names is tested for each kind and walked to its end. 500 libraries of the
// three kinds, about 200 MB, read from the page cache after the first run.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "craft/craft_pictures.h"
#include "library/byte_file.h"
#include "library/records.h"

namespace {

using namespace vexlor;

// One kind of library in the set: how many files, records per file and the records' shape.
struct LibraryShape {
    const char* prefix;
    LibraryKind kind;
    int files;
    int records;
    std::uint16_t format;
    std::uint16_t side;
    std::uint32_t colours;
    std::uint32_t pixelBytes;
};

// 200 HULL (60 MB), 200 MAP (46 MB) and 100 SHIP libraries (90 MB) with realistic record sizes.
constexpr LibraryShape kShapes[] = {
    {"HULL", LibraryKind::Hull, 200, 140, kIndexAlphaFormat, 32, 32, 2048},
    {"MAP", LibraryKind::Map, 200, 400, kIndexAlphaFormat, 16, 16, 512},
    {"SHIP", LibraryKind::Ship, 100, 30, kRunLengthFormat, 180, 64, 30000},
};

std::uint16_t GroupIdOf(const LibraryShape& shape, int record) {
    switch (shape.kind) {
        case LibraryKind::Hull:
            return kHullGroupId;
        case LibraryKind::Map:
            return kMapGroupId;
        default:
            return static_cast<std::uint16_t>(20001 + record);
    }
}

// The whole file in memory: header, group table, records with zero palettes and pixels.
std::vector<std::uint8_t> LibraryBytes(const LibraryShape& shape) {
    const bool ship = shape.kind == LibraryKind::Ship;
    std::vector<tGROUP> groups(ship ? static_cast<std::size_t>(shape.records) : 1);
    std::vector<std::uint8_t> data;
    for (int r = 0; r < shape.records; ++r) {
        const std::uint16_t groupId = GroupIdOf(shape, r);
        const tIMAGE image = tIMAGE::Make(shape.format, shape.side, shape.side, groupId,
                                          static_cast<std::uint16_t>(ship ? 1 : 100 + r),
                                          shape.colours, shape.pixelBytes);
        tGROUP& group = groups[ship ? static_cast<std::size_t>(r) : 0];
        if (group.ImageCount == 0) {
            group.GroupId = groupId;
            group.DataOffset = static_cast<std::uint32_t>(data.size());
        }
        ++group.ImageCount;
        group.ImageDataSize += static_cast<std::uint32_t>(RecordBytes(image));
        const auto record = image.Encode();
        data.insert(data.end(), record.begin(), record.end());
        data.resize(data.size() + 3 * shape.colours + shape.pixelBytes, 0);
    }
    tHEADER header{};
    std::copy(kSignature.begin(), kSignature.end(), header.Signature);
    header.Reserved1 = 1;
    header.GroupCount = static_cast<std::uint16_t>(groups.size());
    header.ImageCount = static_cast<std::uint16_t>(shape.records);
    header.ImageDataSize = static_cast<std::uint32_t>(data.size());
    header.LibraryKind = static_cast<std::uint32_t>(shape.kind);
    const auto headerBytes = header.Encode();
    std::vector<std::uint8_t> bytes(headerBytes.begin(), headerBytes.end());
    for (const tGROUP& group : groups) {
        const auto groupBytes = group.Encode();
        bytes.insert(bytes.end(), groupBytes.begin(), groupBytes.end());
    }
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

// The game folder, built once per process in its own temporary folder and removed at exit.
class GameFolder {
  public:
    GameFolder() {
        std::error_code error;
        root_ = std::filesystem::temp_directory_path(error) /
                ("vexlor-craft-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(root_ / "Resdata", error);
        ok_ = !error && WriteLibraries();
    }
    ~GameFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    std::string Folder() const { return root_.string() + "/"; }
    const std::vector<std::string>& Lines() const { return lines_; }
    std::uint64_t Bytes() const { return bytes_; }
    bool Ok() const { return ok_; }

  private:
    bool WriteLibraries() {
        for (const LibraryShape& shape : kShapes) {
            const std::vector<std::uint8_t> bytes = LibraryBytes(shape);
            for (int f = 0; f < shape.files; ++f) {
                const std::string name = shape.prefix + std::to_string(f) + ".DAT";
                ByteFile file((root_ / "Resdata" / name).string(), ByteFile::Mode::Create);
                if (!file.WriteAt(0, bytes.data(), bytes.size()) || !file.Close()) {
                    return false;
                }
                lines_.push_back("Resdata\\" + name);
                bytes_ += bytes.size();
            }
        }
        // The kinds interleaved, as a real list mixes them.
        std::vector<std::string> mixed;
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            mixed.push_back(lines_[(i * 7) % lines_.size()]);
        }
        lines_ = mixed;
        return true;
    }

    std::filesystem::path root_;
    std::vector<std::string> lines_;
    std::uint64_t bytes_ = 0;
    bool ok_ = false;
};

const GameFolder& TheGameFolder() {
    static const GameFolder folder;
    return folder;
}

void BM_CraftSearchNothingFound(benchmark::State& state) {
    const GameFolder& game = TheGameFolder();
    if (!game.Ok()) {
        state.SkipWithError("cannot write the libraries");
        return;
    }
    for (auto _ : state) {
        CraftPictures found = FindCraftPictures(game.Lines(), game.Folder(), 65000, 65000, 20999);
        benchmark::DoNotOptimize(found);
        if (found.hull || found.map || found.ship) {
            state.SkipWithError("a picture was found");
            break;
        }
    }
    state.counters["libraries"] = static_cast<double>(game.Lines().size());
    state.counters["MB"] = static_cast<double>(game.Bytes()) / 1e6;
}
BENCHMARK(BM_CraftSearchNothingFound)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
