#include "data/LedgerBalance.h"

#include "db/Dataset.h"
#include "db/Query.h"
#include "platform/Session.h"

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
    const Amounts amount{amountOf(view, receiptsOnly ? m_receipt : m_credit), amountOf(view, receiptsOnly ? m_receiptEuro : m_creditEuro)};

    const int previous = view.recNo() - 2; // recNo() is 1-based
    Amounts running;
    if (previous >= 0 && !(m_startsOver && m_startsOver(view))) {
        running.local = view.rowValue(previous, m_balance).toDouble();
        running.euro = view.rowValue(previous, m_balanceEuro).toDouble();
    }

    const bool receivable = view.field(m_sign).value().toInt() == -1;
    view.field(receivable ? m_receivable : m_payable).setValue(amount.local);
    view.field(receivable ? m_receivableEuro : m_payableEuro).setValue(amount.euro);
    const double direction = receivable ? -1 : 1;
    view.field(m_balance).setValue(running.local + direction * amount.local);
    view.field(m_balanceEuro).setValue(running.euro + direction * amount.euro);
}

SessionBalances::SessionBalances(const db::Dataset& view)
    : m_view(view)
{
}

SessionBalances::~SessionBalances() = default;

Amounts SessionBalances::of(const QVariant& sessionId)
{
    if (sessionId.isNull())
        return {};
    const qint64 key = sessionId.toLongLong();
    const auto known = m_known.constFind(key);
    if (known != m_known.cend())
        return known.value();

    const bool receiptsOnly = platform::receiptsOnly();
    if (!m_sum || m_sumReceiptsOnly != receiptsOnly) {
        // Receipts-only mode counts only receipted rows, as the per-session sum queries do.
        m_sum = std::make_unique<db::Query>(*m_view.connection(),
            QStringLiteral("SELECT COALESCE(SUM(CASE WHEN Sign = 1 THEN Credit END), 0) - COALESCE(SUM(CASE WHEN Sign = -1 THEN Credit END), 0), "
                           "COALESCE(SUM(CASE WHEN Sign = 1 THEN CreditEURO END), 0) - COALESCE(SUM(CASE WHEN Sign = -1 THEN CreditEURO END), 0) "
                           "FROM PatEconomics WHERE SessionID = :SessionID%1")
                .arg(receiptsOnly ? QStringLiteral(" AND IOFld = TRUE") : QString()));
        m_sumReceiptsOnly = receiptsOnly;
    }
    m_sum->bind(QStringLiteral("SessionID"), sessionId).exec();
    Amounts balance;
    if (m_sum->next()) {
        balance.local = m_sum->value(0).toDouble();
        balance.euro = m_sum->value(1).toDouble();
    }
    m_sum->finish();
    m_known.insert(key, balance);
    return balance;
}

} // namespace data
