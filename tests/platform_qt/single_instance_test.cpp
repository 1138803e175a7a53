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

TEST(HandOverMessage, PathsReadBackAsSentWhateverTheirLetters) {
    const QList<QByteArray> messages = HandOverMessages(kPaths);
    ASSERT_EQ(messages.size(), 1);
    const HandOverRequest request = ReadHandOverRequest(messages[0] + "restore\n");
    EXPECT_EQ(request.state, State::Open);
    EXPECT_EQ(request.length, messages[0].size());
    EXPECT_EQ(request.paths, kPaths);
    // Every part of a message waits for the rest.
    for (qsizetype size = 0; size < messages[0].size(); ++size) {
        EXPECT_EQ(ReadHandOverRequest(messages[0].first(size)).state, State::Incomplete) << size;
    }
    EXPECT_EQ(HandOverMessages({}), QList<QByteArray>{"restore\n"});
    EXPECT_EQ(ReadHandOverRequest("restore\nopen").state, State::Restore);
    EXPECT_EQ(ReadHandOverRequest("restore\nopen").length, 8);
}

TEST(HandOverMessage, FilesBeyondOneMessageGoInTheNext) {
    QStringList paths;
    for (int i = 0; i < 300; ++i) {
        paths.append(QStringLiteral("/") +
                     QString(4000, QLatin1Char(static_cast<char>('a' + i % 26))));
    }
    const QList<QByteArray> messages = HandOverMessages(paths);
    ASSERT_EQ(messages.size(), 2);
    QStringList received;
    for (const QByteArray& message : messages) {
        const HandOverRequest request = ReadHandOverRequest(message);
        ASSERT_EQ(request.state, State::Open);
        received += request.paths;
    }
    EXPECT_EQ(received, paths);
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

// A running copy in this process, and later copies in threads of their own: the running copy
// answers only from the event loop, which the later copies' waiting would otherwise hold up.
class SingleInstanceTest : public ::testing::Test {
  protected:
    SingleInstanceTest()
        : title_(QStringLiteral("VexlorTest%1").arg(QCoreApplication::applicationPid())),
          running_(title_) {
        EXPECT_TRUE(running_.Listen([this](const QStringList& paths) { requests_.append(paths); }));
    }

    // Runs `later` in a thread of its own while this thread's event loop turns.
    static void RunLaterCopy(const std::function<void()>& later) {
        std::atomic<bool> finished{false};
        std::thread thread([&later, &finished] {
            later();
            finished = true;
        });
        while (!finished) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        thread.join();
        QCoreApplication::processEvents();  // the requests are handled from the event loop
    }
    bool HandOver(const QStringList& paths) {
        bool handedOver = false;
        RunLaterCopy([this, &paths, &handedOver] {
            SingleInstance copy(title_);
            handedOver = copy.HandOverToRunningCopy(paths);
        });
        return handedOver;
    }
    // True when the running copy hung up.
    bool SendRaw(const QByteArray& bytes) {
        bool hungUp = false;
        RunLaterCopy([this, &bytes, &hungUp] {
            QLocalSocket socket;
            socket.connectToServer(running_.ServerName());
            if (!socket.waitForConnected(1000)) {
                return;
            }
            socket.write(bytes);
            socket.waitForBytesWritten(1000);
            hungUp = socket.state() == QLocalSocket::UnconnectedState ||
                     socket.waitForDisconnected(3000);
        });
        return hungUp;
    }

    QString title_;
    SingleInstance running_;
    QList<QStringList> requests_;
};

TEST_F(SingleInstanceTest, ALaterCopyHandsOverItsFilesOrAPlainRestore) {
    EXPECT_TRUE(HandOver(kPaths));
    ASSERT_EQ(requests_.size(), 1);
    EXPECT_EQ(requests_[0], kPaths);
    requests_.clear();
    EXPECT_TRUE(HandOver({}));
    EXPECT_EQ(requests_, QList<QStringList>{QStringList{}});
}

TEST_F(SingleInstanceTest, GarbageIsIgnoredAndTheNextCopyIsStillAnswered) {
    EXPECT_TRUE(SendRaw(QByteArray("open 5\n\xff\xff\xff\xff\0", 12)));
    EXPECT_TRUE(SendRaw(QByteArray(100000, 'g')));
    EXPECT_TRUE(requests_.isEmpty());
    EXPECT_TRUE(HandOver({QStringLiteral("/x y/MAP.DAT")}));
    EXPECT_EQ(requests_, QList<QStringList>{QStringList{QStringLiteral("/x y/MAP.DAT")}});
}

}  // namespace
}  // namespace vexlor
