// "<- Add" on a SHIP library that already holds 253 pictures: the copy to SHIP.tmp, the
// rebuilt library and the swap, as the editor does it.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "editors/ship_editor_logic.h"
#include "library/creation.h"
#include "library/library_writer.h"

namespace {

using namespace vexlor;
namespace fs = std::filesystem;

// A 180 x 180 picture with a few colours and shapes, encoded to about the size of a real one.
IndexedImage ShipPicture(int seed) {
    std::vector<Colour> palette(256, 0);
    for (unsigned i = 1; i < 256; ++i) {
        palette[i] = MakeColour(i, (i * 7u + static_cast<unsigned>(seed)) & 0xFFu, 255 - i);
    }
    IndexedImage image(180, 180, palette);
    for (int y = 0; y < 180; ++y) {
        for (int x = 0; x < 180; ++x) {
            const bool body = (x - 90) * (x - 90) / 4 + (y - 90) * (y - 90) < 60 * 60;
            image.SetIndex(x, y,
                           body ? static_cast<std::uint8_t>(1 + (x * 3 + y + seed) % 200) : 0);
        }
    }
    return image;
}

class ShipLibraryFolder {
  public:
    ShipLibraryFolder() {
        folder_ = fs::temp_directory_path() / ("vexlor-ship-bench-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        base_ = (folder_ / "base.dat").string();
        CreateShipLibrary(base_);
        ShipEditorLogic logic(base_, (folder_ / "SHIP.tmp").string());
        logic.SetJournalFolder((folder_ / "journal").string());
        for (int k = 0; k < 253; ++k) {
            logic.AppendPicture(ShipPicture(k), 20001 + k);
        }
    }
    ~ShipLibraryFolder() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    ShipLibraryFolder(const ShipLibraryFolder&) = delete;
    ShipLibraryFolder& operator=(const ShipLibraryFolder&) = delete;

    const fs::path& Folder() const { return folder_; }
    const std::string& Base() const { return base_; }

  private:
    fs::path folder_;
    std::string base_;
};

void BM_ShipAppendTo253Pictures(benchmark::State& state) {
    static ShipLibraryFolder library;
    const std::string work = (library.Folder() / "SHIP.DAT").string();
    ShipEditorLogic logic(work, (library.Folder() / "SHIP.tmp").string());
    logic.SetJournalFolder((library.Folder() / "journal").string());
    const IndexedImage staged = ShipPicture(999);
    for (auto _ : state) {
        state.PauseTiming();
        fs::copy_file(library.Base(), work, fs::copy_options::overwrite_existing);
        state.ResumeTiming();
        if (logic.AppendPicture(staged, 20254).result != WriteResult::Ok) {
            state.SkipWithError("append failed");
            break;
        }
    }
    state.counters["library_bytes"] = static_cast<double>(fs::file_size(library.Base()));
}
BENCHMARK(BM_ShipAppendTo253Pictures)->Unit(benchmark::kMillisecond);

}  // namespace
