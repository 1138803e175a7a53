#include "app/startup.h"

#include <QApplication>

#include "app/app_title.h"
#include "app/drawn_icons.h"
#include "app/tabout.h"
#include "app/tchoose.h"
#include "app/tmaster.h"
#include "app/tool_window_placement.h"
#include "platform/folders.h"
#include "platform/game_folder_discovery.h"
#include "platform/game_registry.h"
#include "platform/program_path.h"
#include "platform/qt_single_instance.h"
#include "platform/qt_test_log.h"
#include "platform/qt_user_dialogs.h"
#include "tools/ttool0.h"
#include "tools/ttool1.h"

namespace vexlor {
namespace {

// Relative on purpose: the configuration lives in the folder the program was started from.
constexpr char kConfigurationFile[] = "./vexlor.ini";

void DiscoverAppFolders(const char* argv0) {
    SetAppFolders(DiscoverFolders(ProgramFilePath(argv0), kConfigurationFile,
                                  [] { return ReadGameExecutable(); }));
}

// Later copies of the program hand over to this one instead of starting.
void AnswerLaterCopies(SingleInstance& instance, TMaster& master) {
    const bool listening = instance.Listen([&master] {
        if (TestLogRequested()) {
            WriteTestLog(QStringLiteral("restore requested"));
        }
        master.BringToFront();
    });
    if (listening && TestLogRequested()) {
        WriteTestLog(QStringLiteral("listening"));
    }
}

}  // namespace

int RunVexlor(int argc, char** argv) {
    DiscoverAppFolders(argc > 0 ? argv[0] : nullptr);
    // The single-instance test talks through a local socket, which wants the application object;
    // the title, by which a running copy is known, is given only after the test.
    QApplication application(argc, argv);

    SingleInstance instance(QString::fromLatin1(kApplicationTitle));
    if (instance.HandOverToRunningCopy()) {
        return 0;
    }
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setWindowIcon(ApplicationIcon());

    QtUserDialogs dialogs;
    TMaster master(dialogs);
    if (!master.FormCreate()) {
        return 0;
    }
    AnswerLaterCopies(instance, master);

    // Owned by the main window, which outlives the event loop.
    auto* resourceListWindow = new TTOOL0(dialogs, &master);
    master.SetResourceListWindow(resourceListWindow);

    // A refused game executable ends the program here, before any further window.
    auto* previewWindow = new TTOOL1(dialogs, resourceListWindow->List(), &master);
    if (!previewWindow->FormCreate()) {
        return 0;
    }
    master.SetPreviewWindow(previewWindow);

    // Settled in this order when the program is about to end.
    master.AddUnsavedWork(*resourceListWindow);
    master.AddUnsavedWork(*previewWindow);

    master.SetKindDialog(new TCHOOSE(dialogs, &master));
    master.SetAboutBox(new TAbout(&master));

    PlaceAtRightEdge(*resourceListWindow);
    resourceListWindow->show();
    PlaceAtRightEdge(*previewWindow);
    master.show();
    master.OpenCommandLineLibraries(QApplication::arguments().mid(1));
    return QApplication::exec();
}

}  // namespace vexlor
