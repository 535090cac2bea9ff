// Record rules of the practice's ledgers: new rows, the receipt mark, the stored balances of
// suppliers and labs, and the ledger row that a delivery owes.

#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"

#include "db/Connection.h"
#include "platform/ExceptionLog.h"
#include "platform/Session.h"
#include "widgets/Language.h"

namespace data {
namespace {

const QString kHistoryID = QStringLiteral("HistoryID");

// The sums of a supplier's (lab's) ledger in one direction, as the statement has always read.
QString balanceStatement(int transactionType, const QString& idField, const char* name, int sign)
{
    return QStringList{QStringLiteral("SELECT  SUM(Credit) AS %1, ").arg(QLatin1String(name)),
        QStringLiteral("SUM(CreditEURO) AS %1EURO ").arg(QLatin1String(name)), QStringLiteral("FROM  DentEconomics"),
        QStringLiteral("WHERE TransactionType = %1 and").arg(transactionType),
        QStringLiteral("%1 = :%1 and Sign = %2").arg(idField).arg(sign)}
        .join(QLatin1Char('\r'));
}

} // namespace

void TDmForm::installFinanceRules()
{
    DentEconomicsTable->onNewRecord = rule(&TDmForm::DentEconomicsTableNewRecord);
    SupplierEconomTable->onNewRecord = rule(&TDmForm::SupplierEconomTableNewRecord);
    LabEconomTable->onNewRecord = rule(&TDmForm::LabEconomTableNewRecord);
    for (db::Dataset* ledger : {DentEconomicsTable, SupplierEconomTable, LabEconomTable, PatientEconomTable})
        ledger->beforePost = rule(&TDmForm::EconomicsTableBeforePost);
    for (auto signal : {&db::Dataset::afterPost, &db::Dataset::afterDelete}) {
        QObject::connect(SupplierEconomTable, signal, this, [this] { SupplierBalance(); });
        QObject::connect(LabEconomTable, signal, this, [this] { LabBalance(); });
    }
}

void TDmForm::DentEconomicsTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"EconomID", NextID(QStringLiteral("LastDentEconTable")));
    DataSet.setValue(u"Date", QDate::currentDate());
    DataSet.setValue(u"DentistID", m_defaultDentist);
    DataSet.setValue(u"PaymentType", 0);
    DataSet.setValue(u"Sign", -1);
    if (&DataSet != SupplierEconomTable) // the supplier's own, from the master link
        DataSet.setValue(u"SupplierID", -1);
    if (&DataSet != LabEconomTable)
        DataSet.setValue(u"LabID", -1);
    DataSet.setValue(u"TransactionType", 2);
    DataSet.setValue(u"IOFld", false);
}

void TDmForm::counterpartEconomNewRecord(db::Dataset& DataSet, const db::Dataset& counterparts, int transactionType)
{
    if (hasRows(counterparts)) {
        DentEconomicsTableNewRecord(DataSet);
        DataSet.setValue(u"TransactionType", transactionType);
        DataSet.setValue(u"SourceName", counterparts.value(u"Company"));
    } else {
        DataSet.setValue(u"EconomID", NextID(QStringLiteral("LastDentEconTable")));
    }
    DataSet.setValue(u"IOFld", true);
}

void TDmForm::SupplierEconomTableNewRecord(db::Dataset& DataSet)
{
    counterpartEconomNewRecord(DataSet, *SuppliersTable, 0);
}

void TDmForm::LabEconomTableNewRecord(db::Dataset& DataSet)
{
    counterpartEconomNewRecord(DataSet, *DentalLabTable, 1);
}

void TDmForm::EconomicsTableBeforePost(db::Dataset& DataSet)
{
    // A patient's charge keeps its mark (the treatment or "OK" sets it); payments and every
    // row of the practice are receipted when they carry a receipt number.
    if (&DataSet == PatientEconomTable && DataSet.value(u"Sign").toInt() != -1)
        return;
    DataSet.setValue(u"IOFld", !DataSet.value(u"ReceiptNo").toString().isEmpty() || platform::receiptsOnly());
}

void TDmForm::SupplierBalance()
{
    storeCounterpartBalance(*SuppliersTable, 0, QStringLiteral("SupplierID"));
}

void TDmForm::LabBalance()
{
    storeCounterpartBalance(*DentalLabTable, 1, QStringLiteral("LabID"));
}

void TDmForm::storeCounterpartBalance(db::Dataset& counterpart, int transactionType, const QString& idField)
{
    db::Dataset& ledger = transactionType == 0 ? *SupplierEconomTable : *LabEconomTable;
    // A held ledger is stored later, as a whole: the balance follows the next transaction.
    if (m_deletingCounterpart || storeHeld(ledger) || !hasRows(counterpart))
        return;
    const QVariant id = counterpart.value(transactionType == 0 ? idField : QStringLiteral("DentalLabID"));
    const bool wasEditing = counterpart.isEditing();
    try {
        applyPending(ledger); // the sums read the stored rows
        double sums[2][2] = {}; // income, expense; local, EURO
        for (int direction = 0; direction < 2; ++direction) {
            const char* name = direction == 0 ? "Income" : "Expense";
            const QString local = QString::fromLatin1(name);
            const QString euro = local + QStringLiteral("EURO");
            BalanceQuery->close();
            BalanceQuery->setQuery(*Database, balanceStatement(transactionType, idField, name, direction == 0 ? 1 : -1), {{idField, id}});
            BalanceQuery->setQueryFields({db::f64(local), db::f64(euro)});
            BalanceQuery->open();
            sums[direction][0] = BalanceQuery->value(local).toDouble();
            sums[direction][1] = BalanceQuery->value(euro).toDouble();
            BalanceQuery->close();
        }
        // A supplier being edited keeps its edit: the balance is stored with it.
        if (!wasEditing)
            counterpart.edit();
        counterpart.setValue(u"Balance", sums[0][0] - sums[1][0]);
        counterpart.setValue(u"BalanceEURO", sums[0][1] - sums[1][1]);
        if (!wasEditing)
            counterpart.post();
    } catch (const std::exception& e) {
        // a balance that cannot be stored now is stored with the next transaction
        platform::exceptionLog::logException(e, counterpart.objectName());
        BalanceQuery->close();
        if (!wasEditing && counterpart.isEditing())
            counterpart.cancel();
    }
}

void TDmForm::DeliveryTransaction(db::Dataset& delivery)
{
    if (&delivery == DeliveredMaterialsTable)
        syncDeliveryTransaction(delivery, *SupplierEconomTable, 0, "materials");
    else
        syncDeliveryTransaction(delivery, *LabEconomTable, 1, "dental jobs");
}

void TDmForm::syncDeliveryTransaction(db::Dataset& delivery, db::Dataset& ledger, int transactionType, const char* items)
{
    if (!ledger.isActive())
        return;
    if (ledger.isEditing())
        ledger.cancel(); // what an earlier, failed post of the delivery left
    // The ledger row is found whatever the finance window shows; its filter is back once the
    // row is stored (postPendingTransaction).
    if (ledger.isFiltered()) {
        ledger.setFiltered(false);
        m_ledgerFilterSuspended.insert(&ledger);
    }
    const QVariant order = delivery.value(u"OrderID");
    const bool found = ledger.locate(kHistoryID, order);
    const double total = delivery.value(u"TotalPrice").toDouble();
    const double totalEuro = delivery.value(u"TotalPriceEURO").toDouble();
    if (total == 0 && totalEuro == 0) {
        if (found)
            ledger.remove();
        return;
    }
    if (found)
        ledger.edit();
    else
        ledger.append();
    ledger.setValue(u"TransactionType", transactionType);
    ledger.setValue(kHistoryID, order);
    ledger.setValue(u"DentistID", delivery.value(u"DocID"));
    ledger.setValue(u"Sign", 1);
    ledger.setValue(u"Credit", total);
    ledger.setValue(u"CreditEURO", totalEuro);
    if (!delivery.value(u"Date").isNull())
        ledger.setValue(u"Date", delivery.value(u"Date"));
    const QString invoice = delivery.value(u"OrderCode").toString();
    ledger.setValue(u"ReceiptNo", invoice.isEmpty() ? QVariant() : QVariant(invoice));
    ledger.setValue(u"Description", Lang->Message(QStringLiteral("Order of")) + QLatin1Char(' ') + delivery.value(u"TotalItems").toString()
            + QLatin1Char(' ') + Lang->Message(QLatin1String(items)));
    const bool receipted = !invoice.isEmpty();
    ledger.setValue(u"ReceiptCredit", receipted ? QVariant(total) : QVariant());
    ledger.setValue(u"ReceiptCreditEURO", receipted ? QVariant(totalEuro) : QVariant());
    ledger.setValue(u"IOFld", receipted);
}

void TDmForm::postPendingTransaction(db::Dataset& ledger)
{
    if (ledger.isEditing())
        ledger.post();
    if (m_ledgerFilterSuspended.remove(&ledger))
        ledger.setFiltered(true);
}

void TDmForm::deleteDeliveryTransaction(db::Dataset& delivery, db::Dataset& ledger)
{
    if (!ledger.isActive())
        return;
    withoutFilter(ledger, [&] {
        if (ledger.locate(kHistoryID, delivery.value(u"OrderID")))
            ledger.remove();
    });
}

} // namespace data
