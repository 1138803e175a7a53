#pragma once

#include <QPointer>
#include <QWidget>

namespace vexlor {

// While it lives, `dialog` stands in the window system's top layer, where the tool windows
// stay, and as the window shown last it stands above them there; the questions that it asks
// in turn (such as a file dialog's own replace question) are its transient windows, which the
// window system keeps in its layer. The dialog gets its former flags back afterwards.
class AboveToolWindows {
  public:
    explicit AboveToolWindows(QWidget& dialog);
    ~AboveToolWindows();
    AboveToolWindows(const AboveToolWindows&) = delete;
    AboveToolWindows& operator=(const AboveToolWindows&) = delete;

  private:
    QPointer<QWidget> raised_;  // null when the dialog stood on top already
};

}  // namespace vexlor
