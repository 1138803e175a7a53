#include "app/project_commands.h"

#include <string>

#include <QFile>
#include <QFileInfo>

#include "app/project_rules.h"
#include "app/project_windows.h"
#include "editors/library_editor_logic.h"
#include "library/creation.h"
#include "platform/folders.h"
#include "platform/path_resolver.h"
#include "platform/state_folder.h"
#include "platform/user_dialogs.h"

namespace vexlor {
namespace {

const QString kErrorCaption = QStringLiteral("Error");
const QString kOpenCommand = QStringLiteral("Open project");
constexpr int kKindCount = 4;

FileDialogRequest LibraryDialogRequest(const ProjectKind& kind, bool creating) {
    FileDialogRequest request;
    request.title = creating ? QStringLiteral("New DAT file") : QStringLiteral("Open DAT file");
    request.folder = QFile::decodeName(ResolvePath(AppFolders().game, "resdata").c_str());
    request.fileName.clear();
    request.filters = LibraryDialogFilters();
    request.filterIndex = kind.filterIndex;
    request.defaultSuffix = QStringLiteral("dat");
    request.mustExist = !creating;
    request.confirmOverwrite = creating;
    request.changeCurrentFolder = false;
    return request;
}

FileDialogRequest BrowseDialogRequest() {
    FileDialogRequest request;
    request.title = QStringLiteral("Browse library");
    request.folder = QFile::decodeName(ResolvePath(AppFolders().game, "resdata").c_str());
    request.filters = LibraryDialogFilters();
    request.filterIndex = 1;
    request.defaultSuffix = QStringLiteral("dat");
    request.mustExist = true;
    request.changeCurrentFolder = false;
    return request;
}

// The path as the library functions take it. It keeps the letter case as chosen: where file
// names tell case apart, the editor must open the very file that was created or tested.
std::string LibraryFilePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

std::vector<ProjectKind> AcceptingKinds(const QString& path) {
    std::vector<ProjectKind> accepting;
    for (int number = 1; number <= kKindCount; ++number) {
        const std::optional<ProjectKind> kind = ProjectKindOf(number);
        if (kind && IsLibraryOfKind(kind->library, LibraryFilePath(path))) {
            accepting.push_back(*kind);
        }
    }
    return accepting;
}

// A file of this format that no editor takes is still worth a look: the browser shows any
// library, and what is wrong with it.
bool IsBrowsable(const QString& path) {
    const QFileInfo file(path);
    return file.isFile() && file.suffix().compare(QStringLiteral("dat"), Qt::CaseInsensitive) == 0;
}

}  // namespace

ProjectCommands::ProjectCommands(UserDialogs& dialogs, ProjectWindows& windows)
    : dialogs_(dialogs), windows_(windows) {}

void ProjectCommands::NewProject() {
    const std::optional<ChosenLibrary> chosen = ChooseLibrary(QStringLiteral("New project"), true);
    if (!chosen) {
        return;
    }
    if (!CreateLibraryRecorded(chosen->kind.library, LibraryFilePath(chosen->path),
                               JournalFolder())) {
        dialogs_.Beep();
        return;
    }
    OpenEditor(*chosen, true);
}

void ProjectCommands::OpenProject() {
    const std::optional<ChosenLibrary> chosen = ChooseLibrary(kOpenCommand, false);
    if (chosen && IsOfKind(*chosen)) {
        OpenEditor(*chosen, false);
    }
}

void ProjectCommands::BrowseLibrary() {
    const std::optional<QString> path = dialogs_.AskOpenFile(BrowseDialogRequest());
    if (path) {
        windows_.OpenBrowser(QFileInfo(*path).absoluteFilePath());
    }
}

void ProjectCommands::OpenLibraryFile(const QString& path, AmbiguousKind ambiguous) {
    const std::vector<ProjectKind> accepting = AcceptingKinds(path);
    if (accepting.empty() && IsBrowsable(path)) {
        windows_.OpenBrowser(QFileInfo(path).absoluteFilePath());
        return;
    }
    const QString fileName = QFileInfo(path).fileName();
    if (!IsNameFree(fileName)) {
        return;
    }
    const std::optional<ProjectKind> kind = KindOfFile(accepting, ambiguous);
    if (!kind) {
        return;
    }
    const ChosenLibrary chosen{*kind, QFileInfo(path).absoluteFilePath(), fileName};
    if (IsOfKind(chosen)) {
        OpenEditor(chosen, false);
    }
}

// A dropped file that no kind accepts (and no browser shows) is asked about as one that several
// kinds accept: the user may know what it is meant to be, and the kind's test then has the last
// word. A file named on the command line takes the first kind without a question.
std::optional<ProjectKind> ProjectCommands::KindOfFile(const std::vector<ProjectKind>& accepting,
                                                       AmbiguousKind ambiguous) {
    if (ambiguous == AmbiguousKind::TakeFirst) {
        return accepting.empty() ? ProjectKindOf(1) : accepting.front();
    }
    if (accepting.size() == 1) {
        return accepting.front();
    }
    return ProjectKindOf(windows_.AskLibraryKind(kOpenCommand));
}

bool ProjectCommands::IsNameFree(const QString& fileName) {
    const QString bracketed = QStringLiteral("(") + fileName + QStringLiteral(")");
    if (!IsLibraryOpen(windows_.EditorCaptions(), bracketed)) {
        return true;
    }
    dialogs_.Beep();
    dialogs_.ShowMessage(QStringLiteral("Already opened ") + bracketed, kErrorCaption);
    return false;
}

bool ProjectCommands::IsOfKind(const ChosenLibrary& chosen) {
    if (IsLibraryOfKind(chosen.kind.library, LibraryFilePath(chosen.path))) {
        return true;
    }
    dialogs_.Beep();
    dialogs_.ShowMessage(QStringLiteral("Unexpected file format : ") + chosen.fileName,
                         kErrorCaption);
    return false;
}

std::optional<ProjectCommands::ChosenLibrary> ProjectCommands::ChooseLibrary(const QString& command,
                                                                             bool creating) {
    const std::optional<ProjectKind> kind = ProjectKindOf(windows_.AskLibraryKind(command));
    if (!kind) {
        return std::nullopt;
    }
    const FileDialogRequest request = LibraryDialogRequest(*kind, creating);
    const std::optional<QString> path =
        creating ? dialogs_.AskSaveFile(request) : dialogs_.AskOpenFile(request);
    if (!path) {
        return std::nullopt;
    }
    const QString fileName = QFileInfo(*path).fileName();
    if (!IsNameFree(fileName)) {
        return std::nullopt;
    }
    return ChosenLibrary{*kind, *path, fileName};
}

void ProjectCommands::OpenEditor(const ChosenLibrary& chosen, bool enterIntoResourceList) {
    windows_.CreateEditor(chosen.kind.editor, chosen.path,
                          EditorCaptionOf(chosen.kind, chosen.fileName));
    ResourceList* resources = windows_.Resources();
    if (enterIntoResourceList && resources != nullptr) {
        EnterIntoResourceList(*resources, QFile::encodeName(chosen.fileName).toStdString());
    }
    {
        BusyCursor busy(dialogs_);
        windows_.RefreshNewEditor();
    }
    windows_.ShowNewEditor();
}

}  // namespace vexlor
