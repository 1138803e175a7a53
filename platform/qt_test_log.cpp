#include "platform/qt_test_log.h"

#include <cstdio>

#include <QtGlobal>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace vexlor {

namespace {

// The log's lines end in "\n" alone on every system, as the command line's do, so that what
// reads it needs no knowledge of where it ran.
void MakeStandardErrorBinary() {
#ifdef _WIN32
    static const bool binary = _setmode(_fileno(stderr), _O_BINARY) != -1;
    static_cast<void>(binary);
#endif
}

}  // namespace

bool TestLogRequested() {
    return qEnvironmentVariableIsSet("VEXLOR_TEST_LOG");
}

void WriteTestLog(const QString& line) {
    MakeStandardErrorBinary();
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

}  // namespace vexlor
