#include "library/mapped_view.h"

#include <cstring>
#include <limits>

#if !defined(_WIN32)
#include <setjmp.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#endif

namespace vexlor {

#if defined(_WIN32)

bool MappedView::Map(int, std::uint64_t) {
    return false;
}

void MappedView::Unmap() {}

bool MappedView::CopyOut(std::uint64_t, void*, std::size_t) {
    return false;
}

#else

namespace {

// The part of the file shown at a time: few mappings per walk, little of the file resident.
constexpr std::uint64_t kWindowBytes = 4 * 1024 * 1024;
// Reads of a walk worth a prefetch: a header or so, a few kilobytes apart.
constexpr std::uint64_t kLargestStep = 64 * 1024;
constexpr std::size_t kPrefetchedBytes = 256;

std::uint64_t PageBytes() {
    static const long page = ::sysconf(_SC_PAGESIZE);
    return page > 0 ? static_cast<std::uint64_t>(page) : 4096;
}

// The copy under way on this thread, whose bus error returns to it.
thread_local sigjmp_buf* guardedCopy = nullptr;
struct sigaction earlierAction {};

void OnBusError(int signal, siginfo_t* info, void* context) {
    if (guardedCopy != nullptr) {
        siglongjmp(*guardedCopy, 1);
    }
    // Not a copy of ours: as if this handler were not there.
    if ((earlierAction.sa_flags & SA_SIGINFO) != 0 && earlierAction.sa_sigaction != nullptr) {
        earlierAction.sa_sigaction(signal, info, context);
    } else if (earlierAction.sa_handler != SIG_DFL && earlierAction.sa_handler != SIG_IGN) {
        earlierAction.sa_handler(signal);
    } else {
        ::signal(SIGBUS, SIG_DFL);  // the faulting access, made again, takes its usual course
    }
}

// SA_NODEFER: the jump out of the handler restores no signal mask, so none may be left blocked.
bool InstallBusErrorGuard() {
    static const bool installed = [] {
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        return ::sigaction(SIGBUS, &action, &earlierAction) == 0;
    }();
    return installed;
}

// Free of objects with destructors, so that the jump out of the handler skips nothing.
bool GuardedCopy(void* to, const void* from, std::size_t count) {
    sigjmp_buf jump;
    if (sigsetjmp(jump, 0) != 0) {
        guardedCopy = nullptr;
        return false;
    }
    guardedCopy = &jump;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    std::memcpy(to, from, count);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    guardedCopy = nullptr;
    return true;
}

}  // namespace

bool MappedView::Map(int descriptor, std::uint64_t size) {
    Unmap();
    if (size == 0 || descriptor < 0) {
        return false;
    }
    if (!InstallBusErrorGuard()) {
        return false;  // unguarded, a view could stop the program
    }
    descriptor_ = descriptor;
    size_ = size;
    return true;
}

void MappedView::Unmap() {
    UnmapWindow();
    descriptor_ = -1;
    size_ = 0;
}

void MappedView::UnmapWindow() {
    if (window_ != nullptr) {
        ::munmap(const_cast<std::uint8_t*>(window_), windowLength_);
    }
    window_ = nullptr;
    windowStart_ = 0;
    windowLength_ = 0;
}

bool MappedView::MoveWindow(std::uint64_t offset, std::size_t count) {
    UnmapWindow();
    const std::uint64_t start = offset - offset % PageBytes();
    const std::uint64_t wanted = std::max<std::uint64_t>(kWindowBytes, offset + count - start);
    const std::uint64_t length = std::min(wanted, size_ - start);
    if (length > std::numeric_limits<std::size_t>::max() ||
        start > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
        return false;
    }
    void* bytes = ::mmap(nullptr, static_cast<std::size_t>(length), PROT_READ, MAP_SHARED,
                         descriptor_, static_cast<off_t>(start));
    if (bytes == MAP_FAILED) {
        return false;
    }
    window_ = static_cast<const std::uint8_t*>(bytes);
    windowStart_ = start;
    windowLength_ = static_cast<std::size_t>(length);
    return true;
}

bool MappedView::CopyOut(std::uint64_t offset, void* buffer, std::size_t count) {
    if (descriptor_ < 0 || offset > size_ || count > size_ - offset) {
        return false;
    }
    const bool inWindow = window_ != nullptr && offset >= windowStart_ &&
                          offset + count <= windowStart_ + windowLength_;
    if (!inWindow && !MoveWindow(offset, count)) {
        Unmap();
        return false;
    }
    PrefetchNextStep(offset, count);
    if (!GuardedCopy(buffer, window_ + (offset - windowStart_), count)) {
        Unmap();
        return false;
    }
    return true;
}

// A walk reads each record's header before it knows where the next one lies, so each read
// would wait for memory in turn. Records of a library mostly have one size: asked for one step
// early, the next header is on its way while this one is used.
void MappedView::PrefetchNextStep(std::uint64_t offset, std::size_t count) {
    const std::uint64_t previous = lastOffset_;
    lastOffset_ = offset;
    if (previous == 0 || offset <= previous || offset - previous > kLargestStep ||
        count > kPrefetchedBytes) {
        return;
    }
    const std::uint64_t next = offset + (offset - previous);
    if (next + count <= windowStart_ + windowLength_) {
#if defined(__GNUC__)
        const std::uint8_t* bytes = window_ + (next - windowStart_);
        __builtin_prefetch(bytes);
        __builtin_prefetch(bytes + count - 1);
#endif
    }
}

#endif

}  // namespace vexlor
