#pragma once

#include "data/DmArea.h"
#include "data/Domain.h"
#include "data/LedgerBalance.h"

#include <QScopedValueRollback>
#include <QDate>
#include <QSet>

#include <functional>

namespace db {
class UpdateGroup;
}

namespace data {

// The ledgers of patients, suppliers, labs and the practice, the per-session sums, and the
// in-memory row that holds the EURO rate.
class FinanceArea : public DmArea {
    Q_OBJECT
public:
    explicit FinanceArea(TDmForm& dm);
    void declareViews();
    void installRules();
    void declareStorage();

    // The stored balance of the current supplier (lab): its debts minus its payments.
    void SupplierBalance();
    void LabBalance();
    // The supplier (lab) ledger row of a delivery: created, updated or deleted after its totals.
    void DeliveryTransaction(db::Dataset& delivery);
    // The supplier (lab) ledger row of a removed delivery goes with it.
    void deleteDeliveryTransaction(db::Dataset& delivery, db::Dataset& ledger);
    // Inside a delivery's transaction, once its ledger row is written: the supplier's (lab's)
    // stored balance, added to the transaction.
    void storeDeliveryBalance(db::Dataset& delivery, db::UpdateGroup& update);
    // While it lives a supplier or lab goes with its ledger: no balance to keep.
    [[nodiscard]] QScopedValueRollback<bool> deletingCounterpart() { return QScopedValueRollback<bool>(m_deletingCounterpart, true); }

    // The rate of "1 EURO =", kept for the conversions and in MemTable.
    void storeRate(double rate);
    // The per-session sums count only receipted rows in receipts-only mode.
    void useReceiptsOnlySums();
    int firstPracticeEconomId() const { return m_firstPracticeEconomId; }
    void rememberFirstPracticeEconomId();

    // The family member the finance window charges, when it has selected one.
    std::function<QVariant()> financeChargedMember;

    // --- the ledger window's services (FinanceLedger.cpp) ---
    // "OK" (receipted) or "Not OK" on rows of the patients' ledger: every charge among them
    // whose mark differs takes it ("OK" copies the amount into the receipt amount, "Not OK"
    // empties it), and the treatments of the session follow their charges' marks, all in one
    // transaction; a failure stores nothing. The number of charges changed.
    int markCharges(const QList<QVariant>& economIds, bool receipted);
    // Income minus outcome of the practice's other sources (receipted amounts in receipts-only mode).
    SessionBalance otherSourcesTotal() const;
    // The descriptions used in the practice's ledgers and the names of other sources, sorted.
    QStringList ledgerDescriptions() const;
    QStringList otherSourceNames() const;
    // A new row for a protected member who does not pay is made in the family head's ledger:
    // moves the patients' view to the head and returns the member, else returns nothing.
    QVariant chargeOnBehalf();
    // The costs of a session's treatments at one level, in both currencies.
    SessionBalance treatmentsCost(const QVariant& sessionId, TreatmentLevel level) const;
    // A discount on a session's treatments at the plan or implementation level: one more
    // treatment row with a negative price and cost (its charge follows by the history rules).
    void appendDiscount(
        TreatmentLevel level, const QDate& date, const QVariant& dentistId, double cost, double costEuro);

    db::Dataset *DentEconomicsTable, *SupplierEconomTable, *LabEconomTable, *PatientEconomTable;
    db::Dataset *PatEconomicsForFatherTable, *BalanceQuery, *TotalReceivablesPerSessQry, *TotalPayablesPerSessQry;
    db::Dataset *OtherSourcesQuery, *UpdateEforiaQry, *MemTable;
    db::DataSource *DentEconomicsSrc, *SupplierEconomSrc, *LabEconomSrc, *PatientEconomSrc, *OtherSourcesSrc, *MemSrc;

private:
    void DentEconomicsTableNewRecord(db::Dataset& DataSet);
    void SupplierEconomTableNewRecord(db::Dataset& DataSet);
    void LabEconomTableNewRecord(db::Dataset& DataSet);
    void PatientEconomTableNewRecord(db::Dataset& DataSet);
    void EconomicsTableBeforePost(db::Dataset& DataSet); // the receipt mark of every ledger
    // The new row of a supplier's or a lab's ledger: a practice row with its counterpart.
    void counterpartEconomNewRecord(db::Dataset& DataSet, const db::Dataset& counterparts, TransactionType transactionType);
    [[noreturn]] void refuseNewRow(const char* text) const;
    void calculateBalances();
    void storeCounterpartBalance(db::Dataset& counterpart, TransactionType transactionType, const QString& idField);
    void writeCounterpartBalance(db::Dataset& counterpart, TransactionType transactionType, const QString& idField);
    void syncDeliveryTransaction(db::Dataset& delivery, db::Dataset& ledger, TransactionType transactionType, const char* items);

    bool m_deletingCounterpart = false;
    int m_firstPracticeEconomId = -1;
};

} // namespace data
