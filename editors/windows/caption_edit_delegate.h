#pragma once

#include <functional>

#include <QStyledItemDelegate>

namespace vexlor {

// Caption editing in the picture list, handed to the window: it decides whether editing may
// begin, and it alone decides what an edited text does. The model is never written by the
// editor, so a refused text leaves the old caption in place.
class CaptionEditDelegate final : public QStyledItemDelegate {
    Q_OBJECT

  public:
    using EditingHandler = std::function<bool(int row)>;
    using EditedHandler = std::function<void(int row, const QString& text)>;

    CaptionEditDelegate(EditingHandler editing, EditedHandler edited, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

  private:
    EditingHandler editing_;
    EditedHandler edited_;
};

}  // namespace vexlor
