#include "app/tool_window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace vexlor {

namespace {
constexpr int kToolWindowTop = 80;
}  // namespace

void PlaceAtRightEdge(QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    window.move(screen->geometry().width() - window.frameGeometry().width(), kToolWindowTop);
}

}  // namespace vexlor
