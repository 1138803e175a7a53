#pragma once

#include <chrono>
#include <string>

namespace vexlor::cli {

// A progress line on standard error, rewritten in place, for work that takes more than half a
// second; only when standard error is a terminal, so scripts and logs never see it.
class TerminalProgress {
  public:
    explicit TerminalProgress(std::string verb);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void operator()(int done, int total);

  private:
    std::string verb_;
    bool terminal_ = false;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace vexlor::cli
