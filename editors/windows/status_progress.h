#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QStatusBar;
class QWidget;

namespace vexlor {

// Progress of a long command in the main window's status bar. Nothing shows for work that ends
// within half a second; after that, every report repaints the line at once (the command runs on
// the user-interface thread, so no event loop runs meanwhile). The line is cleared at the end.
class StatusProgress {
  public:
    // `verb` starts the line: "Reading" gives "Reading 2048 of 65535 pictures".
    StatusProgress(QWidget* widget, QString verb);
    ~StatusProgress();
    StatusProgress(const StatusProgress&) = delete;
    StatusProgress& operator=(const StatusProgress&) = delete;

    void operator()(int done, int total);

  private:
    QPointer<QStatusBar> statusBar_;
    QString verb_;
    QElapsedTimer clock_;
    bool shown_ = false;
};

}  // namespace vexlor
