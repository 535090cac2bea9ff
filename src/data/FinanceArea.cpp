// The ledgers of patients, suppliers, labs and the practice, the per-session sums and the EURO
// rate row: the views and their record rules.

#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"
#include "data/Domain.h"

#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/Query.h"
#include "db/UpdateGroup.h"
#include "db/Errors.h"
#include "platform/MessageService.h"
#include "platform/ExceptionLog.h"
#include "platform/Session.h"



namespace data {
namespace {

const QString kSessionID = QStringLiteral("SessionID");

// The running amounts every economics view calculates, local and EURO.
void addAmountFields(db::Dataset* view)
{
    for (const char* name : {"PayableAmount", "PayableAmountEURO", "ReceivableAmount", "ReceivableAmountEURO", "Balance", "BalanceEURO"})
        view->addCalculatedField(db::f64(QLatin1String(name)));
}

QString sessionSumStatement(const char* total, int sign, bool receiptsOnly)
{
    // In receipts-only mode the sums count only the rows shown in that mode.
    return QStringLiteral("SELECT SUM(Credit) AS %1, SUM(CreditEURO) AS %1EURO FROM PatEconomics WHERE (Sign=%2) AND (SessionID=:SessionID)%3")
        .arg(QLatin1String(total))
        .arg(sign)
        .arg(receiptsOnly ? QStringLiteral(" AND (IOFld=TRUE)") : QString());
}

} // namespace

FinanceArea::FinanceArea(TDmForm& dm)
    : DmArea(dm)
{
}

void FinanceArea::declareViews()
{
    const auto practice = [this](const char* name, const char* orderField) {
        db::Dataset* view = table(name, "DentEconomics");
        view->setOrderBy({QLatin1String(orderField)});
        view->setCachedUpdates(true);
        lookup(view, db::str(QStringLiteral("Dentist"), 30), QStringLiteral("DentistID"), lists().DentistsTable, QStringLiteral("DocID"),
            QStringLiteral("LastName"));
        addAmountFields(view);
        return view;
    };
    DentEconomicsTable = practice("DentEconomicsTable", "Date");
    DentEconomicsTable->onFilterRecord.install(Stage::Area, QStringLiteral("DentEconomicsTable"),
        [](const db::Dataset& ds) { return holds(ds.value(u"TransactionType"), TransactionType::Practice); });
    DentEconomicsSrc = sourceOf(DentEconomicsTable);
    SupplierEconomTable = practice("SupplierEconomTable", "SupplierID");
    SupplierEconomTable->setMaster(supplies().SuppliersSrc, {QStringLiteral("SupplierID")}, {QStringLiteral("SupplierID")});
    SupplierEconomSrc = sourceOf(SupplierEconomTable);
    LabEconomTable = practice("LabEconomTable", "LabID");
    LabEconomTable->setMaster(supplies().DentalLabSrc, {QStringLiteral("DentalLabID")}, {QStringLiteral("LabID")});
    LabEconomSrc = sourceOf(LabEconomTable);

    PatientEconomTable = table("PatientEconomTable", "PatEconomics");
    PatientEconomTable->setOrderBy({kSessionID});
    PatientEconomTable->setMaster(clinical().SessionsSrc, {kSessionID}, {kSessionID});
    PatientEconomTable->setCachedUpdates(true);
    lookup(PatientEconomTable, db::str(QStringLiteral("Dentist"), 30), QStringLiteral("DentistID"), lists().DentistsTable, QStringLiteral("DocID"),
        QStringLiteral("LastName"));
    lookup(PatientEconomTable, db::str(QStringLiteral("ChildLastName"), 30), QStringLiteral("ChildID"), patients().AllPatientsTable,
        QStringLiteral("PatientID"), QStringLiteral("LastName"));
    lookup(PatientEconomTable, db::str(QStringLiteral("ChildFirstName"), 30), QStringLiteral("ChildID"), patients().AllPatientsTable,
        QStringLiteral("PatientID"), QStringLiteral("FirstName"));
    PatientEconomTable->addCalculatedField(db::str(QStringLiteral("ChildName"), 70));
    addAmountFields(PatientEconomTable);
    PatientEconomTable->addCalculatedField(db::f64(QStringLiteral("SessBalance")));
    PatientEconomTable->addCalculatedField(db::f64(QStringLiteral("SessBalanceEURO")));
    PatientEconomSrc = sourceOf(PatientEconomTable);
    PatEconomicsForFatherTable = table("PatEconomicsForFatherTable", "PatEconomics");
    // Charges are found by the treatment row they belong to.
    PatEconomicsForFatherTable->setIndexName(QStringLiteral("HistoryID"));
    calculateBalances();

    BalanceQuery = query("BalanceQuery"); // set when a supplier's or lab's balance is summed
    TotalReceivablesPerSessQry = query("TotalReceivablesPerSessQry", sessionSumStatement("TotalReceivables", -1, false),
        {db::f64(QStringLiteral("TotalReceivables")), db::f64(QStringLiteral("TotalReceivablesEURO"))});
    TotalPayablesPerSessQry = query("TotalPayablesPerSessQry", sessionSumStatement("TotalPayables", 1, false),
        {db::f64(QStringLiteral("TotalPayables")), db::f64(QStringLiteral("TotalPayablesEURO"))});
    followParameters(TotalReceivablesPerSessQry, clinical().SessionsTable, {kSessionID});
    followParameters(TotalPayablesPerSessQry, clinical().SessionsTable, {kSessionID});
    OtherSourcesQuery = query("OtherSourcesQuery",
        QStringLiteral("SELECT DISTINCT SourceName FROM DentEconomics WHERE (TransactionType = 2) and NOT (SourceName IS NULL)"));
    OtherSourcesSrc = sourceOf(OtherSourcesQuery);
    UpdateEforiaQry = query("UpdateEforiaQry"); // the finance window sets it before each use

    // Not a file: one row on this connection only, holding the rate while the program runs.
    const db::TableDef mem{QStringLiteral("mem"), {db::f64(QStringLiteral("EUROCurrency"))}, {}, {}};
    const QString hidden = Database->dialect().hiddenLocatorColumn(mem);
    db::Query::run(*Database,
        QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS mem (EUROCurrency %1%2)")
            .arg(Database->dialect().columnType(mem.fields.first()), hidden.isEmpty() ? QString() : QStringLiteral(", ") + hidden));
    MemTable = table("MemTable", mem);
    MemTable->field(u"EUROCurrency").setDisplayFormat(QStringLiteral(",0.000####"));
    MemTable->field(u"EUROCurrency").setEditFormat(QStringLiteral(",#.#######"));
    MemSrc = sourceOf(MemTable);
}

void FinanceArea::calculateBalances()
{
    // The practice's own ledger starts over at its first transaction, remembered whenever
    // the view's first row is calculated (after every re-read, post or delete).
    auto practice = std::make_shared<RunningBalance>(*DentEconomicsTable, [this](const db::Dataset& ds) {
        const int id = ds.value(u"EconomID").toInt();
        if (ds.recNo() == 1)
            m_firstPracticeEconomId = id;
        return id == m_firstPracticeEconomId;
    });
    DentEconomicsTable->onCalcFields.install(Stage::Area, QStringLiteral("DentEconomicsTable"),
        [practice](db::Dataset& ds) { practice->calculate(ds); });
    for (db::Dataset* view : {SupplierEconomTable, LabEconomTable}) {
        auto running = std::make_shared<RunningBalance>(*view);
        view->onCalcFields.install(Stage::Area, QStringLiteral("onCalcFields"),
            [running](db::Dataset& ds) { running->calculate(ds); });
    }

    auto running = std::make_shared<RunningBalance>(*PatientEconomTable);
    auto sessions = std::make_shared<SessionBalances>([this](const QVariant& session) { return clinical().sessionBalance(session); });
    // Fields by position: the rule runs for every row the ledger window shows.
    const db::Dataset& v = *PatientEconomTable;
    const int sessionId = v.field(kSessionID).index(), sessBalance = v.field(u"SessBalance").index(),
              sessBalanceEuro = v.field(u"SessBalanceEURO").index(), childId = v.field(u"ChildID").index(),
              childName = v.field(u"ChildName").index(), childLast = v.field(u"ChildLastName").index(),
              childFirst = v.field(u"ChildFirstName").index();
    PatientEconomTable->onCalcFields.install(
        Stage::Area, QStringLiteral("PatientEconomTable"), [=](db::Dataset& ds) {
            running->calculate(ds);
            // Rows are calculated from the first one down after every re-read or change of the
            // first row: the sessions are summed again then, once each.
            if (ds.recNo() == 1)
                sessions->forget();
            const SessionBalance session = sessions->of(ds.field(sessionId).value());
            ds.field(sessBalance).setValue(session.local);
            ds.field(sessBalanceEuro).setValue(session.euro);
            if (!ds.field(childId).value().isNull())
                ds.field(childName).setValue(
                    fullName(ds.field(childLast).value(), ds.field(childFirst).value()));
        });
}

void FinanceArea::useReceiptsOnlySums()
{
    const bool receiptsOnly = platform::receiptsOnly();
    TotalReceivablesPerSessQry->setQuery(*Database, sessionSumStatement("TotalReceivables", -1, receiptsOnly), {{kSessionID, QVariant()}});
    TotalPayablesPerSessQry->setQuery(*Database, sessionSumStatement("TotalPayables", 1, receiptsOnly), {{kSessionID, QVariant()}});
}

void FinanceArea::storeRate(double rate)
{
    dm().money().setRate(rate);
    MemTable->open();
    if (MemTable->isEmpty())
        MemTable->append();
    else
        MemTable->edit();
    MemTable->setValue(u"EUROCurrency", rate);
    MemTable->post();
}

// Record rules of the practice's ledgers: new rows, the receipt mark, the stored balances of
// suppliers and labs, and the ledger row that a delivery owes.

namespace {

const QString kHistoryID = QStringLiteral("HistoryID");

// The sums of a supplier's (lab's) ledger in one direction, as the statement has always read.
QString balanceStatement(TransactionType transactionType, const QString& idField, const char* name, Sign sign)
{
    return QStringList { QStringLiteral("SELECT  SUM(Credit) AS %1, ").arg(QLatin1String(name)),
        QStringLiteral("SUM(CreditEURO) AS %1EURO ").arg(QLatin1String(name)),
        QStringLiteral("FROM  DentEconomics"),
        QStringLiteral("WHERE TransactionType = %1 and").arg(code(transactionType)),
        // a debt without a direction counts, as in the running balance
        QStringLiteral("%1 = :%1 and %2")
            .arg(idField,
                sign == Sign::Receivable ? QStringLiteral("Sign = -1")
                                         : QStringLiteral("COALESCE(Sign, 1) <> -1")) }
        .join(QLatin1Char('\r'));
}

} // namespace

void FinanceArea::declareStorage()
{
    PatEconomicsForFatherTable->setCachedUpdates(true); // stored with the treatment that charges it
    for (db::Dataset* view : { DentEconomicsTable, SupplierEconomTable, LabEconomTable, PatientEconomTable })
        storeAlone(view);
    carriesMoney(PatientEconomTable,
        { "Credit", "SessBalance", "PayableAmount", "ReceivableAmount", "Balance", "ReceiptCredit" });
    for (db::Dataset* ledger : { DentEconomicsTable, SupplierEconomTable, LabEconomTable })
        carriesMoney(ledger, { "Credit", "PayableAmount", "ReceivableAmount", "Balance", "ReceiptCredit" });
}

void FinanceArea::installRules()
{
    installRule(PatientEconomTable->onNewRecord, &FinanceArea::PatientEconomTableNewRecord, QStringLiteral("PatientEconomTableNewRecord"));
    installRule(PatEconomicsForFatherTable->onNewRecord, QStringLiteral("PatEconomicsForFatherTableNewRecord"),
        [this](db::Dataset& ds) { ds.setValue(u"EconomID", NextID(QStringLiteral("LastPatEconom"))); });
    installRule(DentEconomicsTable->onNewRecord, &FinanceArea::DentEconomicsTableNewRecord, QStringLiteral("DentEconomicsTableNewRecord"));
    installRule(SupplierEconomTable->onNewRecord, &FinanceArea::SupplierEconomTableNewRecord, QStringLiteral("SupplierEconomTableNewRecord"));
    installRule(LabEconomTable->onNewRecord, &FinanceArea::LabEconomTableNewRecord, QStringLiteral("LabEconomTableNewRecord"));
    for (db::Dataset* ledger : {DentEconomicsTable, SupplierEconomTable, LabEconomTable, PatientEconomTable})
        installRule(ledger->beforePost, &FinanceArea::EconomicsTableBeforePost, QStringLiteral("EconomicsTableBeforePost"));
    // The stored balance follows every stored change of the ledger.
    for (db::Dataset::Rules* after : {&SupplierEconomTable->afterPostRules, &SupplierEconomTable->afterDeleteRules})
        after->install(Stage::AfterStore, QStringLiteral("SupplierBalance"),
            [this](db::Dataset&) { SupplierBalance(); });
    for (db::Dataset::Rules* after : {&LabEconomTable->afterPostRules, &LabEconomTable->afterDeleteRules})
        after->install(
            Stage::AfterStore, QStringLiteral("LabBalance"), [this](db::Dataset&) { LabBalance(); });
}

void FinanceArea::DentEconomicsTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"EconomID", NextID(QStringLiteral("LastDentEconTable")));
    DataSet.setValue(u"Date", QDate::currentDate());
    DataSet.setValue(u"DentistID", dm().defaultDentist());
    DataSet.setValue(u"PaymentType", 0);
    DataSet.setValue(u"Sign", code(Sign::Receivable));
    if (&DataSet != SupplierEconomTable) // the supplier's own, from the master link
        DataSet.setValue(u"SupplierID", -1);
    if (&DataSet != LabEconomTable)
        DataSet.setValue(u"LabID", -1);
    DataSet.setValue(u"TransactionType", code(TransactionType::Practice));
    DataSet.setValue(u"IOFld", false);
}

void FinanceArea::counterpartEconomNewRecord(db::Dataset& DataSet, const db::Dataset& counterparts, TransactionType transactionType)
{
    if (!hasRows(counterparts))
        refuseNewRow(transactionType == TransactionType::Supplier ? "Suppliers File is Empty!" : "Dental Labs File is Empty!");
    DentEconomicsTableNewRecord(DataSet);
    DataSet.setValue(u"TransactionType", code(transactionType));
    DataSet.setValue(u"SourceName", counterparts.value(u"Company"));
    DataSet.setValue(u"IOFld", true);
}

void FinanceArea::refuseNewRow(const char* text) const
{
    // A ledger row needs its counterpart: the insert is dropped.
    platform::showWarning(message(QLatin1String(text)));
    throw db::Abort();
}

void FinanceArea::SupplierEconomTableNewRecord(db::Dataset& DataSet)
{
    counterpartEconomNewRecord(DataSet, *supplies().SuppliersTable, TransactionType::Supplier);
}

void FinanceArea::LabEconomTableNewRecord(db::Dataset& DataSet)
{
    counterpartEconomNewRecord(DataSet, *supplies().DentalLabTable, TransactionType::Lab);
}

void FinanceArea::EconomicsTableBeforePost(db::Dataset& DataSet)
{
    // A patient's charge keeps its mark (the treatment or "OK" sets it); payments and every
    // row of the practice are receipted when they carry a receipt number.
    if (&DataSet == PatientEconomTable && !holds(DataSet.value(u"Sign"), Sign::Receivable))
        return;
    DataSet.setValue(u"IOFld", !DataSet.value(u"ReceiptNo").toString().isEmpty() || platform::receiptsOnly());
}

void FinanceArea::SupplierBalance()
{
    storeCounterpartBalance(*supplies().SuppliersTable, TransactionType::Supplier, QStringLiteral("SupplierID"));
}

void FinanceArea::LabBalance()
{
    storeCounterpartBalance(*supplies().DentalLabTable, TransactionType::Lab, QStringLiteral("LabID"));
}

void FinanceArea::storeCounterpartBalance(db::Dataset& counterpart, TransactionType transactionType, const QString& idField)
{
    db::Dataset& ledger = transactionType == TransactionType::Supplier ? *SupplierEconomTable : *LabEconomTable;
    // A held ledger is stored later, as a whole: the balance follows the next transaction.
    if (m_deletingCounterpart || dm().storeHeld(ledger) || !hasRows(counterpart))
        return;
    const bool wasEditing = counterpart.isEditing();
    try {
        applyPending(ledger); // the sums read the stored rows
        writeCounterpartBalance(counterpart, transactionType, idField);
    } catch (const std::exception& e) {
        // a balance that cannot be stored now is stored with the next transaction
        platform::exceptionLog::logException(e, counterpart.objectName());
        BalanceQuery->close();
        if (!wasEditing && counterpart.isEditing())
            counterpart.cancel();
    }
}

void FinanceArea::writeCounterpartBalance(db::Dataset& counterpart, TransactionType transactionType, const QString& idField)
{
    const QVariant id = counterpart.value(transactionType == TransactionType::Supplier ? idField : QStringLiteral("DentalLabID"));
    const bool wasEditing = counterpart.isEditing();
    double sums[2][2] = {}; // income, expense; local, EURO
    for (int direction = 0; direction < 2; ++direction) {
        const char* name = direction == 0 ? "Income" : "Expense";
        const QString local = QString::fromLatin1(name);
        const QString euro = local + QStringLiteral("EURO");
        BalanceQuery->close();
        BalanceQuery->setQuery(*Database,
            balanceStatement(
                transactionType, idField, name, direction == 0 ? Sign::Payable : Sign::Receivable),
            { { idField, id } });
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
}

void FinanceArea::storeDeliveryBalance(db::Dataset& delivery, db::UpdateGroup& update)
{
    const bool supplier = &delivery == supplies().DeliveredMaterialsTable;
    db::Dataset& counterpart = supplier ? *supplies().SuppliersTable : *supplies().DentalLabTable;
    if (m_deletingCounterpart || !hasRows(counterpart))
        return;
    // Held while it is posted: written by the group, after the sums that read the ledger row
    // just written. An edit in progress keeps the balance instead.
    const TDmForm::StoreHold hold(dm(), {&counterpart});
    const bool wasEditing = counterpart.isEditing();
    writeCounterpartBalance(counterpart, supplier ? TransactionType::Supplier : TransactionType::Lab,
        supplier ? QStringLiteral("SupplierID") : QStringLiteral("LabID"));
    if (!wasEditing)
        update.add(&counterpart);
}

void FinanceArea::DeliveryTransaction(db::Dataset& delivery)
{
    if (&delivery == supplies().DeliveredMaterialsTable)
        syncDeliveryTransaction(delivery, *SupplierEconomTable, TransactionType::Supplier, "materials");
    else
        syncDeliveryTransaction(delivery, *LabEconomTable, TransactionType::Lab, "dental jobs");
}

void FinanceArea::syncDeliveryTransaction(db::Dataset& delivery, db::Dataset& ledger, TransactionType transactionType, const char* items)
{
    if (!ledger.isActive())
        return;
    if (ledger.isEditing())
        ledger.cancel(); // what an earlier, failed post of the delivery left
    // The row is posted held: it is written with the delivery, in the delivery's transaction.
    // It is found whatever the finance window shows.
    const TDmForm::StoreHold hold(dm(), {&ledger});
    withoutFilter(ledger, [&] {
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
        try {
            ledger.setValue(u"TransactionType", code(transactionType));
            ledger.setValue(kHistoryID, order);
            ledger.setValue(u"DentistID", delivery.value(u"DocID"));
            ledger.setValue(u"Sign", code(Sign::Payable));
            ledger.setValue(u"Credit", total);
            ledger.setValue(u"CreditEURO", totalEuro);
            if (!delivery.value(u"Date").isNull())
                ledger.setValue(u"Date", delivery.value(u"Date"));
            const QString invoice = delivery.value(u"OrderCode").toString();
            ledger.setValue(u"ReceiptNo", invoice.isEmpty() ? QVariant() : QVariant(invoice));
            ledger.setValue(u"Description",
                message(QStringLiteral("Order of")) + QLatin1Char(' ') + delivery.value(u"TotalItems").toString() + QLatin1Char(' ')
                    + message(QLatin1String(items)));
            const bool receipted = !invoice.isEmpty();
            ledger.setValue(u"ReceiptCredit", receipted ? QVariant(total) : QVariant());
            ledger.setValue(u"ReceiptCreditEURO", receipted ? QVariant(totalEuro) : QVariant());
            ledger.setValue(u"IOFld", receipted);
            ledger.post();
        } catch (...) {
            if (ledger.isEditing())
                ledger.cancel();
            throw;
        }
    });
}

void FinanceArea::deleteDeliveryTransaction(db::Dataset& delivery, db::Dataset& ledger)
{
    if (!ledger.isActive())
        return;
    // Held, as the post: the removal is written with the delivery's.
    const TDmForm::StoreHold hold(dm(), {&ledger});
    withoutFilter(ledger, [&] {
        if (ledger.locate(kHistoryID, delivery.value(u"OrderID")))
            ledger.remove();
    });
}

void FinanceArea::PatientEconomTableNewRecord(db::Dataset& DataSet)
{
    if (!hasRows(*patients().PatientsTable))
        refuseNewRow("Patients File is Empty!");
    DataSet.setValue(u"EconomID", NextID(QStringLiteral("LastPatEconom")));
    DataSet.setValue(QStringLiteral("PatientID"), patients().PatientsTable->value(QStringLiteral("PatientID")));
    DataSet.setValue(u"SourceName", patients().PatientsTable->value(u"LastName"));
    DataSet.setValue(u"Date", QDate::currentDate());
    DataSet.setValue(u"DentistID", dm().defaultDentist());
    DataSet.setValue(u"PaymentType", 0);
    DataSet.setValue(u"Sign", code(Sign::Receivable));
    if (financeChargedMember) {
        const QVariant member = financeChargedMember();
        if (!member.isNull())
            DataSet.setValue(u"ChildID", member);
    }
    DataSet.setValue(u"IOFld", false);
}

void FinanceArea::rememberFirstPracticeEconomId()
{
    m_firstPracticeEconomId = DentEconomicsTable->isEmpty() ? -1 : DentEconomicsTable->value(u"EconomID").toInt();
}

} // namespace data
