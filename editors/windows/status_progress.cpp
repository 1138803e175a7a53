#include "editors/windows/status_progress.h"

#include <QMainWindow>
#include <QStatusBar>
#include <QWidget>

namespace vexlor {

namespace {

constexpr qint64 kQuietMilliseconds = 500;

QStatusBar* MainStatusBar(QWidget* widget) {
    auto* main = widget != nullptr ? qobject_cast<QMainWindow*>(widget->window()) : nullptr;
    return main != nullptr ? main->statusBar() : nullptr;
}

}  // namespace

StatusProgress::StatusProgress(QWidget* widget, QString verb)
    : statusBar_(MainStatusBar(widget)), verb_(std::move(verb)) {
    clock_.start();
}

StatusProgress::~StatusProgress() {
    if (shown_ && statusBar_) {
        statusBar_->clearMessage();
    }
}

void StatusProgress::operator()(int done, int total) {
    if (!statusBar_ || clock_.elapsed() < kQuietMilliseconds) {
        return;
    }
    shown_ = true;
    statusBar_->showMessage(QStringLiteral("%1 %2 of %3 pictures").arg(verb_).arg(done).arg(total));
    statusBar_->repaint();
}

}  // namespace vexlor
