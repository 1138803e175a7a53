#include "app/tool_window_placement.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace vexlor {
namespace {

constexpr int kToolWindowTop = 80;
// Long enough for a window manager to frame a new window, short enough not to fight the user.
constexpr int kFramingTimeMs = 1000;

QPoint RightEdgePosition(const QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen != nullptr ? screen->geometry().width() : 0;
    return {screenWidth - window.frameGeometry().width(), kToolWindowTop};
}

void MoveToRightEdge(QWidget& window) {
    const QPoint wanted = RightEdgePosition(window);
    if (window.frameGeometry().topLeft() != wanted) {
        window.move(wanted);
    }
}

// Follows the window through its first showing and puts it back at the edge whenever the
// window system moves or frames it.
class FramingWatch final : public QObject {
  public:
    explicit FramingWatch(QWidget& window) : QObject(&window), window_(window) {
        setObjectName(QStringLiteral("FramingWatch"));
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &window_) {
            return false;
        }
        if (event->type() == QEvent::Show && !clock_.isValid()) {
            clock_.start();
        }
        if (clock_.isValid() && clock_.hasExpired(kFramingTimeMs)) {
            window_.removeEventFilter(this);
            deleteLater();
            return false;
        }
        if (clock_.isValid() && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                                 event->type() == QEvent::Show)) {
            MoveToRightEdge(window_);
        }
        return false;
    }

  private:
    QWidget& window_;
    QElapsedTimer clock_;
};

}  // namespace

void PlaceAtRightEdge(QWidget& window) {
    MoveToRightEdge(window);
    if (!window.isVisible() &&
        window.findChild<QObject*>(QStringLiteral("FramingWatch")) == nullptr) {
        new FramingWatch(window);
    }
}

}  // namespace vexlor
