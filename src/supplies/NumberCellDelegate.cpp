#include "supplies/NumberCellDelegate.h"

#include <QLineEdit>

namespace supplies {

QWidget* NumberCellDelegate::createEditor(
    QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const
{
    auto* editor = new QLineEdit(parent);
    editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return editor;
}

void NumberCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    static_cast<QLineEdit*>(editor)->setText(
        index.data(Qt::DisplayRole).toString().remove(QLatin1Char('%')).trimmed());
}

void NumberCellDelegate::setModelData(
    QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    const QString text = static_cast<QLineEdit*>(editor)->text().trimmed();
    if (text == index.data(Qt::DisplayRole).toString().remove(QLatin1Char('%')).trimmed())
        return; // unchanged: the row is not put into edit
    model->setData(index, text, Qt::EditRole);
}

} // namespace supplies
