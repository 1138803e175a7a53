#include "editors/windows/caption_edit_delegate.h"

#include <QLineEdit>

namespace vexlor {

CaptionEditDelegate::CaptionEditDelegate(EditingHandler editing, EditedHandler edited,
                                         QObject* parent)
    : QStyledItemDelegate(parent), editing_(std::move(editing)), edited_(std::move(edited)) {}

QWidget* CaptionEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
    if (!editing_(index.row())) {
        return nullptr;
    }
    return QStyledItemDelegate::createEditor(parent, option, index);
}

void CaptionEditDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                       const QModelIndex& index) const {
    if (const auto* line = qobject_cast<QLineEdit*>(editor)) {
        edited_(index.row(), line->text());
    }
}

}  // namespace vexlor
