#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

namespace supplies {

// Amounts and quantities of a line typed as text in the grid: the field converts the text, so
// that a word or a misplaced sign is refused with the field's message instead of being lost
// in a spin box.
class NumberCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(
        QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
};

// A number typed or picked among the usual ones (the tax rates); any other is typed as in
// NumberCellDelegate.
class NumberChoiceDelegate : public NumberCellDelegate {
    Q_OBJECT
public:
    NumberChoiceDelegate(const QStringList& choices, QObject* parent = nullptr);

    const QStringList& choices() const { return m_choices; }
    QWidget* createEditor(
        QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QStringList m_choices;
};

} // namespace supplies
