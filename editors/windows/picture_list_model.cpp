#include "editors/windows/picture_list_model.h"

#include <algorithm>
#include <memory>

#include "editors/windows/picture_images.h"

namespace vexlor {
namespace {

// Bytes of thumbnails kept at most: the first screens of any library, a fraction of a
// 65,535-picture list once scrolled through.
constexpr qsizetype kThumbnailCacheBytes = qsizetype{48} << 20;

constexpr int kCaptionColumn = 0;
constexpr int kTypeColumn = 1;

}  // namespace

PictureListModel::PictureListModel(std::shared_ptr<const LibraryEditorLogic> logic, QObject* parent)
    : QAbstractTableModel(parent), logic_(std::move(logic)), thumbnails_(kThumbnailCacheBytes) {}

void PictureListModel::ShowList(PictureList list) {
    beginResetModel();
    list_ = std::move(list);
    renamed_.clear();
    renamedThumbnails_.clear();
    thumbnails_.clear();
    endResetModel();
}

void PictureListModel::SetCaptionsEditable(bool editable) {
    captionsEditable_ = editable;
}

QString PictureListModel::Caption(int row) const {
    if (row < 0 || row >= list_.PictureCount()) {
        return {};
    }
    if (const auto renamed = renamed_.find(row); renamed != renamed_.end()) {
        return renamed->second;
    }
    return QString::fromStdString(logic_->CaptionOf(list_.entries[static_cast<size_t>(row)].image));
}

QString PictureListModel::TypeWord(int row) const {
    if (row < 0 || row >= list_.PictureCount()) {
        return {};
    }
    return QString::fromStdString(
        logic_->TypeWordOf(list_.entries[static_cast<size_t>(row)].image));
}

void PictureListModel::SetCaption(int row, const QString& caption) {
    if (row < 0 || row >= list_.PictureCount()) {
        return;
    }
    if (!renamedThumbnails_.contains(row)) {
        renamedThumbnails_[row] = ThumbnailOf(row);
    }
    renamed_[row] = caption;
    const QModelIndex changed = index(row, kCaptionColumn);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

int PictureListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : list_.PictureCount();
}

int PictureListModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    return HasTypeColumn() ? 2 : 1;
}

bool PictureListModel::HasTypeColumn() const {
    return logic_->Constants().kind == EditorKind::Mission;
}

QVariant PictureListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= list_.PictureCount()) {
        return {};
    }
    const bool captionColumn = index.column() == kCaptionColumn;
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return captionColumn ? Caption(index.row()) : TypeWord(index.row());
        case Qt::DecorationRole:
            return captionColumn ? QVariant(ThumbnailOf(index.row())) : QVariant();
        default:
            return {};
    }
}

QVariant PictureListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    if (section == kCaptionColumn) {
        return QString::fromLatin1(logic_->Constants().columnCaption);
    }
    return section == kTypeColumn && HasTypeColumn() ? QStringLiteral("Type") : QVariant();
}

Qt::ItemFlags PictureListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == kCaptionColumn && captionsEditable_) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

QPixmap PictureListModel::ThumbnailOf(int row) const {
    if (const auto renamed = renamedThumbnails_.find(row); renamed != renamedThumbnails_.end()) {
        return renamed->second;
    }
    if (const QPixmap* cached = thumbnails_.object(row)) {
        return *cached;
    }
    auto pixmap = std::make_unique<QPixmap>();
    Thumbnail thumbnail;
    if (logic_->ReadThumbnail(list_.entries[static_cast<size_t>(row)], thumbnail)) {
        *pixmap = QPixmap::fromImage(ThumbnailImage(thumbnail.image, thumbnail.transparent));
    } else {
        const int side = logic_->Constants().thumbnailSize;
        *pixmap = QPixmap(side, side);
        pixmap->fill(Qt::transparent);
    }
    const QPixmap shown = *pixmap;
    const qsizetype cost = std::max<qsizetype>(1, qsizetype{shown.width()} * shown.height() * 4);
    thumbnails_.insert(row, pixmap.release(), cost);
    return shown;
}

}  // namespace vexlor
