#pragma once

#include <memory>
#include <unordered_map>

#include <QAbstractTableModel>
#include <QCache>
#include <QPixmap>

#include "editors/library_editor_logic.h"

namespace vexlor {

// The pictures of a library as the editor's list shows them: row k is the image record at
// position k + 1, never sorted. Captions and type words come from the records; thumbnails are
// read from the file only when a row is first drawn, and kept in a bounded cache, so that a
// Refresh of tens of thousands of pictures costs no more than reading their record headers.
class PictureListModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    // Shares the logic: views ask for header texts even while their window is being destroyed.
    explicit PictureListModel(std::shared_ptr<const LibraryEditorLogic> logic,
                              QObject* parent = nullptr);

    // Replaces everything the list shows; renamed captions and thumbnails are forgotten.
    void ShowList(PictureList list);
    const PictureList& List() const { return list_; }

    void SetCaptionsEditable(bool editable);
    bool CaptionsEditable() const { return captionsEditable_; }

    QString Caption(int row) const;
    QString TypeWord(int row) const;
    // An accepted rename shows at once, whether or not the file is written later. The row's
    // thumbnail is kept from now on: once the file carries the new number, the record no longer
    // matches what was listed and is not read again.
    void SetCaption(int row, const QString& caption);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    bool HasTypeColumn() const;
    QPixmap ThumbnailOf(int row) const;

    std::shared_ptr<const LibraryEditorLogic> logic_;
    PictureList list_;
    std::unordered_map<int, QString> renamed_;
    std::unordered_map<int, QPixmap> renamedThumbnails_;
    bool captionsEditable_ = false;
    // Keyed by row. A picture that cannot be drawn keeps an empty thumbnail, so that it is not
    // read again on every paint and its caption stands in line with the others.
    mutable QCache<int, QPixmap> thumbnails_;
};

}  // namespace vexlor
