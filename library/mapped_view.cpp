#include "library/mapped_view.h"

#include <cstring>
#include <limits>

#if !defined(_WIN32)
#include <setjmp.h>
#include <signal.h>
#include <sys/mman.h>

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
    if (size == 0 || size > std::numeric_limits<std::size_t>::max()) {
        return false;
    }
    if (!InstallBusErrorGuard()) {
        return false;  // unguarded, a view could stop the program
    }
    void* bytes =
        ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_SHARED, descriptor, 0);
    if (bytes == MAP_FAILED) {
        return false;
    }
    bytes_ = static_cast<const std::uint8_t*>(bytes);
    size_ = size;
    return true;
}

void MappedView::Unmap() {
    if (bytes_ != nullptr) {
        ::munmap(const_cast<std::uint8_t*>(bytes_), static_cast<std::size_t>(size_));
    }
    bytes_ = nullptr;
    size_ = 0;
}

bool MappedView::CopyOut(std::uint64_t offset, void* buffer, std::size_t count) {
    if (bytes_ == nullptr || offset > size_ || count > size_ - offset) {
        return false;
    }
    if (!GuardedCopy(buffer, bytes_ + offset, count)) {
        Unmap();
        return false;
    }
    return true;
}

#endif

}  // namespace vexlor
