#include "platform/qt_file_filters.h"

namespace vexlor {
namespace {

QString CaseInsensitivePattern(const QString& pattern) {
#ifdef Q_OS_WIN
    return pattern;
#else
    QString result;
    for (const QChar c : pattern) {
        if (c.toUpper() != c.toLower()) {
            result += QLatin1Char('[') + c.toUpper() + c.toLower() + QLatin1Char(']');
        } else {
            result += c;
        }
    }
    return result;
#endif
}

}  // namespace

QStringList QtNameFilters(const QList<FileFilter>& filters) {
    QStringList names;
    for (const FileFilter& filter : filters) {
        QStringList patterns;
        for (const QString& pattern : filter.patterns) {
            patterns << CaseInsensitivePattern(pattern);
        }
        names << filter.label + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                     QLatin1Char(')');
    }
    return names;
}

}  // namespace vexlor
