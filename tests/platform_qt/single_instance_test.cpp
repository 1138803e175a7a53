#include "platform/qt_single_instance.h"

#include <atomic>
#include <functional>
#include <string_view>
#include <thread>

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QLocalSocket>

namespace vexlor {
namespace {

using State = HandOverRequest::State;
using namespace std::string_view_literals;

const QStringList kPaths = {QStringLiteral("/home/pilot/Sauvegardes été/Mission 1.dat"),
                            QStringLiteral("/tmp/\u6a5f\u4f53/HULL.DAT"),
                            QStringLiteral("/a\nb/new\tline.dat")};

TEST(HandOverMessage, PathsReadBackAsSentAndFilesBeyondOneMessageGoInTheNext) {
    const QByteArray message = HandOverMessages(kPaths).value(0);
    const HandOverRequest request = ReadHandOverRequest(message + "restore\n");
    EXPECT_EQ(request.state, State::Open);
    EXPECT_EQ(request.length, message.size());
    EXPECT_EQ(request.paths, kPaths);
    for (qsizetype size = 0; size < message.size(); ++size) {
        EXPECT_EQ(ReadHandOverRequest(message.first(size)).state, State::Incomplete) << size;
    }
    EXPECT_EQ(ReadHandOverRequest(HandOverMessages({}).value(0) + "open").length, 8);

    const QStringList many(300, QStringLiteral("/") + QString(4000, QLatin1Char('a')));
    const QList<QByteArray> messages = HandOverMessages(many);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(ReadHandOverRequest(messages[0]).paths + ReadHandOverRequest(messages[1]).paths,
              many);
}

TEST(HandOverMessage, AnythingElseIsMalformed) {
    const std::string_view cases[] = {
        "hello\n"sv,         "restore \n"sv,         "open\n"sv,
        "open 1x\n"sv,       "open -5\n"sv,          "open 0\n"sv,
        "open 99999999\n"sv, "open 3\nabc"sv,        "open 2\n\0\0"sv,
        "open 4\n/a\0\0"sv,  "open 3\n\xff\xfe\0"sv, "open 3\n\xc3\0\0"sv,
        "open 5\nab\0\0\0"sv};
    for (const std::string_view bytes : cases) {
        const QByteArray message(bytes.data(), static_cast<qsizetype>(bytes.size()));
        EXPECT_EQ(ReadHandOverRequest(message).state, State::Malformed) << message.toHex().data();
    }
    // A first line that long is no request; a shorter one may still be coming.
    EXPECT_EQ(ReadHandOverRequest(QByteArray(40, 'x')).state, State::Malformed);
    EXPECT_EQ(ReadHandOverRequest(QByteArray(20, 'x')).state, State::Incomplete);
}

// A later copy in a thread of its own: the running copy answers from this thread's event loop.
void RunLaterCopy(const std::function<void()>& later) {
    std::atomic<bool> finished{false};
    std::thread thread([&later, &finished] {
        later();
        finished = true;
    });
    while (!finished) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    thread.join();
    QCoreApplication::processEvents();
}

TEST(SingleInstance, LaterCopiesHandOverTheirFilesAndGarbageIsIgnored) {
    const QString title = QStringLiteral("VexlorTest%1").arg(QCoreApplication::applicationPid());
    SingleInstance running(title);
    QList<QStringList> requests;
    ASSERT_TRUE(running.Listen([&requests](const QStringList& paths) { requests.append(paths); }));
    bool hungUp = false;
    RunLaterCopy([&running, &hungUp] {
        QLocalSocket socket;
        socket.connectToServer(running.ServerName());
        socket.write(QByteArray(100000, 'g'));
        socket.waitForBytesWritten(1000);
        hungUp = socket.waitForDisconnected(3000);
    });
    EXPECT_TRUE(hungUp);
    for (const QStringList& paths : {kPaths, QStringList{}}) {
        bool handedOver = false;
        RunLaterCopy([&title, &paths, &handedOver] {
            handedOver = SingleInstance(title).HandOverToRunningCopy(paths);
        });
        EXPECT_TRUE(handedOver);
    }
    EXPECT_EQ(requests, (QList<QStringList>{kPaths, {}}));
}

}  // namespace
}  // namespace vexlor
