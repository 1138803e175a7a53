#pragma once

#include <optional>

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
    ProjectCommands(UserDialogs& dialogs, ProjectWindows& windows);

    void NewProject();
    void OpenProject();

  private:
    struct ChosenLibrary {
        ProjectKind kind;
        QString path;      // as the dialog gave it
        QString fileName;  // without folder
    };

    // The kind dialog, then the library dialog; nothing when either was cancelled or the file's
    // name is already open (the user has then been told).
    std::optional<ChosenLibrary> ChooseLibrary(const QString& command, bool creating);
    void OpenEditor(const ChosenLibrary& chosen, bool enterIntoResourceList);

    UserDialogs& dialogs_;
    ProjectWindows& windows_;
};

}  // namespace vexlor
