#pragma once

#include <QHash>
#include <QVariant>

#include <functional>
#include <memory>

namespace db {
class Dataset;
class Query;
} // namespace db

namespace data {

// A local amount with its EURO twin.
struct Amounts {
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

// Balances of whole therapy sessions of the patients' ledger: payables minus receivables of
// `PatEconomics`, local and EURO, over the stored rows. In receipts-only mode only receipted
// rows (`IOFld`) count. Each session is summed by one query the first time a row asks for it
// and kept until the view's rows are read again or change (`forget()`).
class SessionBalances {
public:
    explicit SessionBalances(const db::Dataset& view);
    ~SessionBalances();

    Amounts of(const QVariant& sessionId);
    void forget() { m_known.clear(); }

private:
    const db::Dataset& m_view;
    std::unique_ptr<db::Query> m_sum;
    bool m_sumReceiptsOnly = false;
    QHash<qint64, Amounts> m_known;
};

} // namespace data
