// Loaded with LD_PRELOAD into a program under test, this counts the calls through which the
// program changes files and, at the call that VEXLOR_KILL_AT names, stops the process as a power
// cut would (SIGKILL: no buffers are flushed, nothing is cleaned up), or, at the call that
// VEXLOR_FAIL_AT names, makes that call fail with VEXLOR_FAIL_ERRNO (ENOSPC, EIO or a number)
// as a full or failing disk would, and lets the program go on.
//
// glibc's stdio reaches the system through internal entry points that no preloaded library can
// replace, so the std::FILE* calls that move bytes to the system (fopen for writing, fwrite,
// fflush, fclose) are counted themselves. Writes to standard input, output and error are not
// counted: they change no file of the user's.
//
// Each counted call that is hit is named on standard error ("vexlor-write-interposer: kill at 3:
// rename"), so that the driver learns which call it was and that the count was reached at all;
// a rename is named with the name it gives ("fail at 9: rename .../0000000002.done").
//
// With VEXLOR_WRITE_NAMES naming a file, every name that the program creates, truncates, renames
// or links to is appended to it, one a line, so that the driver can plant a link at each.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio_ext.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Plan {
    long killAt = 0;
    long failAt = 0;
    int failErrno = ENOSPC;
};

long NumberFromEnvironment(const char* name) {
    const char* text = std::getenv(name);
    return text == nullptr ? 0 : std::strtol(text, nullptr, 10);
}

int ErrnoFromEnvironment() {
    const char* text = std::getenv("VEXLOR_FAIL_ERRNO");
    if (text == nullptr || std::strcmp(text, "ENOSPC") == 0) {
        return ENOSPC;
    }
    if (std::strcmp(text, "EIO") == 0) {
        return EIO;
    }
    const long number = std::strtol(text, nullptr, 10);
    return number > 0 ? static_cast<int>(number) : ENOSPC;
}

const Plan& ThePlan() {
    static const Plan plan{NumberFromEnvironment("VEXLOR_KILL_AT"),
                           NumberFromEnvironment("VEXLOR_FAIL_AT"), ErrnoFromEnvironment()};
    return plan;
}

std::atomic<long> callCount{0};

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// Through the real write, so that the note itself is never counted; async-signal-safe.
void Note(const char* what, long number, const char* call, const char* name) {
    using WriteFunction = ssize_t (*)(int, const void*, size_t);
    static const auto realWrite = Next<WriteFunction>("write");
    char text[4200];
    const int length =
        std::snprintf(text, sizeof text, "vexlor-write-interposer: %s at %ld: %s%s%s\n", what,
                      number, call, name != nullptr ? " " : "", name != nullptr ? name : "");
    if (realWrite != nullptr && length > 0) {
        realWrite(2, text, std::min(static_cast<size_t>(length), sizeof text - 1));
    }
}

// Counts one call; true when this call is to fail (errno is then set). `name`: the file name the
// call gives, when the driver wants to know it.
bool Counted(const char* call, const char* name = nullptr) {
    const long number = ++callCount;
    const Plan& plan = ThePlan();
    if (number == plan.killAt) {
        Note("kill", number, call, name);
        raise(SIGKILL);
    }
    if (number == plan.failAt) {
        Note("fail", number, call, name);
        errno = plan.failErrno;
        return true;
    }
    return false;
}

// Through the real calls, so that the log itself is neither counted nor logged.
void RecordName(const char* path) {
    const char* log = std::getenv("VEXLOR_WRITE_NAMES");
    if (log == nullptr || path == nullptr) {
        return;
    }
    using OpenFunction = int (*)(const char*, int, ...);
    using WriteFunction = ssize_t (*)(int, const void*, size_t);
    using CloseFunction = int (*)(int);
    static const auto realOpen = Next<OpenFunction>("open");
    static const auto realWrite = Next<WriteFunction>("write");
    static const auto realClose = Next<CloseFunction>("close");
    const int descriptor = realOpen(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        return;
    }
    realWrite(descriptor, path, std::strlen(path));
    realWrite(descriptor, "\n", 1);
    realClose(descriptor);
}

bool IsStandardStream(int descriptor) {
    return descriptor >= 0 && descriptor <= 2;
}

// Streams that were opened for reading only change nothing when they are written or closed.
bool ChangesThrough(FILE* stream) {
    return stream != nullptr && __fwritable(stream) != 0 && !IsStandardStream(fileno(stream));
}

bool OpensForChange(int flags) {
    return (flags & (O_CREAT | O_TRUNC)) != 0;
}

bool StdioModeChanges(const char* mode) {
    return mode != nullptr &&
           (std::strchr(mode, 'w') != nullptr || std::strchr(mode, 'a') != nullptr);
}

mode_t ModeArgument(int flags, va_list arguments) {
    return OpensForChange(flags) || (flags & O_TMPFILE) == O_TMPFILE
               ? static_cast<mode_t>(va_arg(arguments, int))
               : 0;
}

}  // namespace

extern "C" {

ssize_t write(int descriptor, const void* buffer, size_t count) {
    static const auto real = Next<ssize_t (*)(int, const void*, size_t)>("write");
    if (!IsStandardStream(descriptor) && Counted("write")) {
        return -1;
    }
    return real(descriptor, buffer, count);
}

ssize_t pwrite(int descriptor, const void* buffer, size_t count, off_t offset) {
    static const auto real = Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    if (Counted("pwrite")) {
        return -1;
    }
    return real(descriptor, buffer, count, offset);
}

ssize_t pwrite64(int descriptor, const void* buffer, size_t count, off64_t offset) {
    static const auto real = Next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64");
    if (Counted("pwrite64")) {
        return -1;
    }
    return real(descriptor, buffer, count, offset);
}

ssize_t writev(int descriptor, const struct iovec* pieces, int count) {
    static const auto real = Next<ssize_t (*)(int, const struct iovec*, int)>("writev");
    if (!IsStandardStream(descriptor) && Counted("writev")) {
        return -1;
    }
    return real(descriptor, pieces, count);
}

int fsync(int descriptor) {
    static const auto real = Next<int (*)(int)>("fsync");
    return Counted("fsync") ? -1 : real(descriptor);
}

int syncfs(int descriptor) {
    static const auto real = Next<int (*)(int)>("syncfs");
    return Counted("syncfs") ? -1 : real(descriptor);
}

int fdatasync(int descriptor) {
    static const auto real = Next<int (*)(int)>("fdatasync");
    return Counted("fdatasync") ? -1 : real(descriptor);
}

int ftruncate(int descriptor, off_t length) {
    static const auto real = Next<int (*)(int, off_t)>("ftruncate");
    return Counted("ftruncate") ? -1 : real(descriptor, length);
}

int ftruncate64(int descriptor, off64_t length) {
    static const auto real = Next<int (*)(int, off64_t)>("ftruncate64");
    return Counted("ftruncate64") ? -1 : real(descriptor, length);
}

int truncate(const char* path, off_t length) {
    static const auto real = Next<int (*)(const char*, off_t)>("truncate");
    RecordName(path);
    return Counted("truncate") ? -1 : real(path, length);
}

int truncate64(const char* path, off64_t length) {
    static const auto real = Next<int (*)(const char*, off64_t)>("truncate64");
    RecordName(path);
    return Counted("truncate64") ? -1 : real(path, length);
}

int rename(const char* from, const char* to) {
    static const auto real = Next<int (*)(const char*, const char*)>("rename");
    RecordName(to);
    return Counted("rename", to) ? -1 : real(from, to);
}

int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    static const auto real = Next<int (*)(int, const char*, int, const char*)>("renameat");
    RecordName(to);
    return Counted("renameat", to) ? -1 : real(fromFolder, from, toFolder, to);
}

int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags) {
    static const auto real =
        Next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
    RecordName(to);
    return Counted("renameat2", to) ? -1 : real(fromFolder, from, toFolder, to, flags);
}

int unlink(const char* path) {
    static const auto real = Next<int (*)(const char*)>("unlink");
    return Counted("unlink") ? -1 : real(path);
}

int unlinkat(int folder, const char* path, int flags) {
    static const auto real = Next<int (*)(int, const char*, int)>("unlinkat");
    return Counted("unlinkat") ? -1 : real(folder, path, flags);
}

int remove(const char* path) {
    static const auto real = Next<int (*)(const char*)>("remove");
    return Counted("remove") ? -1 : real(path);
}

int open(const char* path, int flags, ...) {
    static const auto real = Next<int (*)(const char*, int, ...)>("open");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    if (OpensForChange(flags)) {
        RecordName(path);
    }
    if (OpensForChange(flags) && Counted("open")) {
        return -1;
    }
    return real(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    static const auto real = Next<int (*)(const char*, int, ...)>("open64");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    if (OpensForChange(flags)) {
        RecordName(path);
    }
    if (OpensForChange(flags) && Counted("open64")) {
        return -1;
    }
    return real(path, flags, mode);
}

int openat(int folder, const char* path, int flags, ...) {
    static const auto real = Next<int (*)(int, const char*, int, ...)>("openat");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    if (OpensForChange(flags)) {
        RecordName(path);
    }
    if (OpensForChange(flags) && Counted("openat")) {
        return -1;
    }
    return real(folder, path, flags, mode);
}

int openat64(int folder, const char* path, int flags, ...) {
    static const auto real = Next<int (*)(int, const char*, int, ...)>("openat64");
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    if (OpensForChange(flags)) {
        RecordName(path);
    }
    if (OpensForChange(flags) && Counted("openat64")) {
        return -1;
    }
    return real(folder, path, flags, mode);
}

int creat(const char* path, mode_t mode) {
    static const auto real = Next<int (*)(const char*, mode_t)>("creat");
    RecordName(path);
    return Counted("creat") ? -1 : real(path, mode);
}

// A new name for a file (a backup put in place without replacing anything): logged, not
// counted, since no content changes.
int link(const char* from, const char* to) {
    static const auto real = Next<int (*)(const char*, const char*)>("link");
    RecordName(to);
    return real(from, to);
}

FILE* fopen(const char* path, const char* mode) {
    static const auto real = Next<FILE* (*)(const char*, const char*)>("fopen");
    if (StdioModeChanges(mode)) {
        RecordName(path);
    }
    return StdioModeChanges(mode) && Counted("fopen") ? nullptr : real(path, mode);
}

FILE* fopen64(const char* path, const char* mode) {
    static const auto real = Next<FILE* (*)(const char*, const char*)>("fopen64");
    if (StdioModeChanges(mode)) {
        RecordName(path);
    }
    return StdioModeChanges(mode) && Counted("fopen64") ? nullptr : real(path, mode);
}

size_t fwrite(const void* buffer, size_t size, size_t count, FILE* stream) {
    static const auto real = Next<size_t (*)(const void*, size_t, size_t, FILE*)>("fwrite");
    if (ChangesThrough(stream) && size != 0 && count != 0 && Counted("fwrite")) {
        return 0;
    }
    return real(buffer, size, count, stream);
}

int fflush(FILE* stream) {
    static const auto real = Next<int (*)(FILE*)>("fflush");
    if (ChangesThrough(stream) && Counted("fflush")) {
        return EOF;
    }
    return real(stream);
}

// A failed close still closes: the stream is gone either way, as with the system's.
int fclose(FILE* stream) {
    static const auto real = Next<int (*)(FILE*)>("fclose");
    if (ChangesThrough(stream) && Counted("fclose")) {
        const int reason = errno;
        real(stream);
        errno = reason;
        return EOF;
    }
    return real(stream);
}

}  // extern "C"
