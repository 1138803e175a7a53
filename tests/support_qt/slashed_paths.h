#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

namespace vexlor::test {

// The program joins the names it makes with '/', Qt gives its own paths with '/', and the
// tests' paths come from std::filesystem, which joins with '\' on Windows: all name the same
// file there. Compared through these, paths are exact on Linux and free of the separator on
// Windows.
inline QString SlashedPath(const QString& path) {
    return QDir::fromNativeSeparators(path);
}

inline QStringList SlashedPaths(const QStringList& texts) {
    QStringList slashed;
    for (const QString& text : texts) {
        slashed.append(SlashedPath(text));
    }
    return slashed;
}

}  // namespace vexlor::test
