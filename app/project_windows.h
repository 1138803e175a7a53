#pragma once

#include <QStringList>

#include "editors/kind_constants.h"

namespace vexlor {

class ResourceList;

// What the project commands reach in the main window and its neighbours: the kind dialog, the
// open editor windows, the resource list, and a new editor window for a library.
class ProjectWindows {
  public:
    virtual ~ProjectWindows() = default;

    // 0 when the user cancels, else the kind counted from 1.
    virtual int AskLibraryKind(const QString& caption) = 0;
    // The captions of the open editor windows, in the main window's order.
    virtual QStringList EditorCaptions() const = 0;
    // Nothing when there is no resource list.
    virtual ResourceList* Resources() = 0;

    // Creates the kind's editor window in the main window for the library at `path`, with
    // `caption`, not yet shown. The two calls after it go to this newest editor.
    virtual void CreateEditor(EditorKind kind, const QString& path, const QString& caption) = 0;
    virtual void RefreshNewEditor() = 0;
    virtual void ShowNewEditor() = 0;
    // Shows the library at `path` in a library browser: the open one, or a new one.
    virtual void OpenBrowser(const QString& path) = 0;
};

}  // namespace vexlor
