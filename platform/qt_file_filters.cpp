#include "platform/qt_file_filters.h"

namespace vexlor {

QStringList QtNameFilters(const QList<FileFilter>& filters) {
    QStringList names;
    for (const FileFilter& filter : filters) {
        names << filter.label + QStringLiteral(" (") + filter.patterns.join(QLatin1Char(' ')) +
                     QLatin1Char(')');
    }
    return names;
}

}  // namespace vexlor
