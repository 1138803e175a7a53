#include "platform/qt_dropped_files.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace vexlor {

QString DroppedPicturePath(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) {
        return {};
    }
    const QUrl& url = data->urls().front();
    if (!url.isLocalFile()) {
        return {};
    }
    const QString path = url.toLocalFile();
    if (path.endsWith(QStringLiteral(".dat"), Qt::CaseInsensitive) || !QFileInfo(path).isFile()) {
        return {};
    }
    return path;
}

}  // namespace vexlor
