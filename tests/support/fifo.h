#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <thread>

namespace vexlor::test {

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

}  // namespace vexlor::test
