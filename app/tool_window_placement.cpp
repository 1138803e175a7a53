#include "app/tool_window_placement.h"

#include <algorithm>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
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

// Whether `dialog` belongs to `window`: a separate window, so the parents are followed across
// window boundaries.
bool BelongsTo(const QWidget* dialog, const QWidget& window) {
    for (const QWidget* widget = dialog; widget != nullptr; widget = widget->parentWidget()) {
        if (widget == &window) {
            return true;
        }
    }
    return false;
}

}  // namespace

void PlaceAtRightEdge(QWidget& window) {
    MoveToRightEdge(window);
    if (!window.isVisible() &&
        window.findChild<QObject*>(QStringLiteral("FramingWatch")) == nullptr) {
        new FramingWatch(window);
    }
}

ToolWindowsGiveWay::ToolWindowsGiveWay(QObject* parent) : QObject(parent) {
    // A modal dialog sends every window it blocks a blocked event, and an unblocked one when it
    // ends; the main window among them, whatever the dialog's modality.
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->installEventFilter(this);
    }
}

void ToolWindowsGiveWay::AddToolWindow(QWidget& window) {
    windows_.emplace_back(&window);
}

void ToolWindowsGiveWay::Stop() {
    stopped_ = true;
    putAway_.clear();
}

bool ToolWindowsGiveWay::MustGiveWay(const QWidget& window) const {
    if (const QWidget* modal = QApplication::activeModalWidget()) {
        return !BelongsTo(modal, window);
    }
    return wanted_ && wanted_();
}

void ToolWindowsGiveWay::Update() {
    if (stopped_) {
        return;
    }
    changing_ = true;
    for (const QPointer<QWidget>& window : windows_) {
        if (window == nullptr) {
            continue;
        }
        const auto away = std::find(putAway_.begin(), putAway_.end(), window);
        if (MustGiveWay(*window)) {
            if (window->isVisible() && away == putAway_.end()) {
                window->hide();
                putAway_.push_back(window);
            }
        } else if (away != putAway_.end()) {
            putAway_.erase(away);
            // Back where it was, leaving the focus where the user is.
            const bool activating = !window->testAttribute(Qt::WA_ShowWithoutActivating);
            window->setAttribute(Qt::WA_ShowWithoutActivating, true);
            window->show();
            window->setAttribute(Qt::WA_ShowWithoutActivating, !activating);
        }
    }
    changing_ = false;
}

// Dialogs often follow one another (a file dialog, then what the file is made into): the look
// is taken once they have settled, so that the tool windows do not flash between them.
void ToolWindowsGiveWay::UpdateSoon() {
    if (pending_ || stopped_) {
        return;
    }
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        pending_ = false;
        Update();
    });
}

bool ToolWindowsGiveWay::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::WindowBlocked:
        case QEvent::WindowUnblocked:
            UpdateSoon();
            break;
        case QEvent::Show:
            if (!changing_) {
                // Shown by the user or the program: no longer ours to bring back.
                putAway_.erase(std::remove_if(putAway_.begin(), putAway_.end(),
                                              [watched](const QPointer<QWidget>& window) {
                                                  return window.data() == watched;
                                              }),
                               putAway_.end());
            }
            break;
        default:
            break;
    }
    return false;
}

}  // namespace vexlor
