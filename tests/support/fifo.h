#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <thread>

namespace vexlor::test {

// A named pipe at `path` with a writer waiting on its other end. Should the code under test
// open the pipe for reading after all, the writer gets through at once and closes, so that
// reader sees an empty file instead of waiting for ever; the test then fails on what it saw,
// it does not hang. Going away, the pipe lets the writer through itself.
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
        // A reader that does not wait lets the blocked writer's open succeed.
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

}  // namespace vexlor::test
