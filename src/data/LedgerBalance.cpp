#include "data/LedgerBalance.h"

#include "data/Domain.h"
#include "db/Dataset.h"

namespace data {
namespace {

int indexOf(const db::Dataset& view, const char* name)
{
    return view.field(QString::fromLatin1(name)).index();
}

double amountOf(const db::Dataset& view, int field)
{
    return view.field(field).value().toDouble(); // empty counts 0
}

} // namespace

RunningBalance::RunningBalance(const db::Dataset& view, StartsOver startsOver)
    : m_startsOver(std::move(startsOver))
    , m_sign(indexOf(view, "Sign"))
    , m_credit(indexOf(view, "Credit"))
    , m_creditEuro(indexOf(view, "CreditEURO"))
    , m_receipt(indexOf(view, "ReceiptCredit"))
    , m_receiptEuro(indexOf(view, "ReceiptCreditEURO"))
    , m_payable(indexOf(view, "PayableAmount"))
    , m_payableEuro(indexOf(view, "PayableAmountEURO"))
    , m_receivable(indexOf(view, "ReceivableAmount"))
    , m_receivableEuro(indexOf(view, "ReceivableAmountEURO"))
    , m_balance(indexOf(view, "Balance"))
    , m_balanceEuro(indexOf(view, "BalanceEURO"))
{
}

void RunningBalance::calculate(db::Dataset& view) const
{
    const bool receiptsOnly = platform::receiptsOnly();
    const double amount = amountOf(view, receiptsOnly ? m_receipt : m_credit);
    const double amountEuro = amountOf(view, receiptsOnly ? m_receiptEuro : m_creditEuro);

    const int previous = view.recNo() - 2; // recNo() is 1-based
    double running = 0;
    double runningEuro = 0;
    if (previous >= 0 && !(m_startsOver && m_startsOver(view))) {
        running = view.rowValue(previous, m_balance).toDouble();
        runningEuro = view.rowValue(previous, m_balanceEuro).toDouble();
    }

    const bool receivable = holds(view.field(m_sign).value(), Sign::Receivable);
    view.field(receivable ? m_receivable : m_payable).setValue(amount);
    view.field(receivable ? m_receivableEuro : m_payableEuro).setValue(amountEuro);
    const double direction = receivable ? -1 : 1;
    view.field(m_balance).setValue(running + direction * amount);
    view.field(m_balanceEuro).setValue(runningEuro + direction * amountEuro);
}

SessionBalance SessionBalances::of(const QVariant& sessionId)
{
    if (sessionId.isNull())
        return {};
    const qint64 key = sessionId.toLongLong();
    const auto known = m_known.constFind(key);
    if (known != m_known.cend())
        return known.value();
    const SessionBalance balance = m_sum(sessionId);
    m_known.insert(key, balance);
    return balance;
}

} // namespace data
