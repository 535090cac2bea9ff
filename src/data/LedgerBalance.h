#pragma once

#include <QHash>
#include <QVariant>

#include <functional>

namespace db {
class Dataset;
}

namespace data {

// What a patient owes for a session, in both currencies.
struct SessionBalance {
    double local = 0;
    double euro = 0;
};

// The calculated amounts of an economics view, per row: the row's amount as payable
// (`PayableAmount`) or receivable (`ReceivableAmount`) and the running `Balance` from the
// view's first row down to this one, each with its EURO twin.
//
// The amount is `Credit`, or `ReceiptCredit` in receipts-only mode; an empty one counts 0.
// `Sign` -1 is a receivable and subtracts; anything else is a payable and adds. The balance
// continues from the row before, read back from the view, so a row gives the same result in
// whatever order the rows are calculated, and the row being edited counts with its new values.
class RunningBalance {
public:
    // Besides the view's first row, a row for which this is true starts again from 0.
    using StartsOver = std::function<bool(const db::Dataset&)>;

    explicit RunningBalance(const db::Dataset& view, StartsOver startsOver = {});

    // The calculation rule of the view: fills the row being calculated.
    void calculate(db::Dataset& view) const;

private:
    StartsOver m_startsOver;
    int m_sign, m_credit, m_creditEuro, m_receipt, m_receiptEuro;
    int m_payable, m_payableEuro, m_receivable, m_receivableEuro, m_balance, m_balanceEuro;
};

// Balances of whole therapy sessions for the rows of the patients' ledger: each session is
// summed (by `sum`, one query) the first time a row asks for it, and kept until forget() (the
// rows are read again or change).
class SessionBalances {
public:
    using Sum = std::function<SessionBalance(const QVariant& sessionId)>;

    explicit SessionBalances(Sum sum)
        : m_sum(std::move(sum))
    {
    }

    SessionBalance of(const QVariant& sessionId);
    void forget() { m_known.clear(); }

private:
    Sum m_sum;
    QHash<qint64, SessionBalance> m_known;
};

} // namespace data
