#pragma once

#include <functional>

#include <QLocalServer>
#include <QString>

class QLocalSocket;

namespace vexlor {

// Keeps a second copy of the program from running. The running copy listens on a local socket
// named after the application title and the user; a later copy finds it there, asks it to bring
// its main window back, and ends.
class SingleInstance {
  public:
    explicit SingleInstance(const QString& applicationTitle);
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when a running copy took the connection; it has then been asked to restore itself.
    bool HandOverToRunningCopy();
    // Starts answering later copies; `onRestoreRequest` runs on the GUI thread for each one.
    // A socket left behind by a copy that crashed is replaced.
    bool Listen(std::function<void()> onRestoreRequest);

    const QString& ServerName() const { return serverName_; }

  private:
    bool RunningCopyAnswers() const;
    void AcceptConnections();
    void AnswerRequest(QLocalSocket& socket);

    QString serverName_;
    QLocalServer server_;
    std::function<void()> onRestoreRequest_;
};

}  // namespace vexlor
