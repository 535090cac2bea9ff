#include "supplies/NumberCellDelegate.h"

#include <QComboBox>
#include <QLineEdit>

namespace supplies {

namespace {

// The text box of an editor: a line edit, or the one of an editable combo box.
QLineEdit* textBox(QWidget* editor)
{
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        return combo->lineEdit();
    return static_cast<QLineEdit*>(editor);
}

QString shownText(const QModelIndex& index)
{
    return index.data(Qt::DisplayRole).toString().remove(QLatin1Char('%')).trimmed();
}

} // namespace

QWidget* NumberCellDelegate::createEditor(
    QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const
{
    auto* editor = new QLineEdit(parent);
    editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return editor;
}

void NumberCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    textBox(editor)->setText(shownText(index));
}

void NumberCellDelegate::setModelData(
    QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    const QString text = textBox(editor)->text().trimmed();
    if (text == shownText(index))
        return; // unchanged: the row is not put into edit
    model->setData(index, text, Qt::EditRole);
}

NumberChoiceDelegate::NumberChoiceDelegate(const QStringList& choices, QObject* parent)
    : NumberCellDelegate(parent)
    , m_choices(choices)
{
}

QWidget* NumberChoiceDelegate::createEditor(
    QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const
{
    auto* editor = new QComboBox(parent);
    editor->setEditable(true);
    editor->setInsertPolicy(QComboBox::NoInsert);
    editor->addItems(m_choices);
    editor->lineEdit()->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // A rate picked from the list is taken at once, as Enter takes a typed one.
    auto* self = const_cast<NumberChoiceDelegate*>(this);
    connect(editor, &QComboBox::activated, self, [self, editor] {
        emit self->commitData(editor);
        emit self->closeEditor(editor);
    });
    return editor;
}

} // namespace supplies
