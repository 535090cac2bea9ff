// The views of the patients' accounts and the practice's own transactions, the per-session
// sums, and the in-memory row that holds the EURO rate.

#include "data/DmUnit.h"


#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/Query.h"
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

void TDmForm::declareFinanceViews()
{
    const auto practice = [this](const char* name, const char* orderField) {
        db::Dataset* view = table(name, "DentEconomics");
        view->setOrderBy({QLatin1String(orderField)});
        view->setCachedUpdates(true);
        lookup(view, db::str(QStringLiteral("Dentist"), 30), QStringLiteral("DentistID"), DentistsTable, QStringLiteral("DocID"),
            QStringLiteral("LastName"));
        addAmountFields(view);
        return view;
    };
    DentEconomicsTable = practice("DentEconomicsTable", "Date");
    DentEconomicsTable->onFilterRecord = [](const db::Dataset& ds) { return ds.value(u"TransactionType").toInt() == 2; };
    DentEconomicsSrc = sourceOf(DentEconomicsTable);
    SupplierEconomTable = practice("SupplierEconomTable", "SupplierID");
    SupplierEconomTable->setMaster(SuppliersSrc, {QStringLiteral("SupplierID")}, {QStringLiteral("SupplierID")});
    SupplierEconomSrc = sourceOf(SupplierEconomTable);
    LabEconomTable = practice("LabEconomTable", "LabID");
    LabEconomTable->setMaster(DentalLabSrc, {QStringLiteral("DentalLabID")}, {QStringLiteral("LabID")});
    LabEconomSrc = sourceOf(LabEconomTable);

    PatientEconomTable = table("PatientEconomTable", "PatEconomics");
    PatientEconomTable->setOrderBy({kSessionID});
    PatientEconomTable->setMaster(SessionsSrc, {kSessionID}, {kSessionID});
    PatientEconomTable->setCachedUpdates(true);
    lookup(PatientEconomTable, db::str(QStringLiteral("Dentist"), 30), QStringLiteral("DentistID"), DentistsTable, QStringLiteral("DocID"),
        QStringLiteral("LastName"));
    lookup(PatientEconomTable, db::str(QStringLiteral("ChildLastName"), 30), QStringLiteral("ChildID"), AllPatientsTable,
        QStringLiteral("PatientID"), QStringLiteral("LastName"));
    lookup(PatientEconomTable, db::str(QStringLiteral("ChildFirstName"), 30), QStringLiteral("ChildID"), AllPatientsTable,
        QStringLiteral("PatientID"), QStringLiteral("FirstName"));
    PatientEconomTable->addCalculatedField(db::str(QStringLiteral("ChildName"), 70));
    addAmountFields(PatientEconomTable);
    PatientEconomTable->addCalculatedField(db::f64(QStringLiteral("SessBalance")));
    PatientEconomTable->addCalculatedField(db::f64(QStringLiteral("SessBalanceEURO")));
    PatientEconomSrc = sourceOf(PatientEconomTable);
    PatEconomicsForFatherTable = table("PatEconomicsForFatherTable", "PatEconomics");
    calculateBalances();

    BalanceQuery = query("BalanceQuery"); // set when a supplier's or lab's balance is summed
    TotalReceivablesPerSessQry = query("TotalReceivablesPerSessQry", sessionSumStatement("TotalReceivables", -1, false),
        {db::f64(QStringLiteral("TotalReceivables")), db::f64(QStringLiteral("TotalReceivablesEURO"))});
    TotalPayablesPerSessQry = query("TotalPayablesPerSessQry", sessionSumStatement("TotalPayables", 1, false),
        {db::f64(QStringLiteral("TotalPayables")), db::f64(QStringLiteral("TotalPayablesEURO"))});
    followParameters(TotalReceivablesPerSessQry, SessionsTable, {kSessionID});
    followParameters(TotalPayablesPerSessQry, SessionsTable, {kSessionID});
    OtherSourcesQuery = query("OtherSourcesQuery",
        QStringLiteral("SELECT DISTINCT SourceName FROM DentEconomics WHERE (TransactionType = 2) and NOT (SourceName IS NULL)"));
    OtherSourcesSrc = sourceOf(OtherSourcesQuery);
    UpdateEforiaQry = query("UpdateEforiaQry"); // the finance window sets it before each use

    // Not a file: one row on this connection only, holding the rate while the program runs.
    const db::TableDef mem{QStringLiteral("mem"), {db::f64(QStringLiteral("EUROCurrency"))}, {}, {}};
    if (Database->isSqlite())
        db::Query::run(*Database,
            QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS mem (EUROCurrency %1)").arg(Database->dialect().columnType(mem.fields.first())));
    MemTable = table("MemTable", mem);
    MemTable->field(u"EUROCurrency").setDisplayFormat(QStringLiteral(",0.000####"));
    MemTable->field(u"EUROCurrency").setEditFormat(QStringLiteral(",#.#######"));
    MemSrc = sourceOf(MemTable);
}

void TDmForm::calculateBalances()
{
    // The practice's own ledger starts over at its first transaction, remembered whenever
    // the view's first row is calculated (after every re-read, post or delete).
    auto practice = std::make_shared<RunningBalance>(*DentEconomicsTable, [this](const db::Dataset& ds) {
        const int id = ds.value(u"EconomID").toInt();
        if (ds.recNo() == 1)
            m_firstPracticeEconomId = id;
        return id == m_firstPracticeEconomId;
    });
    DentEconomicsTable->onCalcFields = [practice](db::Dataset& ds) { practice->calculate(ds); };
    for (db::Dataset* view : {SupplierEconomTable, LabEconomTable}) {
        auto running = std::make_shared<RunningBalance>(*view);
        view->onCalcFields = [running](db::Dataset& ds) { running->calculate(ds); };
    }

    auto running = std::make_shared<RunningBalance>(*PatientEconomTable);
    auto sessions = std::make_shared<SessionBalances>([this](const QVariant& session) { return sessionBalance(session); });
    PatientEconomTable->onCalcFields = [running, sessions](db::Dataset& ds) {
        running->calculate(ds);
        // Rows are calculated from the first one down after every re-read or change of the
        // first row: the sessions are summed again then, once each.
        if (ds.recNo() == 1)
            sessions->forget();
        const SessionBalance session = sessions->of(ds.value(kSessionID));
        ds.setValue(u"SessBalance", session.local);
        ds.setValue(u"SessBalanceEURO", session.euro);
        ds.setValue(u"ChildName", fullName(ds.value(u"ChildLastName"), ds.value(u"ChildFirstName")));
    };
}

void TDmForm::useReceiptsOnlySums()
{
    const bool receiptsOnly = platform::receiptsOnly();
    TotalReceivablesPerSessQry->setQuery(*Database, sessionSumStatement("TotalReceivables", -1, receiptsOnly), {{kSessionID, QVariant()}});
    TotalPayablesPerSessQry->setQuery(*Database, sessionSumStatement("TotalPayables", 1, receiptsOnly), {{kSessionID, QVariant()}});
}

void TDmForm::storeRate(double rate)
{
    m_money.setRate(rate);
    MemTable->open();
    if (MemTable->isEmpty())
        MemTable->append();
    else
        MemTable->edit();
    MemTable->setValue(u"EUROCurrency", rate);
    MemTable->post();
}

void TDmForm::applyMoneyFormats()
{
    // The views with amounts and their local fields; each EURO twin is formatted alike.
    const QList<std::pair<db::Dataset*, QStringList>> money = {
        {PatientEconomTable, {"Credit", "SessBalance", "PayableAmount", "ReceivableAmount", "Balance", "ReceiptCredit"}},
        {DentEconomicsTable, {"Credit", "PayableAmount", "ReceivableAmount", "Balance", "ReceiptCredit"}},
        {SupplierEconomTable, {"Credit", "PayableAmount", "ReceivableAmount", "Balance", "ReceiptCredit"}},
        {LabEconomTable, {"Credit", "PayableAmount", "ReceivableAmount", "Balance", "ReceiptCredit"}},
        {HistPerSessionTable, {"Cost", "Price"}},
        {HistPerSessionTable2, {"Cost", "Price"}},
        {HistPerSessionTable3, {"Cost", "Price"}},
        {SuppliersPerMaterialTable, {"Price", "OldPrice"}},
        {OperationsTable, {"Cost"}},
        {TempHistTable, {"Cost", "Price"}},
        {DentalLabTable, {"Balance"}},
        {SuppliersTable, {"Balance"}},
        {MaterialOrderItemsTable, {"Price", "UnitPrice"}},
        {DeliveredMatItemsTable, {"Price", "UnitPrice"}},
        {MaterialOrdersTable, {"TotalPrice"}},
        {DeliveredMaterialsTable, {"TotalPrice"}},
        {MedicinesTable, {"RetailPrice", "TradePrice", "HospitalPrice"}},
        {LabOrderItemsTable, {"OrderPrice"}},
        {DeliveredLabOrderItemsTable, {"OrderPrice"}},
        {LabOrdersTable, {"TotalPrice"}},
        {DeliveredLabOrdersTable, {"TotalPrice"}},
    };
    const MoneyFormat euro = euroMoneyFormat();
    const MoneyFormat local = m_money.localFormat();
    for (const auto& [view, fields] : money) {
        for (const QString& name : fields) {
            db::Field& localField = view->field(name);
            if (!local.displayPattern.isEmpty())
                localField.setDisplayFormat(local.displayPattern);
            localField.setEditFormat(local.editPattern);
            db::Field& euroField = view->field(moneyTwin(name));
            euroField.setDisplayFormat(euro.displayPattern);
            euroField.setEditFormat(euro.editPattern);
        }
    }
}

} // namespace data
