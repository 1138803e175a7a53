#include "platform/qt_test_log.h"

#include <cstdio>

#include <QtGlobal>

namespace vexlor {

bool TestLogRequested() {
    return qEnvironmentVariableIsSet("VEXLOR_TEST_LOG");
}

void WriteTestLog(const QString& line) {
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

}  // namespace vexlor
