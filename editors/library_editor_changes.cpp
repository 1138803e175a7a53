#include "editors/library_editor_logic.h"

namespace vexlor {

ChangeOutcome LibraryEditorLogic::DeletePictures(const std::vector<int>&) const {
    return {false, "Not built yet", "", -1};
}

ChangeOutcome LibraryEditorLogic::ReplacePicture(int, const IndexedImage&) const {
    return {false, "Not built yet", "", -1};
}

ChangeOutcome LibraryEditorLogic::UndoChange() const {
    return {false, "Not built yet", "", -1};
}

ChangeOutcome LibraryEditorLogic::RedoChange() const {
    return {false, "Not built yet", "", -1};
}

std::string LibraryEditorLogic::NextUndo() const {
    return {};
}

std::string LibraryEditorLogic::NextRedo() const {
    return {};
}

}  // namespace vexlor
