#pragma once

#include <memory>
#include <vector>

#include <QAbstractItemModel>
#include <QCache>
#include <QPixmap>

namespace vexlor {

class LibraryBrowserLogic;

// The browser's tree: the groups of the table, each with its records below it in file order,
// and a node for the records that no group holds. Rows are made only when a view asks for
// them, so a library of 65,535 records opens as fast as its walk; a record's thumbnail is
// drawn the first time its row is painted and kept in a small cache.
class LibraryBrowserModel final : public QAbstractItemModel {
    Q_OBJECT

  public:
    enum Column { kItemColumn, kSizeColumn, kFormatColumn, kBytesColumn, kOffsetColumn };
    static constexpr int kColumnCount = 5;
    static constexpr int kThumbnailSide = 32;

    explicit LibraryBrowserModel(QObject* parent = nullptr);
    ~LibraryBrowserModel() override;

    // Shows the library as `logic` has loaded it last.
    void Show(std::shared_ptr<const LibraryBrowserLogic> logic);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Walk indices of what a row stands for: -1 when it stands for none.
    int RecordAt(const QModelIndex& index) const;
    int GroupAt(const QModelIndex& index) const;
    QModelIndex RecordIndex(int record) const;
    QModelIndex GroupIndex(int group) const;
    // The records of a record's row or of a node's rows.
    std::vector<int> RecordsUnder(const QModelIndex& index) const;
    // How many thumbnails have been drawn since Show: rows are drawn only once painted.
    int ThumbnailsDrawn() const { return thumbnailsDrawn_; }

  private:
    struct Node {
        int group = -1;  // -1: the records of no group
        std::vector<int> records;
    };
    struct Place {
        int node = -1;
        int row = -1;
    };

    void BuildNodes();
    const Node* NodeOf(const QModelIndex& index) const;
    QVariant NodeData(const Node& node, int column, int role) const;
    QVariant RecordData(int record, int column, int role) const;
    QPixmap Thumbnail(int record) const;

    std::shared_ptr<const LibraryBrowserLogic> logic_;
    std::vector<Node> nodes_;
    std::vector<Place> places_;  // per record: where its row is
    mutable QCache<int, QPixmap> thumbnails_;
    mutable int thumbnailsDrawn_ = 0;
};

}  // namespace vexlor
