#pragma once

#include <QColor>
#include <QStyledItemDelegate>

namespace finance {

// What the practice owes or is owed shows maroon, what is settled or paid teal.
inline const QColor kMaroon(128, 0, 0);
inline const QColor kTeal(0, 128, 128);

// The text colour of an amount column of the ledger grid.
class LedgerColorDelegate : public QStyledItemDelegate {
public:
    enum Kind { Payable, Receivable, BySign }; // BySign: maroon above 0, teal at 0 or below
    LedgerColorDelegate(Kind kind, QObject* parent)
        : QStyledItemDelegate(parent)
        , m_kind(kind)
    {
    }
    static QColor colorOf(Kind kind, const QVariant& value);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    Kind m_kind;
};

} // namespace finance
