#include "platform/qt_modal_stacking.h"

namespace vexlor {

AboveToolWindows::AboveToolWindows(QWidget& dialog) {
    if (!dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        raised_ = &dialog;
    }
}

AboveToolWindows::~AboveToolWindows() {
    if (raised_ != nullptr) {
        raised_->setWindowFlag(Qt::WindowStaysOnTopHint, false);
    }
}

}  // namespace vexlor
