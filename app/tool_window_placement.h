#pragma once

#include <functional>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace vexlor {

// Puts a tool window at the right edge of the screen, its outer frame flush with the edge and
// its top at 80. A window manager may frame the window only after it is shown, and so change
// its outer width: the placement is kept up while that happens, the first time the window is
// shown, and then left to the user.
void PlaceAtRightEdge(QWidget& window);

// The tool windows stay on top of the program's other windows, and a window manager keeps them
// above the main window they belong to whatever their layer. While a modal dialog is open, or
// while something else asks for the whole view (the library browser), they are put away, so
// that none of them stands above it under any window manager; each comes back when that ends,
// where it was. A tool window that the open dialog belongs to stays: its dialog stands above it.
// A tool window shown or hidden by anyone else meanwhile is left as they left it.
class ToolWindowsGiveWay final : public QObject {
  public:
    explicit ToolWindowsGiveWay(QObject* parent = nullptr);

    void AddToolWindow(QWidget& window);
    // Asked at each change: true while the tool windows must give way beside modal dialogs.
    void SetWanted(std::function<bool()> wanted) { wanted_ = std::move(wanted); }
    // Looks again at once, as after a change that no event of a window tells.
    void Update();
    // From now on nothing is put away or brought back, as when the program ends.
    void Stop();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void UpdateSoon();
    bool MustGiveWay(const QWidget& window) const;

    std::vector<QPointer<QWidget>> windows_;
    std::vector<QPointer<QWidget>> putAway_;
    std::function<bool()> wanted_;
    bool changing_ = false;
    bool stopped_ = false;
    bool pending_ = false;
};

}  // namespace vexlor
