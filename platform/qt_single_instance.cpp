#include "platform/qt_single_instance.h"

#include <QLocalSocket>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace vexlor {
namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr int kAnswerTimeoutMs = 3000;
const QByteArray kRestoreRequest = QByteArrayLiteral("restore\n");
const QByteArray kRestoreAnswer = QByteArrayLiteral("restored\n");

QString UserName() {
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

// Socket and pipe names are safest in plain letters and digits.
QString SafeName(const QString& text) {
    QString name;
    for (const QChar c : text) {
        name += (c.isLetterOrNumber() && c.unicode() < 128) ? c : QLatin1Char('_');
    }
    return name;
}

}  // namespace

SingleInstance::SingleInstance(const QString& applicationTitle)
    : serverName_(SafeName(applicationTitle) + QLatin1Char('-') + SafeName(UserName())) {}

bool SingleInstance::HandOverToRunningCopy() {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
        return false;
    }
    socket.write(kRestoreRequest);
    socket.waitForBytesWritten(kAnswerTimeoutMs);
    // The answer only lets the running copy finish before this one goes; a copy that is
    // connected but does not answer in time still counts as running.
    while (!socket.canReadLine() && socket.waitForReadyRead(kAnswerTimeoutMs)) {
    }
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::RunningCopyAnswers() const {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    return socket.waitForConnected(kConnectTimeoutMs);
}

bool SingleInstance::Listen(std::function<void()> onRestoreRequest) {
    onRestoreRequest_ = std::move(onRestoreRequest);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(serverName_)) {
        // A copy started at the same moment may have taken the name since the test; only a
        // name that nobody answers on is left over from a crash and may be taken away.
        if (RunningCopyAnswers()) {
            return false;
        }
        QLocalServer::removeServer(serverName_);
        if (!server_.listen(serverName_)) {
            return false;
        }
    }
    QObject::connect(&server_, &QLocalServer::newConnection, &server_,
                     [this] { AcceptConnections(); });
    return true;
}

void SingleInstance::AcceptConnections() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QLocalSocket::readyRead, socket,
                         [this, socket] { AnswerRequest(*socket); });
    }
}

void SingleInstance::AnswerRequest(QLocalSocket& socket) {
    while (socket.canReadLine()) {
        if (socket.readLine() == kRestoreRequest && onRestoreRequest_) {
            onRestoreRequest_();
            socket.write(kRestoreAnswer);
            socket.flush();
        }
    }
    if (socket.bytesAvailable() > kRestoreRequest.size()) {
        socket.abort();  // not one of ours
    }
}

}  // namespace vexlor
