// The built program run as a process: what happens before and around its windows.
#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include "library/creation.h"
#include "tests/craft/craft_test_files.h"
#include "tests/support/test_files.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;

constexpr int kStartTimeoutMs = 20000;

QString Native(const fs::path& path) {
    return QString::fromStdString(path.string());
}

void WriteText(const fs::path& path, const std::string& text) {
    test::WriteFileBytes(path, test::Bytes(text.begin(), text.end()));
}

std::string ReadText(const fs::path& path) {
    const test::Bytes bytes = test::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// A copy of the program in a folder of its own, started from another folder, with no Wine
// prefix to find the game in and a socket folder of its own, so that no other run interferes.
class ProgramProcessTest : public ::testing::Test {
  protected:
    ProgramProcessTest() {
        for (const fs::path& folder :
             {Program(), Work(), Game(), Sockets(), temp_.Path() / "wine"}) {
            fs::create_directory(folder);
        }
        const char* built = std::getenv("VEXLOR_PROGRAM");
        if (built == nullptr) {
            throw std::runtime_error("VEXLOR_PROGRAM names no program");
        }
        fs::copy_file(built, ProgramFile());
        WriteText(Game() / "resdata.txt", "Resdata\\HULL.DAT\r\n");
        test::WriteFileBytes(Executable(), test::ExecutableBytes());
    }

    fs::path Program() const { return temp_.Path() / "program"; }
    fs::path ProgramFile() const { return Program() / "vexlor"; }
    fs::path Work() const { return temp_.Path() / "work"; }
    fs::path Game() const { return temp_.Path() / "game"; }
    fs::path Sockets() const { return temp_.Path() / "sockets"; }
    fs::path Executable() const { return Game() / "xwingalliance.exe"; }

    void NameGameFolder(const fs::path& workFolder) const {
        WriteText(workFolder / "vexlor.ini",
                  "[Folders]\r\nXWingAlliance=" + Game().string() + "/\r\n");
    }

    void Start(QProcess& process, const fs::path& workFolder,
               const QStringList& arguments = {}) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("VEXLOR_TEST_LOG", "1");
        environment.insert("WINEPREFIX", Native(temp_.Path() / "wine"));
        environment.insert("HOME", Native(temp_.Path()));
        environment.insert("TMPDIR", Native(Sockets()));
#ifdef _WIN32
        // There the socket is a named pipe named after the user: each test is a user of its own.
        environment.insert("USERNAME", Native(temp_.Path().filename()));
#endif
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(Native(workFolder));
        process.start(Native(ProgramFile()), arguments);
        ASSERT_TRUE(process.waitForStarted(kStartTimeoutMs));
    }

    // Reads the process's standard error until `line` has come or time is up.
    static bool WaitForLine(QProcess& process, QByteArray& seen, const QByteArray& line) {
        QElapsedTimer clock;
        clock.start();
        while (!seen.contains(line + '\n') && clock.elapsed() < kStartTimeoutMs) {
            process.waitForReadyRead(200);
            seen += process.readAllStandardError();
            if (process.state() == QProcess::NotRunning) {
                seen += process.readAllStandardError();
                break;
            }
        }
        return seen.contains(line + '\n');
    }

    static void Stop(QProcess& process) {
        process.kill();
        process.waitForFinished(kStartTimeoutMs);
    }

    test::TempDir temp_;
};

TEST_F(ProgramProcessTest, WithoutAGameFolderItBeepsTellsAndEndsWithZero) {
    WriteText(Work() / "vexlor.ini", "[Folders]\r\nXWingAlliance=C:\\\r\n");
    QProcess process;
    Start(process, Work());
    ASSERT_TRUE(process.waitForFinished(kStartTimeoutMs));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    const QByteArray log = process.readAllStandardError();
    EXPECT_TRUE(log.contains("beep\nmessage: Error: XWingAlliance not found\n")) << log.constData();
    EXPECT_FALSE(log.contains("listening"));
    // The value of three characters sent discovery to the registry, whose empty answer is kept.
    EXPECT_NE(ReadText(Work() / "vexlor.ini").find("XWingAlliance=\r\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(Program() / "OutPut"));
    EXPECT_FALSE(fs::exists(Program() / "Input"));
}

TEST_F(ProgramProcessTest, StartsWithTheWorkingFoldersBesideTheProgramNotInTheWorkFolder) {
    NameGameFolder(Work());
    QProcess process;
    Start(process, Work());
    QByteArray log;
    ASSERT_TRUE(WaitForLine(process, log, "listening")) << log.constData();
    EXPECT_TRUE(fs::is_directory(Program() / "OutPut"));
    EXPECT_TRUE(fs::is_directory(Program() / "Input"));
    EXPECT_FALSE(fs::exists(Work() / "OutPut"));
    // resdata.txt was there: no beep.
    EXPECT_FALSE(log.contains("beep"));
    Stop(process);
}

TEST_F(ProgramProcessTest, ASecondCopyHandsOverToTheFirstAndEndsWithZero) {
    NameGameFolder(Work());
    QProcess first;
    Start(first, Work());
    QByteArray firstLog;
    ASSERT_TRUE(WaitForLine(first, firstLog, "listening")) << firstLog.constData();

    // The second copy starts elsewhere, with no configuration: it runs discovery first.
    const fs::path elsewhere = temp_.Path() / "elsewhere";
    fs::create_directory(elsewhere);
    QProcess second;
    QElapsedTimer clock;
    clock.start();
    Start(second, elsewhere);
    ASSERT_TRUE(second.waitForFinished(kStartTimeoutMs));
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    const QByteArray secondLog = second.readAllStandardError();
    EXPECT_FALSE(secondLog.contains("message:")) << secondLog.constData();
    EXPECT_FALSE(secondLog.contains("listening"));
    EXPECT_TRUE(fs::exists(elsewhere / "vexlor.ini"));

    EXPECT_TRUE(WaitForLine(first, firstLog, "restore requested")) << firstLog.constData();
    EXPECT_EQ(first.state(), QProcess::Running);
    Stop(first);
}

// Named relative to the second copy's folder: the first finds the library only by a full path.
TEST_F(ProgramProcessTest, ASecondCopyHandsItsLibrariesToTheFirstWithFullPaths) {
    NameGameFolder(Work());
    QProcess first;
    Start(first, Work());
    QByteArray log;
    ASSERT_TRUE(WaitForLine(first, log, "listening")) << log.constData();
    const QString name = QStringLiteral("Mission \u00e9t\u00e9.dat");
    // Joined as UTF-8: a std::filesystem::path made from bytes would take them for another code.
    ASSERT_TRUE(CreateLibrary(LibraryKind::Mission, Game().string() + "/" + name.toStdString()));
    QProcess second;
    Start(second, Game(), {name, QStringLiteral("gone.dat")});
    ASSERT_TRUE(second.waitForFinished(kStartTimeoutMs));
    EXPECT_TRUE(WaitForLine(first, log, "message: Error: Unexpected file format : gone.dat"))
        << log.constData();
    EXPECT_EQ(log.count("message:"), 1) << log.constData();
    Stop(first);
}

TEST_F(ProgramProcessTest, ASocketLeftByACrashedCopyDoesNotStopTheNextStart) {
    NameGameFolder(Work());
    QProcess crashed;
    Start(crashed, Work());
    QByteArray log;
    ASSERT_TRUE(WaitForLine(crashed, log, "listening")) << log.constData();
    Stop(crashed);  // killed: its socket stays behind
#ifndef _WIN32
    // Windows keeps local sockets as named pipes, which leave no file behind.
    ASSERT_FALSE(fs::is_empty(Sockets()));
#endif

    QProcess next;
    Start(next, Work());
    QByteArray nextLog;
    EXPECT_TRUE(WaitForLine(next, nextLog, "listening")) << nextLog.constData();
    EXPECT_EQ(next.state(), QProcess::Running);
    Stop(next);
}

TEST_F(ProgramProcessTest, AGameExecutableThatIsMissingOrOfAnotherVersionEndsTheStartUp) {
    NameGameFolder(Work());
    test::Bytes otherVersion = test::ExecutableBytes();
    test::PutText(otherVersion, test::exe::kVersion, "2.01");
    for (const bool missing : {true, false}) {
        if (missing) {
            fs::remove(Executable());
        } else {
            test::WriteFileBytes(Executable(), otherVersion);
        }
        QProcess process;
        Start(process, Work());
        ASSERT_TRUE(process.waitForFinished(kStartTimeoutMs)) << missing;
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        const QByteArray log = process.readAllStandardError();
        EXPECT_TRUE(log.endsWith("beep\nmessage: Bad version: Need XWingAlliance 2.02\n"))
            << log.constData();
        // The main window had made the working folders before the Preview tool refused.
        EXPECT_TRUE(fs::is_directory(Program() / "OutPut"));
    }
    EXPECT_EQ(test::ReadFileBytes(Executable()), otherVersion);
}

}  // namespace
}  // namespace vexlor
