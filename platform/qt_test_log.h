#pragma once

#include <QString>

namespace vexlor {

// Test hook. When the environment variable VEXLOR_TEST_LOG is set, a process under test writes
// what the user would see or what it was asked by another copy to standard error, one line per
// event, and its message boxes do not wait for a click. Nothing else changes.
bool TestLogRequested();
void WriteTestLog(const QString& line);

}  // namespace vexlor
