#include "app/window_arrangement.h"

#include <algorithm>
#include <optional>

#include <QElapsedTimer>
#include <QEvent>
#include <QLayout>
#include <QList>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>

namespace vexlor {
namespace {

enum class Direction { Across, Down };

QList<QMdiSubWindow*> TileableWindows(const QMdiArea& area) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area.subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isHidden() && !window->isMinimized()) {
            windows.append(window);
        }
    }
    return windows;
}

// The smallest frame in which the window's buttons and lists still fit.
QSize SmallestSize(const QMdiSubWindow& window) {
    return window.minimumSizeHint().expandedTo(window.minimumSize());
}

int Along(QSize size, Direction direction) {
    return direction == Direction::Across ? size.width() : size.height();
}

int Crosswise(QSize size, Direction direction) {
    return direction == Direction::Across ? size.height() : size.width();
}

// Lengths that fill `length`: the windows that need more than an equal share get what they
// need, the others share the rest equally, the last of them taking what the division leaves.
// Where even the smallest lengths do not fit, each window gets its smallest.
QList<int> Shares(const QList<int>& smallest, int length) {
    const int count = static_cast<int>(smallest.size());
    QList<bool> fixed(count, false);
    int share = 0;
    for (bool changed = true; changed;) {
        changed = false;
        int rest = length;
        int flexible = 0;
        for (int i = 0; i < count; ++i) {
            if (fixed[i]) {
                rest -= smallest[i];
            } else {
                ++flexible;
            }
        }
        if (flexible == 0) {
            break;
        }
        share = rest / flexible;
        for (int i = 0; i < count; ++i) {
            if (!fixed[i] && smallest[i] > share) {
                fixed[i] = true;
                changed = true;
            }
        }
    }
    QList<int> lengths;
    int lastFlexible = -1;
    int total = 0;
    for (int i = 0; i < count; ++i) {
        lengths.append(fixed[i] ? smallest[i] : share);
        lastFlexible = fixed[i] ? lastFlexible : i;
        total += lengths.last();
    }
    if (lastFlexible >= 0 && total < length) {
        lengths[lastFlexible] += length - total;
    }
    return lengths;
}

// The area as it is without the scroll bars that an earlier arrangement may have left showing.
QSize FullSpace(const QMdiArea& area) {
    QSize space = area.viewport()->size();
    if (area.horizontalScrollBar()->isVisible()) {
        space.rheight() += area.horizontalScrollBar()->height();
    }
    if (area.verticalScrollBar()->isVisible()) {
        space.rwidth() += area.verticalScrollBar()->width();
    }
    return space;
}

// When the strips run past the area, the frame shows a scroll bar across their ends; the strips
// are made shorter by it, so that they stay whole in view crosswise.
int CrosswiseSpace(const QMdiArea& area, QSize space, Direction direction, int total) {
    int crosswise = Crosswise(space, direction);
    if (total > Along(space, direction)) {
        crosswise -= area.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &area);
    }
    return crosswise;
}

// The windows in creation order, as many to a line as fit along it at their smallest lengths.
QList<QList<QMdiSubWindow*>> PackedLines(const QList<QMdiSubWindow*>& windows, QSize space,
                                         Direction direction) {
    QList<QList<QMdiSubWindow*>> lines(1);
    int along = 0;
    for (QMdiSubWindow* window : windows) {
        const int length = Along(SmallestSize(*window), direction);
        if (!lines.last().isEmpty() && along + length > Along(space, direction)) {
            lines.append(QList<QMdiSubWindow*>());
            along = 0;
        }
        lines.last().append(window);
        along += length;
    }
    return lines;
}

// The smallest crosswise length of each line; nothing when the lines do not fit the area.
std::optional<QList<int>> LineDepths(const QList<QList<QMdiSubWindow*>>& lines, QSize space,
                                     Direction direction) {
    QList<int> depths;
    int total = 0;
    for (const QList<QMdiSubWindow*>& line : lines) {
        int along = 0;
        int depth = 0;
        for (const QMdiSubWindow* window : line) {
            along += Along(SmallestSize(*window), direction);
            depth = std::max(depth, Crosswise(SmallestSize(*window), direction));
        }
        if (along > Along(space, direction)) {
            return std::nullopt;
        }
        depths.append(depth);
        total += depth;
    }
    if (total > Crosswise(space, direction)) {
        return std::nullopt;
    }
    return depths;
}

void Place(QMdiSubWindow& window, Direction direction, int along, int crosswise, int length,
           int width) {
    if (window.isMaximized()) {
        window.showNormal();
    }
    if (direction == Direction::Across) {
        window.setGeometry(along, crosswise, length, width);
    } else {
        window.setGeometry(crosswise, along, width, length);
    }
}

bool InStatusBar(const QWidget* widget, const QWidget* top) {
    for (; widget != nullptr && widget != top; widget = widget->parentWidget()) {
        if (qobject_cast<const QStatusBar*>(widget) != nullptr) {
            return true;
        }
    }
    return false;
}

// How far along the window its lists and buttons reach at its present size: what lies beyond is
// margin, frame and status bar, which a neighbour may cover when space is short.
int ReachAlong(QMdiSubWindow& window, Direction direction) {
    window.layout()->activate();
    QWidget* content = window.widget();
    if (content == nullptr || content->layout() == nullptr) {
        return Along(window.size(), direction);
    }
    content->layout()->activate();
    int reach = 0;
    for (const QWidget* child : content->findChildren<QWidget*>()) {
        if (child->isHidden() || child->isWindow() || InStatusBar(child, content)) {
            continue;
        }
        const QPoint end = child->mapTo(&window, QPoint(child->width(), child->height()));
        reach = std::max(reach, direction == Direction::Across ? end.x() : end.y());
    }
    return std::min(reach, Along(window.size(), direction));
}

// Where the windows at their smallest lengths run past the line, each overlaps the next by a
// part of what lies beyond its lists and buttons, when that is enough; the later window stands
// above. Gives the starts along the line.
QList<int> Starts(const QList<QMdiSubWindow*>& windows, const QList<int>& lengths, int space,
                  Direction direction) {
    QList<int> starts;
    int total = 0;
    for (const int length : lengths) {
        starts.append(total);
        total += length;
    }
    const int overflow = total - space;
    if (overflow <= 0 || windows.size() < 2) {
        return starts;
    }
    QList<int> slack;
    int allSlack = 0;
    for (qsizetype i = 0; i + 1 < windows.size(); ++i) {
        slack.append(std::max(0, lengths.at(i) - ReachAlong(*windows.at(i), direction)));
        allSlack += slack.last();
    }
    if (allSlack < overflow) {
        return starts;
    }
    int overlapped = 0;
    int slackSoFar = 0;
    for (qsizetype i = 1; i < windows.size(); ++i) {
        slackSoFar += slack.at(i - 1);
        // Shared in proportion to each window's slack, rounded so that the shares add up.
        overlapped = static_cast<int>(static_cast<long long>(overflow) * slackSoFar / allSlack);
        starts[i] -= overlapped;
    }
    for (QMdiSubWindow* window : windows) {
        window->raise();
    }
    return starts;
}

// One line of strips at `crosswiseStart`, `crosswise` long across; the lengths along it are
// shared as Shares says.
void TileLine(const QMdiArea& area, const QList<QMdiSubWindow*>& windows, QSize space,
              Direction direction, int crosswiseStart, int crosswise, bool scrolls) {
    QList<int> smallest;
    for (const QMdiSubWindow* window : windows) {
        smallest.append(Along(SmallestSize(*window), direction));
    }
    const QList<int> lengths = Shares(smallest, Along(space, direction));
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows.at(i);
        const int across = std::max(crosswise, Crosswise(SmallestSize(*window), direction));
        Place(*window, direction, 0, crosswiseStart, lengths.at(i), across);
    }
    const QList<int> starts = Starts(windows, lengths, Along(space, direction), direction);
    const int total = starts.last() + lengths.last();
    if (scrolls) {
        crosswise = CrosswiseSpace(area, space, direction, total);
    }
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows.at(i);
        const int across = std::max(crosswise, Crosswise(SmallestSize(*window), direction));
        Place(*window, direction, starts.at(i), crosswiseStart, lengths.at(i), across);
    }
}

// One line when the windows fit along it; else as few lines as show every window whole, the
// lines sharing the crosswise space as the windows of a line share its length; else one line,
// its windows overlapping where only their margins meet, or scrolling.
void Tile(QMdiArea& area, const QList<QMdiSubWindow*>& windows, Direction direction) {
    if (windows.isEmpty()) {
        return;
    }
    const QSize space = FullSpace(area);
    const QList<QList<QMdiSubWindow*>> lines = PackedLines(windows, space, direction);
    const std::optional<QList<int>> depths = LineDepths(lines, space, direction);
    if (lines.size() < 2 || !depths) {
        TileLine(area, windows, space, direction, 0, Crosswise(space, direction), true);
        return;
    }
    const QList<int> crosswise = Shares(*depths, Crosswise(space, direction));
    int start = 0;
    for (qsizetype line = 0; line < lines.size(); ++line) {
        TileLine(area, lines.at(line), space, direction, start, crosswise.at(line), false);
        start += crosswise.at(line);
    }
}

// The windows at their own sizes in a row from the top left, when the row fits the area.
bool PlaceInARow(const QMdiArea& area, const QList<QMdiSubWindow*>& windows) {
    const QSize space = FullSpace(area);
    int width = 0;
    for (const QMdiSubWindow* window : windows) {
        width += window->width();
        if (window->height() > space.height()) {
            return false;
        }
    }
    if (width > space.width()) {
        return false;
    }
    int left = 0;
    for (QMdiSubWindow* window : windows) {
        window->move(left, 0);
        left += window->width();
    }
    return true;
}

// The first moments of the main window: the window manager maximises and frames it, and the
// area changes its size more than once. The arrangement follows until the user takes over.
class StartArrangement final : public QObject {
  public:
    StartArrangement(QMdiArea& area, const QList<QMdiSubWindow*>& windows)
        : QObject(&area), area_(area) {
        for (QMdiSubWindow* window : windows) {
            windows_.append(window);
            sizes_.append(window->size());
        }
        clock_.start();
        area.viewport()->installEventFilter(this);
        Arrange();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != area_.viewport()) {
            return false;
        }
        if (clock_.hasExpired(kSettlingTimeMs) || event->type() == QEvent::MouseButtonPress) {
            area_.viewport()->removeEventFilter(this);
            deleteLater();
        } else if (event->type() == QEvent::Resize) {
            Arrange();
        }
        return false;
    }

  private:
    static constexpr int kSettlingTimeMs = 1500;

    void Arrange() {
        QList<QMdiSubWindow*> windows;
        for (qsizetype i = 0; i < windows_.size(); ++i) {
            if (windows_.at(i) != nullptr && !windows_.at(i)->isHidden()) {
                windows_.at(i)->resize(sizes_.at(i));
                windows.append(windows_.at(i));
            }
        }
        if (windows.size() < 2 || PlaceInARow(area_, windows)) {
            return;
        }
        Tile(area_, windows, Direction::Across);
    }

    QMdiArea& area_;
    QList<QPointer<QMdiSubWindow>> windows_;
    QList<QSize> sizes_;
    QElapsedTimer clock_;
};

}  // namespace

void TileSideBySide(QMdiArea& area) {
    Tile(area, TileableWindows(area), Direction::Across);
}

void TileOneAboveAnother(QMdiArea& area) {
    Tile(area, TileableWindows(area), Direction::Down);
}

void ArrangeOpenedTogether(QMdiArea& area, const QList<QMdiSubWindow*>& windows) {
    new StartArrangement(area, windows);
}

}  // namespace vexlor
