// Refresh of the library editor windows, from pressing the button to the first screen of rows
// drawn with their thumbnails: full-size HULL libraries and a large BATTLE/MISSION library of
// the three picture sizes. Runs offscreen. Reported beside the time: the process's peak resident
// memory while the Refreshes ran, and how far above what was resident before they took it.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QPixmap>

#include "editors/windows/hull_editor_window.h"
#include "editors/windows/mission_editor_window.h"
#include "library/byte_file.h"
#include "library/index_alpha.h"
#include "library/library_reader.h"
#include "library/records.h"
#include "library/run_length.h"
#include "platform/qt_user_dialogs.h"

namespace {

using namespace vexlor;

// One picture's record as the library stores it: the 62-byte header, palette, pixels.
struct PictureRecord {
    tIMAGE image;
    std::vector<std::uint8_t> body;  // palette and pixel bytes
};

IndexedImage Picture(int width, int height) {
    IndexedImage image(width, height,
                       {MakeColour(0, 0, 0), MakeColour(200, 40, 40), MakeColour(40, 200, 40),
                        MakeColour(40, 40, 200)});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool inside = x > width / 5 && x < 4 * width / 5 && y > height / 5;
            image.SetIndex(x, y, inside ? static_cast<std::uint8_t>(1 + (x / 7 + y / 5) % 3) : 0);
        }
    }
    return image;
}

PictureRecord Encoded(std::uint16_t format, int width, int height, std::uint16_t groupId) {
    tPIX pixels;
    tPAL palette;
    const IndexedImage picture = Picture(width, height);
    const bool encoded = format == kIndexAlphaFormat
                             ? BmpToIndexAlphaPicture(picture, width, height, pixels, palette)
                             : BmpToRlePicture(picture, width, height, pixels, palette);
    if (!encoded) {
        return {};
    }
    PictureRecord record;
    record.image = tIMAGE::Make(
        format, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), groupId, 0,
        static_cast<std::uint32_t>(palette.size()), static_cast<std::uint32_t>(pixels.size()));
    record.body = EncodePalette(palette);
    record.body.insert(record.body.end(), pixels.begin(), pixels.end());
    return record;
}

// A one-group library written a megabyte at a time, so that building it costs little memory.
class LibraryFile {
  public:
    using IdentifierOf = std::uint16_t (*)(int index, const PictureRecord*& record,
                                           const std::vector<PictureRecord>& sizes);

    LibraryFile(const char* name, LibraryKind kind, std::uint16_t groupId,
                const std::vector<PictureRecord>& sizes, int count, IdentifierOf identifierOf) {
        std::error_code error;
        folder_ = std::filesystem::temp_directory_path(error) /
                  ("vexlor-refresh-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_, error);
        path_ = (folder_ / name).string();
        ok_ = Write(kind, groupId, sizes, count, identifierOf);
    }
    ~LibraryFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
        std::filesystem::remove(folder_, ignored);
    }
    LibraryFile(const LibraryFile&) = delete;
    LibraryFile& operator=(const LibraryFile&) = delete;

    QString Path() const { return QString::fromStdString(path_); }
    bool Ok() const { return ok_; }

  private:
    static constexpr std::size_t kWriteBytes = std::size_t{1} << 20;

    bool Write(LibraryKind kind, std::uint16_t groupId, const std::vector<PictureRecord>& sizes,
               int count, IdentifierOf identifierOf) const {
        tHEADER header{};
        std::copy(kSignature.begin(), kSignature.end(), header.Signature);
        header.Reserved1 = 1;
        header.GroupCount = 1;
        header.ImageCount = static_cast<std::uint16_t>(count);
        header.LibraryKind = static_cast<std::uint32_t>(kind);
        header.GroupDataSize = tGROUP::kSize;
        ByteFile file(path_, ByteFile::Mode::Create);
        bool ok = file.IsOpen();
        std::uint64_t at = ImageDataStart(header);
        // Written in large pieces, as a library is copied or installed: the system then holds it
        // in memory as it holds a library read from the disk, not in record-sized pieces.
        std::vector<std::uint8_t> pending;
        const auto flush = [&] {
            ok = ok && file.WriteAt(at, pending.data(), pending.size());
            at += pending.size();
            pending.clear();
        };
        for (int index = 0; ok && index < count; ++index) {
            const PictureRecord* record = nullptr;
            const std::uint16_t identifier = identifierOf(index, record, sizes);
            tIMAGE image = record->image;
            image.PictureId = identifier;
            const auto bytes = image.Encode();
            ok = record->body.size() + tIMAGE::kSize == RecordBytes(image);
            pending.insert(pending.end(), bytes.begin(), bytes.end());
            pending.insert(pending.end(), record->body.begin(), record->body.end());
            if (pending.size() >= kWriteBytes || index + 1 == count) {
                flush();
            }
            header.ImageDataSize += static_cast<std::uint32_t>(RecordBytes(image));
            header.ColourCount += image.ColourCount;
        }
        tGROUP group{};
        group.GroupId = groupId;
        group.ImageCount = header.ImageCount;
        group.ImageDataSize = header.ImageDataSize;
        group.ColourCount = header.ColourCount;
        const auto headerBytes = header.Encode();
        const auto groupBytes = group.Encode();
        ok = ok && file.WriteAt(0, headerBytes.data(), headerBytes.size()) &&
             file.WriteAt(tHEADER::kSize, groupBytes.data(), groupBytes.size());
        return file.Close() && ok;
    }

    std::filesystem::path folder_;
    std::string path_;
    bool ok_ = false;
};

std::uint16_t HullIdentifier(int index, const PictureRecord*& record,
                             const std::vector<PictureRecord>& sizes) {
    record = &sizes.front();
    return static_cast<std::uint16_t>(index + 1);
}

// A third of each series, numbers running on within the series' range.
std::uint16_t MissionIdentifier(int index, const PictureRecord*& record,
                                const std::vector<PictureRecord>& sizes) {
    const int series = index % 3;
    record = &sizes[static_cast<std::size_t>(series)];
    const int number = index / 3;
    const int offsets[] = {2000, 1, 1000};
    const int limits[] = {100, 999, 1000};
    return static_cast<std::uint16_t>(offsets[series] + number % limits[series]);
}

double PeakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// A field of /proc/self/status ("VmRSS", "VmHWM") in megabytes; negative where there is none.
double StatusMegabytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string name;
    double kilobytes = 0;
    while (status >> name) {
        if (name == field + ":" && status >> kilobytes) {
            return kilobytes / 1024.0;
        }
        status.ignore(1 << 16, '\n');
    }
    return -1;
}

// Lets VmHWM start again from what is resident now, so that it measures the Refreshes alone.
bool ResetPeakResident() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

template <class Window>
void RefreshUntilDrawn(benchmark::State& state, const LibraryFile& library, int expectedRows) {
    if (!library.Ok()) {
        state.SkipWithError("cannot write the library in the temporary folder");
        return;
    }
    QtUserDialogs dialogs;
    Window window(library.Path(), dialogs);
    window.show();
    window.RefreshClick();  // the first list stands in the window, as when the user refreshes
    const double residentBefore = StatusMegabytes("VmRSS");
    const bool peakReset = ResetPeakResident();
    for (auto _ : state) {
        window.RefreshClick();
        const QPixmap drawn = window.grab();
        benchmark::DoNotOptimize(drawn.cacheKey());
    }
    if (window.StatusText() != QStringLiteral("%1 pictures").arg(expectedRows)) {
        state.SkipWithError("the list does not hold every picture");
    }
    state.counters["peak_rss_MB"] = PeakResidentMegabytes();
    const double peakDuring = StatusMegabytes("VmHWM");
    if (peakReset && residentBefore >= 0 && peakDuring >= 0) {
        state.counters["refresh_rise_MB"] = peakDuring - residentBefore;
    }
}

void BM_RefreshHull1000(benchmark::State& state) {
    static const LibraryFile library("hull1000.dat", LibraryKind::Hull, kHullGroupId,
                                     {Encoded(kIndexAlphaFormat, 32, 32, kHullGroupId)}, 1000,
                                     HullIdentifier);
    RefreshUntilDrawn<HullEditorWindow>(state, library, 1000);
}
BENCHMARK(BM_RefreshHull1000)->Unit(benchmark::kMillisecond);

void BM_RefreshHull65535(benchmark::State& state) {
    static const LibraryFile library("hull65535.dat", LibraryKind::Hull, kHullGroupId,
                                     {Encoded(kIndexAlphaFormat, 32, 32, kHullGroupId)}, 65535,
                                     HullIdentifier);
    RefreshUntilDrawn<HullEditorWindow>(state, library, 65535);
}
BENCHMARK(BM_RefreshHull65535)->Unit(benchmark::kMillisecond);

void BM_RefreshMission3000(benchmark::State& state) {
    static const LibraryFile library("mission3000.dat", LibraryKind::Mission, kMissionGroupId,
                                     {Encoded(kRunLengthFormat, 510, 260, kMissionGroupId),
                                      Encoded(kRunLengthFormat, 260, 260, kMissionGroupId),
                                      Encoded(kRunLengthFormat, 100, 75, kMissionGroupId)},
                                     3000, MissionIdentifier);
    RefreshUntilDrawn<MissionEditorWindow>(state, library, 3000);
}
BENCHMARK(BM_RefreshMission3000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
