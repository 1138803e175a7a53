#pragma once

// What some tests need of the system that only POSIX systems give: a limit on the size of the
// files a process writes, named pipes, symbolic links that any user may make. On Windows the
// tests that need them are skipped, with the reason, and the rest of their programs run.

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <thread>

#ifdef _WIN32
#define VEXLOR_POSIX_ONLY(what) GTEST_SKIP() << "needs " what ", which Windows has not"
#else
#define VEXLOR_POSIX_ONLY(what) static_cast<void>(0)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#endif

namespace vexlor::test {

#ifndef _WIN32
// Lowers the largest file size this process may write, for the life of the object, so that a
// write fails part of the way as on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
};

// A named pipe with a writer waiting on its other end, so that code opening it for reading by
// mistake gets an empty file at once and the test fails instead of hanging.
class WaitingFifo {
  public:
    explicit WaitingFifo(const std::filesystem::path& path) : path_(path) {
        if (::mkfifo(path_.c_str(), 0644) != 0) {
            throw std::runtime_error("cannot make a pipe at " + path_.string());
        }
        writer_ = std::thread([this] {
            const int descriptor = ::open(path_.c_str(), O_WRONLY);
            if (descriptor >= 0) {
                ::close(descriptor);
            }
        });
    }
    ~WaitingFifo() {
        // A reader that does not wait lets the writer's open through.
        const int reader = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
        writer_.join();
        if (reader >= 0) {
            ::close(reader);
        }
    }
    WaitingFifo(const WaitingFifo&) = delete;
    WaitingFifo& operator=(const WaitingFifo&) = delete;

  private:
    std::filesystem::path path_;
    std::thread writer_;
};
#else
// Never made on Windows: the tests that would make them are skipped first.
struct FileSizeLimit {
    explicit FileSizeLimit(unsigned long long) { throw std::logic_error("no file size limit"); }
};
struct WaitingFifo {
    explicit WaitingFifo(const std::filesystem::path&) { throw std::logic_error("no pipes"); }
};
#endif

}  // namespace vexlor::test
