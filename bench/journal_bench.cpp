// The change journal on the largest HULL library: the undo of an append, which must feel
// instant (it cuts the file and rewrites 58 bytes), and the size of the append's entry.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/big_hull_library.h"
#include "editors/hull_map_editor_logic.h"

namespace {

using namespace vexlor;
namespace fs = std::filesystem;

IndexedImage HullPicture() {
    std::vector<Colour> palette(256, 0);
    for (unsigned i = 1; i < 256; ++i) {
        palette[i] = MakeColour(i, 255 - i, (i * 5u) & 0xFFu);
    }
    IndexedImage image(32, 32, palette);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            image.SetIndex(x, y, static_cast<std::uint8_t>((x * y) % 7));
        }
    }
    return image;
}

std::uint64_t JournalBytes(const fs::path& folder) {
    std::uint64_t total = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name.find(".done") != std::string::npos) {
            total += entry.file_size();
        }
    }
    return total;
}

void BM_UndoOfAnAppendTo65535Pictures(benchmark::State& state) {
    // The largest library holds no room for one more picture: take one out first.
    static bench::BigHullLibrary library;
    const fs::path journal = library.Folder() / "journal";
    HullMapEditorLogic logic(EditorKind::Hull, library.Path());
    logic.SetJournalFolder(journal.string());
    static bool made = [&] {
        return logic.DeletePictures({bench::BigHullLibrary::kPictures - 1}).done;
    }();
    if (!made) {
        state.SkipWithError("the last picture could not be deleted");
        return;
    }
    const IndexedImage picture = HullPicture();
    std::uint64_t entryBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(journal);
        if (logic.AppendPicture(picture, 4800).result != WriteResult::Ok) {
            state.SkipWithError("append failed");
            break;
        }
        entryBytes = JournalBytes(journal);
        state.ResumeTiming();
        if (!logic.UndoChange().done) {
            state.SkipWithError("undo failed");
            break;
        }
    }
    state.counters["entry_bytes"] = static_cast<double>(entryBytes);
    state.counters["library_bytes"] = static_cast<double>(fs::file_size(library.Path()));
}
BENCHMARK(BM_UndoOfAnAppendTo65535Pictures)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
