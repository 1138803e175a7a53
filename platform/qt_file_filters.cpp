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

QList<FileFilter> PictureFileFilters(const std::vector<std::string>& readablePatterns) {
    QStringList patterns;
    for (const std::string& pattern : readablePatterns) {
        patterns.append(QString::fromStdString(pattern));
    }
    return {{QStringLiteral("Pictures (%1)").arg(patterns.join(QLatin1Char(' '))), patterns},
            {QStringLiteral("All files (*)"), {QStringLiteral("*")}}};
}

}  // namespace vexlor
