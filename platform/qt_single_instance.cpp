#include "platform/qt_single_instance.h"

#include <algorithm>
#include <memory>
#include <optional>

#include <QLocalSocket>
#include <QStringDecoder>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace vexlor {
namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr int kAnswerTimeoutMs = 3000;
const QByteArray kRestoreRequest = QByteArrayLiteral("restore\n");
const QByteArray kOpenHeader = QByteArrayLiteral("open ");
const QByteArray kRestoreAnswer = QByteArrayLiteral("restored\n");
// Far more than any list of files a desktop hands over at once, and little enough to hold.
constexpr qsizetype kMaxPathBytes = 1024 * 1024;
// "open " and seven digits with room to spare: a longer first line is nobody's request.
constexpr qsizetype kMaxFirstLineBytes = 32;

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

QByteArray OpenMessage(const QByteArray& pathBytes) {
    return kOpenHeader + QByteArray::number(pathBytes.size()) + '\n' + pathBytes;
}

// The zero-ended paths of an open message; nothing when one is empty or not UTF-8.
std::optional<QStringList> DecodePaths(const QByteArray& bytes) {
    if (!bytes.endsWith('\0')) {
        return std::nullopt;
    }
    QStringList paths;
    for (const QByteArray& piece : bytes.chopped(1).split('\0')) {
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString path = decoder(piece);
        if (piece.isEmpty() || decoder.hasError()) {
            return std::nullopt;
        }
        paths.append(path);
    }
    return paths;
}

// The byte count after "open ": plain decimal digits, at least one path's worth, within the limit.
std::optional<qsizetype> OpenLength(const QByteArray& text) {
    const bool digitsOnly = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) {
        return c >= '0' && c <= '9';
    });
    bool ok = false;
    const qlonglong length = digitsOnly ? text.toLongLong(&ok) : 0;
    if (!ok || length < 2 || length > kMaxPathBytes) {
        return std::nullopt;
    }
    return static_cast<qsizetype>(length);
}

}  // namespace

QList<QByteArray> HandOverMessages(const QStringList& paths) {
    if (paths.isEmpty()) {
        return {kRestoreRequest};
    }
    QList<QByteArray> messages;
    QByteArray pathBytes;
    for (const QString& path : paths) {
        const QByteArray bytes = path.toUtf8() + '\0';
        if (path.isEmpty() || bytes.size() > kMaxPathBytes) {
            continue;  // no file has such a name
        }
        if (pathBytes.size() + bytes.size() > kMaxPathBytes) {
            messages.append(OpenMessage(pathBytes));
            pathBytes.clear();
        }
        pathBytes += bytes;
    }
    if (!pathBytes.isEmpty()) {
        messages.append(OpenMessage(pathBytes));
    }
    return messages.isEmpty() ? QList<QByteArray>{kRestoreRequest} : messages;
}

HandOverRequest ReadHandOverRequest(const QByteArray& bytes) {
    using State = HandOverRequest::State;
    const qsizetype lineEnd = bytes.indexOf('\n');
    if (lineEnd < 0 || lineEnd >= kMaxFirstLineBytes) {
        return {bytes.size() < kMaxFirstLineBytes ? State::Incomplete : State::Malformed, 0, {}};
    }
    const QByteArray firstLine = bytes.first(lineEnd + 1);
    if (firstLine == kRestoreRequest) {
        return {State::Restore, firstLine.size(), {}};
    }
    if (!firstLine.startsWith(kOpenHeader)) {
        return {State::Malformed, 0, {}};
    }
    const std::optional<qsizetype> length =
        OpenLength(firstLine.sliced(kOpenHeader.size()).chopped(1));
    if (!length) {
        return {State::Malformed, 0, {}};
    }
    if (bytes.size() - firstLine.size() < *length) {
        return {State::Incomplete, 0, {}};
    }
    std::optional<QStringList> paths = DecodePaths(bytes.sliced(firstLine.size(), *length));
    if (!paths) {
        return {State::Malformed, 0, {}};
    }
    return {State::Open, firstLine.size() + *length, std::move(*paths)};
}

SingleInstance::SingleInstance(const QString& applicationTitle)
    : serverName_(SafeName(applicationTitle) + QLatin1Char('-') + SafeName(UserName())) {}

bool SingleInstance::HandOverToRunningCopy(const QStringList& paths) {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
        return false;
    }
    const QList<QByteArray> messages = HandOverMessages(paths);
    for (const QByteArray& message : messages) {
        socket.write(message);
    }
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(kAnswerTimeoutMs)) {
    }
    // The answers only let the running copy finish before this one goes; a copy that is
    // connected but does not answer in time still counts as running.
    qsizetype answers = 0;
    while (answers < messages.size()) {
        if (socket.canReadLine()) {
            socket.readLine();
            ++answers;
        } else if (!socket.waitForReadyRead(kAnswerTimeoutMs)) {
            break;
        }
    }
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::RunningCopyAnswers() const {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    return socket.waitForConnected(kConnectTimeoutMs);
}

bool SingleInstance::Listen(RequestHandler onRequest) {
    onRequest_ = std::move(onRequest);
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
        auto received = std::make_shared<QByteArray>();
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket, received] {
            *received += socket->readAll();
            AnswerRequests(*socket, *received);
        });
    }
}

// Each request is answered at once and handled from the event loop, so that the later copy need
// not wait for what the request sets off, and dialogs it opens do not run inside this socket's
// signal. Anything that is not one of ours ends the connection.
void SingleInstance::AnswerRequests(QLocalSocket& socket, QByteArray& received) {
    for (;;) {
        HandOverRequest request = ReadHandOverRequest(received);
        if (request.state == HandOverRequest::State::Incomplete) {
            return;
        }
        if (request.state == HandOverRequest::State::Malformed) {
            received.clear();
            socket.abort();
            return;
        }
        received.remove(0, request.length);
        socket.write(kRestoreAnswer);
        socket.flush();
        if (onRequest_) {
            QMetaObject::invokeMethod(
                &server_,
                [handler = onRequest_, paths = std::move(request.paths)] { handler(paths); },
                Qt::QueuedConnection);
        }
    }
}

}  // namespace vexlor
