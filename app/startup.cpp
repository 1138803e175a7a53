#include "app/startup.h"

#include <QApplication>
#include <QFileInfo>

#include "app/about_box.h"
#include "app/app_title.h"
#include "app/drawn_icons.h"
#include "app/kind_dialog.h"
#include "app/main_window.h"
#include "app/tool_window_placement.h"
#include "craft/windows/craft_preview_window.h"
#include "platform/folders.h"
#include "platform/game_folder_discovery.h"
#include "platform/game_registry.h"
#include "platform/program_path.h"
#include "platform/qt_single_instance.h"
#include "platform/qt_test_log.h"
#include "platform/qt_user_dialogs.h"
#include "platform/working_folder.h"
#include "resources/windows/resource_list_window.h"

namespace vexlor {
namespace {

// Relative on purpose: the configuration lives in the folder the program was started from.
constexpr char kConfigurationFile[] = "./vexlor.ini";

void DiscoverAppFolders(const char* argv0) {
    Folders folders = DiscoverFolders(ProgramFilePath(argv0), kConfigurationFile,
                                      [] { return ReadGameExecutable(); });
    folders.working = WorkingFolder(folders.program);
    SetAppFolders(folders);
}

// The library files named on the command line. They are made absolute here, against the folder
// this copy started in, because a running copy that is handed them works in another.
QStringList CommandLineLibraries() {
    QStringList paths;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        paths.append(QFileInfo(argument).absoluteFilePath());
    }
    return paths;
}

// Later copies of the program hand over to this one instead of starting; their library files
// open here as if named on this copy's command line.
void AnswerLaterCopies(SingleInstance& instance, MainWindow& mainWindow) {
    const bool listening = instance.Listen([&mainWindow](const QStringList& paths) {
        if (TestLogRequested()) {
            WriteTestLog(QStringLiteral("restore requested"));
        }
        mainWindow.BringToFront();
        mainWindow.OpenCommandLineLibraries(paths);
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
    const QStringList libraries = CommandLineLibraries();
    if (instance.HandOverToRunningCopy(libraries)) {
        return 0;
    }
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setWindowIcon(ApplicationIcon());

    QtUserDialogs dialogs;
    MainWindow mainWindow(dialogs);
    if (!mainWindow.SetUp()) {
        return 0;
    }
    AnswerLaterCopies(instance, mainWindow);

    // Owned by the main window, which outlives the event loop.
    auto* resourceListWindow = new ResourceListWindow(dialogs, &mainWindow);
    mainWindow.SetResourceListWindow(resourceListWindow);

    // A refused game executable ends the program here, before any further window.
    auto* previewWindow = new CraftPreviewWindow(dialogs, resourceListWindow->List(), &mainWindow);
    if (!previewWindow->ReadGameFiles()) {
        return 0;
    }
    mainWindow.SetPreviewWindow(previewWindow);

    // Settled in this order when the program is about to end.
    mainWindow.AddUnsavedWork(*resourceListWindow);
    mainWindow.AddUnsavedWork(*previewWindow);

    mainWindow.SetKindDialog(new KindDialog(dialogs, &mainWindow));
    mainWindow.SetAboutBox(new AboutBox(&mainWindow));

    PlaceAtRightEdge(*resourceListWindow);
    resourceListWindow->show();
    PlaceAtRightEdge(*previewWindow);
    mainWindow.show();
    mainWindow.OpenCommandLineLibraries(libraries);
    return QApplication::exec();
}

}  // namespace vexlor
