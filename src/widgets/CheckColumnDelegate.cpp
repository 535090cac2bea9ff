#include "widgets/CheckColumnDelegate.h"

#include "db/Dataset.h"
#include "db/DatasetModel.h"

namespace widgets {

void CheckColumnDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const QVariant value = index.data(db::DatasetModel::ValueRole);
    if (!value.isValid())
        return; // a group's header row keeps its text
    option->features |= QStyleOptionViewItem::HasCheckIndicator;
    option->checkState = value.toBool() ? Qt::Checked : Qt::Unchecked;
    option->text.clear();
}

} // namespace widgets
