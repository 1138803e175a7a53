// The library browser adding one picture to a library of 65,534 records, in its group and in a
// new group, from choosing the file to the tree shown anew: the whole time, and the longest
// step the GUI thread took meanwhile (a timer due every millisecond measures the gaps between
// its turns), which must stay under 100 ms for the window to feel alive. Runs offscreen.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QImage>
#include <QTimer>

#include "bench/big_hull_library.h"
#include "browser/windows/library_browser_window.h"
#include "library/change_journal.h"
#include "platform/user_dialogs.h"

namespace {

using namespace vexlor;
using Clock = std::chrono::steady_clock;

// Answers every file dialog with one picture and accepts every dialog as it is offered.
class AcceptingDialogs final : public UserDialogs {
  public:
    explicit AcceptingDialogs(QString picture) : picture_(std::move(picture)) {}
    void ShowMessage(const QString& text, const QString&) override { lastMessage = text; }
    void Beep() override {}
    UnsavedChangesAnswer AskUnsavedChanges(const QString&, const QString&) override {
        return UnsavedChangesAnswer::Cancel;
    }
    bool Confirm(const QString&, const QString&) override { return true; }
    std::optional<QString> AskOpenFile(const FileDialogRequest&) override { return picture_; }
    std::optional<QString> AskSaveFile(const FileDialogRequest&) override { return {}; }
    std::optional<QString> AskFolder(const FolderDialogRequest&) override { return {}; }
    int RunModal(QDialog&) override { return QDialog::Accepted; }
    bool OpenWithShell(const QString&) override { return false; }

    QString lastMessage;

  protected:
    void BeginBusy() override {}
    void EndBusy() override {}

  private:
    QString picture_;
};

struct Setting {
    bench::BigHullLibrary library{bench::BigHullLibrary::kPictures - 1};
    QString picture;
    Setting() {
        const std::string state = (library.Folder() / "state").string();
        qputenv("XDG_STATE_HOME", QByteArray::fromStdString(state));
        QImage image(32, 32, QImage::Format_ARGB32);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                image.setPixel(x, y, qRgba(8 * x, 8 * y, 128, x < 4 ? 0 : 255));
            }
        }
        picture = QString::fromStdString((library.Folder() / "new.png").string());
        image.save(picture);
    }
};

Setting& TheSetting() {
    static Setting setting;
    return setting;
}

// Runs `click` from the event loop and turns the loop until the browser says the library
// changed; gives the longest gap between the turns of a timer due every millisecond.
double LongestStepDuring(LibraryBrowserWindow& window, void (LibraryBrowserWindow::*click)()) {
    QEventLoop loop;
    QObject::connect(&window, &LibraryBrowserWindow::LibraryChanged, &loop, &QEventLoop::quit);
    QTimer ticks;
    Clock::time_point last = Clock::now();
    double longest = 0.0;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        longest = std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
    });
    ticks.start(1);
    QTimer::singleShot(0, &window, [&] {
        last = Clock::now();
        (window.*click)();
    });
    loop.exec();
    const Clock::time_point now = Clock::now();
    return std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
}

void AddAndUndo(benchmark::State& state, void (LibraryBrowserWindow::*click)()) {
    Setting& setting = TheSetting();
    AcceptingDialogs dialogs(setting.picture);
    LibraryBrowserWindow window(QString::fromStdString(setting.library.Path()), dialogs);
    window.Reload();
    window.show();
    window.SelectRecord(0);
    double longest = 0.0;
    for (auto _ : state) {
        longest = std::max(longest, LongestStepDuring(window, click));
        state.PauseTiming();
        if (window.NextUndo().empty()) {
            state.SkipWithError(dialogs.lastMessage.toStdString().c_str());
            break;
        }
        window.UndoClick();
        window.SelectRecord(0);
        state.ResumeTiming();
    }
    state.counters["longest_gui_step_ms"] = longest;
}

void BM_BrowserAddToItsGroupOf65534Records(benchmark::State& state) {
    AddAndUndo(state, &LibraryBrowserWindow::AddPictureClick);
}
BENCHMARK(BM_BrowserAddToItsGroupOf65534Records)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_BrowserAddInANewGroupBeside65534Records(benchmark::State& state) {
    AddAndUndo(state, &LibraryBrowserWindow::NewGroupClick);
}
BENCHMARK(BM_BrowserAddInANewGroupBeside65534Records)->Unit(benchmark::kMillisecond)->Iterations(5);

// Walking the library anew and showing it: what follows every change.
void BM_BrowserReloadOf65534Records(benchmark::State& state) {
    Setting& setting = TheSetting();
    AcceptingDialogs dialogs(setting.picture);
    LibraryBrowserWindow window(QString::fromStdString(setting.library.Path()), dialogs);
    window.show();
    for (auto _ : state) {
        window.Reload();
    }
}
BENCHMARK(BM_BrowserReloadOf65534Records)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
