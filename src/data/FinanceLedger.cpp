// What the ledger window asks of the finance area: the receipt marks of a session's charges,
// the totals of the practice's other sources, the description and source-name lists, and the
// family head who pays for a member.

#include "data/AuditTrailRows.h"
#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"
#include "data/Domain.h"

#include "db/Connection.h"
#include "db/Query.h"
#include "db/UpdateGroup.h"
#include "platform/Session.h"

namespace data {
namespace {

QStringList textColumn(const db::Connection& connection, const QString& sql)
{
    QStringList values;
    db::Query q(connection, sql);
    q.exec();
    while (q.next()) {
        const QString value = q.value(0).toString();
        if (!value.isEmpty())
            values.append(value);
    }
    return values;
}

} // namespace

int FinanceArea::markCharges(const QList<QVariant>& economIds, bool receipted)
{
    db::Dataset& ledger = *PatientEconomTable;
    if (!hasRows(ledger))
        return 0;
    const QVariant session = ledger.value(u"SessionID");
    int changed = 0;
    ledger.disableControls();
    try {
        {
            // The rows are posted into the view and written below, with the treatments, at once.
            const TDmForm::StoreHold hold(dm(), { &ledger });
            for (const QVariant& id : economIds) {
                if (!ledger.locate(QStringLiteral("EconomID"), id))
                    continue;
                if (!holds(ledger.value(u"Sign"), Sign::Payable)
                    || ledger.value(u"IOFld").toBool() == receipted)
                    continue;
                ledger.edit();
                ledger.setValue(u"IOFld", receipted);
                ledger.setValue(u"ReceiptCredit", receipted ? ledger.value(u"Credit") : QVariant());
                ledger.setValue(u"ReceiptCreditEURO", receipted ? ledger.value(u"CreditEURO") : QVariant());
                ledger.post();
                ++changed;
            }
        }
        db::TransactionGuard transaction(*Database);
        if (ledger.hasPendingUpdates()) {
            db::UpdateGroup group(*Database, { &ledger });
            group.apply();
        }
        // The treatments of the session follow the marks of their charges, in the trail as well.
        const QString charged
            = QStringLiteral("History.ID IN (SELECT PatEconomics.HistoryID FROM PatEconomics "
                             "WHERE PatEconomics.SessionID = :session AND PatEconomics.IOFld = :mark)");
        const QVariantMap values { { QStringLiteral("mark"), receipted },
            { QStringLiteral("session"), session } };
        audittrail::recordUpdate(*Database, QStringLiteral("History"), charged, values,
            { { QStringLiteral("IOFld"), receipted } }, [&] {
                db::Query follow(
                    *Database, QStringLiteral("UPDATE History SET IOFld = :mark WHERE ") + charged);
                follow.bind(QStringLiteral("mark"), receipted)
                    .bind(QStringLiteral("session"), session)
                    .exec();
            });
        transaction.commit();
    } catch (...) {
        // Nothing was stored: the rows show what the database holds.
        if (ledger.isEditing())
            ledger.cancel();
        ledger.cancelUpdates();
        ledger.enableControls();
        ledger.refresh();
        throw;
    }
    ledger.enableControls();
    ledger.refresh();
    refreshIdleViews(clinical().historyViews());
    return changed;
}

SessionBalance FinanceArea::otherSourcesTotal() const
{
    // In receipts-only mode the receipted amounts of the receipted rows.
    const bool receiptsOnly = platform::receiptsOnly();
    const QString amount = receiptsOnly ? QStringLiteral("ReceiptCredit") : QStringLiteral("Credit");
    // A row without a direction is a payable, as in the running balance.
    QString sql = QStringLiteral("SELECT COALESCE(SUM(CASE WHEN Sign = -1 THEN -%1 ELSE %1 END), 0), "
                                 "COALESCE(SUM(CASE WHEN Sign = -1 THEN -%1EURO ELSE %1EURO END), 0) "
                                 "FROM DentEconomics WHERE TransactionType = :type")
                      .arg(amount);
    if (receiptsOnly)
        sql += QStringLiteral(" AND IOFld = TRUE");
    db::Query q(*Database, sql);
    q.bind(QStringLiteral("type"), code(TransactionType::Practice)).exec();
    if (!q.next())
        return {};
    return { q.value(0).toDouble(), q.value(1).toDouble() };
}

QStringList FinanceArea::ledgerDescriptions() const
{
    return textColumn(*Database,
        QStringLiteral("SELECT DISTINCT Description FROM DentEconomics WHERE Description IS NOT NULL ORDER "
                       "BY Description"));
}

QStringList FinanceArea::otherSourceNames() const
{
    return textColumn(*Database,
        QStringLiteral("SELECT DISTINCT SourceName FROM DentEconomics WHERE TransactionType = 2 AND "
                       "SourceName IS NOT NULL ORDER BY SourceName"));
}

QVariant FinanceArea::chargeOnBehalf()
{
    db::Dataset& patients = *this->patients().PatientsTable;
    db::Dataset& link = *this->patients().FamilyFatherTable;
    if (!hasRows(patients) || !holds(patients.value(u"TypeProtectionFamily"), FamilyRole::ProtectedMember)
        || !hasRows(link) || link.value(u"ChildPays").toBool() || link.value(u"FatherID").isNull())
        return {};
    const QVariant member = patients.value(u"PatientID");
    if (!patients.locate(QStringLiteral("PatientID"), link.value(u"FatherID")))
        return {};
    return member;
}

SessionBalance FinanceArea::treatmentsCost(const QVariant& sessionId, TreatmentLevel level) const
{
    db::Query q(*Database,
        QStringLiteral("SELECT SUM(Cost), SUM(CostEURO) FROM History WHERE (TherapySessionID = :session) AND "
                       "(TreatmentLevel = :level)"));
    q.bind(QStringLiteral("session"), sessionId).bind(QStringLiteral("level"), code(level)).exec();
    if (!q.next())
        return {};
    return { q.value(0).toDouble(), q.value(1).toDouble() };
}

void FinanceArea::appendDiscount(
    TreatmentLevel level, const QDate& date, const QVariant& dentistId, double cost, double costEuro)
{
    // A discount is planned or given; there is none in the initial situation.
    if (level != TreatmentLevel::Plan)
        level = TreatmentLevel::Implementation;
    db::Dataset& history = *clinical().historyView(level);
    const bool filtered = history.isFiltered();
    if (filtered)
        history.setFiltered(false);
    try {
        history.append();
        history.setValue(u"TreatmentLevel", code(level));
        history.setValue(u"OperID", -1);
        history.setValue(u"ToothNum", 0);
        history.setValue(u"Date", date);
        history.setValue(u"Discount", 0);
        history.setValue(u"DentistID", dentistId);
        history.setValue(u"Price", -cost);
        history.setValue(u"PriceEURO", -costEuro);
        history.setValue(u"Cost", -cost);
        history.setValue(u"CostEURO", -costEuro);
        for (const char* flag : { "RequireLab", "RequireMaterial", "RequireColor" })
            history.setValue(QString::fromLatin1(flag), false);
        history.post();
    } catch (...) {
        if (history.isEditing())
            history.cancel();
        if (filtered)
            history.setFiltered(true);
        throw;
    }
    if (filtered)
        history.setFiltered(true);
}

} // namespace data
