#include "browser/windows/library_browser_model.h"

#include <algorithm>

#include <QApplication>
#include <QBrush>
#include <QStyle>

#include "browser/library_browser_logic.h"
#include "browser/windows/library_browser_pictures.h"

namespace vexlor {
namespace {

// Enough for a few screenfuls of rows, small enough to stay a few megabytes.
constexpr int kCachedThumbnails = 600;
const QColor kProblemColour(0xc0, 0x00, 0x00);

QString Joined(const std::vector<std::string>& lines) {
    QStringList texts;
    for (const std::string& line : lines) {
        texts << QString::fromStdString(line);
    }
    return texts.join(QLatin1Char('\n'));
}

QString PictureCount(std::size_t count) {
    return count == 1 ? QStringLiteral("1 picture") : QStringLiteral("%1 pictures").arg(count);
}

}  // namespace

LibraryBrowserModel::LibraryBrowserModel(QObject* parent)
    : QAbstractItemModel(parent), thumbnails_(kCachedThumbnails) {}

LibraryBrowserModel::~LibraryBrowserModel() = default;

void LibraryBrowserModel::Show(std::shared_ptr<const LibraryBrowserLogic> logic) {
    beginResetModel();
    logic_ = std::move(logic);
    thumbnails_.clear();
    thumbnailsDrawn_ = 0;
    BuildNodes();
    endResetModel();
}

// A record belongs to the first group whose run of records holds it; records that none holds
// go to the last node, so that every record has exactly one row.
void LibraryBrowserModel::BuildNodes() {
    nodes_.clear();
    places_.clear();
    if (logic_ == nullptr) {
        return;
    }
    const LibraryWalk& walk = logic_->Walk();
    const int recordCount = logic_->RecordCount();
    places_.assign(static_cast<std::size_t>(recordCount), Place{});
    for (std::size_t g = 0; g < walk.groups.size(); ++g) {
        const WalkedGroup& group = walk.groups[g];
        Node node{static_cast<int>(g), {}};
        const int first = std::max(group.firstRecord, 0);
        const int end = group.firstRecord < 0
                            ? first
                            : std::min(recordCount, first + std::max(group.recordCount, 0));
        for (int record = first; record < end; ++record) {
            Place& place = places_[static_cast<std::size_t>(record)];
            if (place.node < 0) {
                place = {static_cast<int>(nodes_.size()), static_cast<int>(node.records.size())};
                node.records.push_back(record);
            }
        }
        nodes_.push_back(std::move(node));
    }
    Node loose{-1, {}};
    for (int record = 0; record < recordCount; ++record) {
        Place& place = places_[static_cast<std::size_t>(record)];
        if (place.node < 0) {
            place = {static_cast<int>(nodes_.size()), static_cast<int>(loose.records.size())};
            loose.records.push_back(record);
        }
    }
    if (!loose.records.empty()) {
        nodes_.push_back(std::move(loose));
    }
}

QModelIndex LibraryBrowserModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= kColumnCount) {
        return {};
    }
    if (!parent.isValid()) {
        return row < static_cast<int>(nodes_.size()) ? createIndex(row, column, quintptr{0})
                                                     : QModelIndex();
    }
    const Node* node = NodeOf(parent);
    if (node == nullptr || parent.internalId() != 0 ||
        row >= static_cast<int>(node->records.size())) {
        return {};
    }
    return createIndex(row, column, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex LibraryBrowserModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == 0) {
        return {};
    }
    return createIndex(static_cast<int>(child.internalId() - 1), 0, quintptr{0});
}

// The node of a node's row, or of a record row's parent.
const LibraryBrowserModel::Node* LibraryBrowserModel::NodeOf(const QModelIndex& index) const {
    if (!index.isValid()) {
        return nullptr;
    }
    const quintptr number =
        index.internalId() == 0 ? static_cast<quintptr>(index.row()) : index.internalId() - 1;
    return number < nodes_.size() ? &nodes_[number] : nullptr;
}

int LibraryBrowserModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) {
        return static_cast<int>(nodes_.size());
    }
    if (parent.internalId() != 0 || parent.column() != 0) {
        return 0;
    }
    const Node* node = NodeOf(parent);
    return node != nullptr ? static_cast<int>(node->records.size()) : 0;
}

int LibraryBrowserModel::columnCount(const QModelIndex& /*parent*/) const {
    return kColumnCount;
}

QVariant LibraryBrowserModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
        case kItemColumn:
            return QStringLiteral("Group / picture");
        case kSizeColumn:
            return QStringLiteral("Size");
        case kFormatColumn:
            return QStringLiteral("Format");
        case kBytesColumn:
            return QStringLiteral("Bytes");
        case kOffsetColumn:
            return QStringLiteral("Offset");
        default:
            return {};
    }
}

QVariant LibraryBrowserModel::data(const QModelIndex& index, int role) const {
    const Node* node = NodeOf(index);
    if (node == nullptr || logic_ == nullptr) {
        return {};
    }
    if (index.internalId() == 0) {
        return NodeData(*node, index.column(), role);
    }
    const auto row = static_cast<std::size_t>(index.row());
    return row < node->records.size() ? RecordData(node->records[row], index.column(), role)
                                      : QVariant();
}

QVariant LibraryBrowserModel::NodeData(const Node& node, int column, int role) const {
    const std::vector<std::string>& problems = logic_->GroupProblems(node.group);
    if (role == Qt::ToolTipRole) {
        return problems.empty() ? QVariant() : Joined(problems);
    }
    if (role == Qt::ForegroundRole) {
        return problems.empty() ? QVariant() : QBrush(kProblemColour);
    }
    if (role == Qt::DecorationRole && column == kSizeColumn && !problems.empty()) {
        return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    }
    // The view takes every row's height from the first, a node's: room for the thumbnails.
    if (role == Qt::SizeHintRole && column == kItemColumn) {
        return QSize(kThumbnailSide, kThumbnailSide + 2);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (node.group < 0) {
        return column == kItemColumn   ? QStringLiteral("No group")
               : column == kSizeColumn ? PictureCount(node.records.size())
                                       : QVariant();
    }
    const WalkedGroup& group = logic_->Walk().groups[static_cast<std::size_t>(node.group)];
    switch (column) {
        case kItemColumn:
            return QStringLiteral("Group %1").arg(group.group.GroupId);
        case kSizeColumn:
            return PictureCount(node.records.size());
        case kBytesColumn:
            return QString::number(group.group.ImageDataSize);
        case kOffsetColumn:
            return QString::number(group.group.DataOffset);
        default:
            return {};
    }
}

QVariant LibraryBrowserModel::RecordData(int record, int column, int role) const {
    const std::vector<std::string>& problems = logic_->RecordProblems(record);
    if (role == Qt::ToolTipRole) {
        return problems.empty() ? QVariant() : Joined(problems);
    }
    if (role == Qt::ForegroundRole) {
        return problems.empty() ? QVariant() : QBrush(kProblemColour);
    }
    if (role == Qt::DecorationRole) {
        if (column == kItemColumn) {
            return Thumbnail(record);
        }
        if (column == kSizeColumn && !problems.empty()) {
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        }
        return {};
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    const WalkedRecord& walked = logic_->Walk().records[static_cast<std::size_t>(record)];
    const tIMAGE& image = walked.record.image;
    switch (column) {
        case kItemColumn:
            return QStringLiteral("%1  (%2)").arg(image.PictureId).arg(walked.record.position);
        case kSizeColumn:
            return QStringLiteral("%1 x %2").arg(image.BlockWidth).arg(image.BlockHeight);
        case kFormatColumn:
            return QString::fromStdString(FormatText(image.PictureFormat));
        case kBytesColumn:
            return QString::number(image.DataSize);
        case kOffsetColumn:
            return QString::number(walked.record.offset);
        default:
            return {};
    }
}

// A record that does not draw gets an empty square, kept like any other.
QPixmap LibraryBrowserModel::Thumbnail(int record) const {
    if (const QPixmap* cached = thumbnails_.object(record)) {
        return *cached;
    }
    AnyPicture picture;
    QImage image;
    if (logic_->DrawRecord(record, picture) == DrawOutcome::Drawn) {
        image = AnyPictureImage(picture);
    }
    auto* thumbnail = new QPixmap(ThumbnailPixmap(image, kThumbnailSide));
    ++thumbnailsDrawn_;
    thumbnails_.insert(record, thumbnail);
    return *thumbnail;
}

int LibraryBrowserModel::RecordAt(const QModelIndex& index) const {
    const Node* node = NodeOf(index);
    if (node == nullptr || index.internalId() == 0) {
        return -1;
    }
    const auto row = static_cast<std::size_t>(index.row());
    return row < node->records.size() ? node->records[row] : -1;
}

int LibraryBrowserModel::GroupAt(const QModelIndex& index) const {
    const Node* node = NodeOf(index);
    return node != nullptr && index.internalId() == 0 ? node->group : -1;
}

QModelIndex LibraryBrowserModel::RecordIndex(int record) const {
    if (record < 0 || record >= static_cast<int>(places_.size())) {
        return {};
    }
    const Place& place = places_[static_cast<std::size_t>(record)];
    return index(place.row, 0, index(place.node, 0));
}

QModelIndex LibraryBrowserModel::GroupIndex(int group) const {
    for (std::size_t n = 0; n < nodes_.size(); ++n) {
        if (group >= 0 && nodes_[n].group == group) {
            return index(static_cast<int>(n), 0);
        }
    }
    return {};
}

std::vector<int> LibraryBrowserModel::RecordsUnder(const QModelIndex& index) const {
    const int record = RecordAt(index);
    if (record >= 0) {
        return {record};
    }
    const Node* node = index.isValid() ? NodeOf(index) : nullptr;
    return node != nullptr ? node->records : std::vector<int>{};
}

}  // namespace vexlor
