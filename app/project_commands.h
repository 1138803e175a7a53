#pragma once

#include <optional>
#include <vector>

#include <QString>

#include "app/project_kind.h"

namespace vexlor {

class ProjectWindows;
class UserDialogs;

// New project and Open project: ask for a kind and a library file, refuse a file whose name is
// already open, create the library (New) or test its kind (Open), and hand it to a new editor
// window. New project also enters the library into the resource list.
class ProjectCommands {
  public:
    // What decides the kind of a file that more than one kind's test accepts.
    enum class AmbiguousKind { AskUser, TakeFirst };

    ProjectCommands(UserDialogs& dialogs, ProjectWindows& windows);

    void NewProject();
    void OpenProject();
    // Browse library...: asks for a file and shows it in a library browser.
    void BrowseLibrary();
    // Open project for a file named without its dialogs, as by a drop or a command line: the
    // kind whose test accepts the file, or, where several do, the one `ambiguous` says (the
    // first in the kind dialog's order). A ".dat" file that no kind accepts opens in a library
    // browser; any other such file gets Open project's refusal.
    void OpenLibraryFile(const QString& path, AmbiguousKind ambiguous);

  private:
    struct ChosenLibrary {
        ProjectKind kind;
        QString path;      // as the dialog gave it
        QString fileName;  // without folder
    };

    // The kind dialog, then the library dialog; nothing when either was cancelled or the file's
    // name is already open (the user has then been told).
    std::optional<ChosenLibrary> ChooseLibrary(const QString& command, bool creating);
    // Nothing when the kind dialog was cancelled; `accepting` are the kinds whose tests accept
    // the file.
    std::optional<ProjectKind> KindOfFile(const std::vector<ProjectKind>& accepting,
                                          AmbiguousKind ambiguous);
    // Open project's two refusals; false when the user has been told.
    bool IsNameFree(const QString& fileName);
    bool IsOfKind(const ChosenLibrary& chosen);
    void OpenEditor(const ChosenLibrary& chosen, bool enterIntoResourceList);

    UserDialogs& dialogs_;
    ProjectWindows& windows_;
};

}  // namespace vexlor
