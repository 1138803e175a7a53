// Adding one picture to a library of 65,534 records, through the change journal, beside the
// system's own copy of the file with cp and sync, in the same run and on the same disk: into
// the library's group only the file's end grows; into a new group the table grows and the whole
// file is written anew.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "bench/big_hull_library.h"
#include "library/any_library_edit.h"
#include "library/change_journal.h"

namespace {

using namespace vexlor;
namespace fs = std::filesystem;

bench::BigHullLibrary& Library() {
    static bench::BigHullLibrary library(bench::BigHullLibrary::kPictures - 1);
    return library;
}

StoredPicture Picture() {
    IndexedImage image(32, 32, {0x010101, 0x2040FF, 0xFFFFFF});
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            image.SetIndex(x, y, static_cast<std::uint8_t>((x * y) % 3));
        }
    }
    StoredPicture stored;
    EncodeRunLength(image, stored);
    return stored;
}

void AddAndUndo(benchmark::State& state, RecordName name) {
    const std::string journal = (Library().Folder() / "journal").string();
    const StoredPicture picture = Picture();
    for (auto _ : state) {
        const AnyEditOutcome added = MakeAnyEdit(
            journal, Library().Path(),
            [&](const std::string& library) { return PlanAddRecord(library, name, picture); });
        state.PauseTiming();
        ChangeJournal taking(journal, Library().Path());
        JournalEntry undone;
        const bool back = taking.Undo(undone) == JournalResult::Done;
        state.ResumeTiming();
        if (!added.done || !back) {
            state.SkipWithError(added.done ? "undo failed" : added.message.c_str());
            break;
        }
    }
    state.counters["library_bytes"] = static_cast<double>(fs::file_size(Library().Path()));
}

void BM_AnyAddToItsGroupOf65534Records(benchmark::State& state) {
    AddAndUndo(state, {kHullGroupId, 65534});
}
BENCHMARK(BM_AnyAddToItsGroupOf65534Records)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_AnyAddInANewGroupBeside65534Records(benchmark::State& state) {
    AddAndUndo(state, {300, 1});
}
BENCHMARK(BM_AnyAddInANewGroupBeside65534Records)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_AnyCopyOfThatLibraryWithCpAndSync(benchmark::State& state) {
    const std::string copy = (Library().Folder() / "copy.dat").string();
    const std::string command =
        "cp '" + Library().Path() + "' '" + copy + "' && sync '" + copy + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("cp failed");
            break;
        }
    }
}
BENCHMARK(BM_AnyCopyOfThatLibraryWithCpAndSync)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
