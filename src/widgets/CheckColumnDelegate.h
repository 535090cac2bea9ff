#pragma once

#include <QStyledItemDelegate>

namespace widgets {

// Shows a yes/no column of a grid as check marks instead of the words.
class CheckColumnDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

} // namespace widgets
