#pragma once

namespace vexlor {

// A window that may hold changes of the user's that are not written yet. Before anything would
// drop them (the program ending, a reload), it is asked to settle them with the user.
class UnsavedWork {
  public:
    virtual ~UnsavedWork() = default;

    // Nothing to do when there are no unsaved changes; otherwise asks Save, Discard or Cancel
    // and saves or drops them as answered. False when the changes are still there (Cancel, or
    // a Save that failed): whatever was about to drop them must not go ahead.
    virtual bool SettleUnsavedWork() = 0;
};

}  // namespace vexlor
