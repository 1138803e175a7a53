#pragma once

#include <functional>

#include <QByteArray>
#include <QLocalServer>
#include <QString>
#include <QStringList>

class QLocalSocket;

namespace vexlor {

// What a later copy sent, as far as the bytes received so far tell.
struct HandOverRequest {
    enum class State { Incomplete, Restore, Open, Malformed };
    State state = State::Incomplete;
    qsizetype length = 0;  // bytes of the message, for Restore and Open
    QStringList paths;     // for Open
};

// The messages a later copy sends: "restore\n" alone, or, with library files to open,
// "open LENGTH\n" followed by LENGTH bytes of UTF-8 paths, each ended by a zero byte. Paths
// cannot hold a zero byte, so any path the file system has goes through unchanged. Files beyond
// what one message takes go in further messages.
QList<QByteArray> HandOverMessages(const QStringList& paths);
// Reads the first message in `bytes`. A message over the size limit, a path that is empty or not
// UTF-8, or anything else unknown is Malformed.
HandOverRequest ReadHandOverRequest(const QByteArray& bytes);

// Keeps a second copy of the program from running. The running copy listens on a local socket
// named after the application title and the user; a later copy finds it there, asks it to bring
// its main window back and open the library files the later copy was given, and ends.
class SingleInstance {
  public:
    // Runs on the GUI thread for each request: `paths` is empty for a plain restore.
    using RequestHandler = std::function<void(const QStringList& paths)>;

    explicit SingleInstance(const QString& applicationTitle);
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when a running copy took the connection; it has then been asked to restore itself and
    // to open `paths`, which must be absolute: the running copy works in another folder.
    bool HandOverToRunningCopy(const QStringList& paths = {});
    // Starts answering later copies. A socket left behind by a copy that crashed is replaced.
    bool Listen(RequestHandler onRequest);

    const QString& ServerName() const { return serverName_; }

  private:
    bool RunningCopyAnswers() const;
    void AcceptConnections();
    void AnswerRequests(QLocalSocket& socket, QByteArray& received);

    QString serverName_;
    QLocalServer server_;
    RequestHandler onRequest_;
};

}  // namespace vexlor
