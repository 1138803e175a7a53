#include "cli/terminal_progress.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#define VEXLOR_ISATTY _isatty
#define VEXLOR_FILENO _fileno
#else
#include <unistd.h>
#define VEXLOR_ISATTY isatty
#define VEXLOR_FILENO fileno
#endif

namespace vexlor::cli {

TerminalProgress::TerminalProgress(std::string verb)
    : verb_(std::move(verb)),
      terminal_(VEXLOR_ISATTY(VEXLOR_FILENO(stderr)) != 0),
      start_(std::chrono::steady_clock::now()) {}

TerminalProgress::~TerminalProgress() {
    if (shown_) {
        std::fputs("\n", stderr);
    }
}

void TerminalProgress::operator()(int done, int total) {
    using namespace std::chrono_literals;
    if (!terminal_ || std::chrono::steady_clock::now() - start_ < 500ms) {
        return;
    }
    shown_ = true;
    std::fprintf(stderr, "\r%s %d of %d pictures", verb_.c_str(), done, total);
    std::fflush(stderr);
}

}  // namespace vexlor::cli
