#include "finance/LedgerColors.h"

#include "db/Dataset.h"
#include "db/DatasetModel.h"

namespace finance {

QColor LedgerColorDelegate::colorOf(Kind kind, const QVariant& value)
{
    switch (kind) {
    case Payable:
        return kMaroon;
    case Receivable:
        return kTeal;
    case BySign:
        break;
    }
    return value.toDouble() > 0 ? kMaroon : kTeal;
}

void LedgerColorDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const QVariant value = index.data(db::DatasetModel::ValueRole);
    if (value.isNull())
        return;
    const QColor color = colorOf(m_kind, value);
    option->palette.setColor(QPalette::Text, color);
    option->palette.setColor(QPalette::HighlightedText, color.lighter(220));
}

} // namespace finance
