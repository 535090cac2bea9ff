#pragma once

#include "data/DataDirectory.h"
#include "data/LedgerBalance.h"
#include "data/Money.h"
#include "db/Dataset.h"
#include "db/Errors.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace db {
class Connection;
class DataSource;
class Generators;
struct ConnectionProfile;
} // namespace db

namespace platform {
class Settings;
enum class MultiUserType;
} // namespace platform

namespace widgets {
class TLanguage;
}

namespace data {

// A view could not be opened at start; `table()` is the table (or query) being opened.
class DmOpenError : public db::DatabaseError {
public:
    DmOpenError(const QString& table, const QString& cause);
    const QString& table() const { return m_table; }

private:
    QString m_table;
};

// The message shown when the data cannot be opened at start: a stand-alone or server
// workstation points at its own repair command, a client names the table it could not reach.
QString openFailureMessage(platform::MultiUserType type, const QString& table, widgets::TLanguage& lang);

// Age in whole years, rounded (30 years and 7 months give 31); a baby counts as 1; empty
// without a birth date.
QVariant patientAge(const QDate& birthDate, const QDate& today);
// "Last First", or the last name alone when there is no first name.
QString fullName(const QVariant& last, const QVariant& first);


// The data module: one object for the whole run. Owns the database connection, the identifier
// generators, every view and query of the program (each a db::Dataset whose objectName is its
// name, with a data source beside it) and opens them at start.
//
//     auto dm = data::TDmForm::connect(profile);          // DmOpenError when there is no database
//     dm->openAtStart(settings, [&](int percent) { status.setProgress(percent); });
//     dm->PatientsTable->first();
class TDmForm : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kDatabaseName = "PallavorDB";
    using Progress = std::function<void(int percent)>;

    // Builds every view on the connections; nothing is opened yet.
    explicit TDmForm(DataConnections connections, QObject* parent = nullptr);
    ~TDmForm() override;

    // Connects to the database of a profile (an SQLite data directory must already hold one).
    // Throws DmOpenError naming the database when it cannot be reached.
    static std::unique_ptr<TDmForm> connect(const db::ConnectionProfile& profile, QObject* parent = nullptr);

    // The start: default dentist, EURO rate, money formats, old appointments, then every view
    // in the start-up order with the progress at each mark (0 … 100). On a failure every view
    // is closed again and DmOpenError names the table being opened (it is also left in
    // platform::session().openingTable for the start-up window).
    void openAtStart(const platform::Settings& settings, const Progress& progress = {}, QDate today = QDate::currentDate());

    // Opens a view and translates its fields' display labels (once per view).
    void OpenTable(db::Dataset& view);
    void closeAll();

    // Takes the next identifier of a generator, named by its table ("LastPat") or its view
    // ("LastPatTable").
    qint32 NextID(const QString& generator);
    // Reads the view again, so that other workstations' changes show (every commit is on the
    // disk already); a closed view is opened for the moment.
    void FlushTable(db::Dataset& view);

    // Every view and query by name (exact, then ignoring case); nullptr when there is none.
    db::Dataset* findView(QStringView name) const;
    db::DataSource* findSource(QStringView name) const;
    const QList<db::Dataset*>& views() const { return m_views; }
    db::DataSource* sourceOf(const db::Dataset* view) const;
    // False for the queries whose statement a window sets before each use.
    static bool hasStatement(const db::Dataset& view);

    db::Connection& connection() const { return *Database; }
    db::Generators& generators() const { return *m_generators; }
    MoneyState& money() { return m_money; }
    widgets::TLanguage& lang() const { return *Lang; }

    int defaultDentist() const { return m_defaultDentist; }
    // Keeps the default dentist for new rows and writes it to the settings.
    void setDefaultDentist(int dentistId, platform::Settings settings);
    int firstPracticeEconomId() const { return m_firstPracticeEconomId; }
    const QString& openingTable() const { return m_openingTable; }
    // DataRoot + "/xrays/x" + the current patient's PatientID.
    const QString& xRayFolder() const { return m_xRayFolder; }

    // The operation picker lists the operations of one chart tool group; 0 lists them all.
    void setOperationsGroup(int group);
    int operationsGroup() const { return m_operationsGroup; }

    // The dental chart's further limit on the session's history rows (its tooth filter and the
    // adult or primary teeth); unset while the chart is closed.
    std::function<bool(const db::Dataset&)> chartHistoryFilter;

    // Gives the money fields of every view with amounts their display and edit formats.
    void applyMoneyFormats();

    std::unique_ptr<db::Connection> Database;
    widgets::TLanguage* Lang = nullptr;
    db::DataSource* ActiveSrc = nullptr;

    // --- storing changes (DmGroups.cpp) ---
    // After a post or delete of a master view its group of views with cached updates is
    // written in one transaction and the group's tables are flushed; after a cancel the group's
    // pending changes are dropped. Every master of the groups is wired at construction; rules
    // call these directly only when they need the same outside a post.
    void storeGroup(db::Dataset& master);
    void discardGroup(db::Dataset& master);
    // While it lives, posts and deletes of these views stay pending instead of being stored:
    // for a dialog that keeps changes over several posts until OK (storeGroup) or Cancel.
    class StoreHold {
    public:
        StoreHold(TDmForm& dm, const QList<db::Dataset*>& views);
        ~StoreHold();
        StoreHold(const StoreHold&) = delete;
        StoreHold& operator=(const StoreHold&) = delete;

    private:
        TDmForm& m_dm;
        QList<db::Dataset*> m_views;
    };
    // The save question for a window that is left with unsaved changes: posts at once with
    // `autoPost`, otherwise asks Yes (post), No (cancel) or Cancel (false, the edit stays open).
    // A post refused by a rule also gives false. True at once when nothing is being edited.
    bool AskToPost(db::Dataset& view, bool autoPost = false);
    // An index on the view's table over its first field; needs the database to itself.
    void AddIndex(db::Dataset& view);
    // While a loop posts many history rows the re-reading of PossibleLabOrderItemsQry that
    // follows each post is held (counted); resuming re-reads it once.
    void suspendLabItemsRefresh();
    void resumeLabItemsRefresh();

    // --- record rules of the patient file and the clinical records ---
    // (DmPatientRules.cpp, DmHistoryRules.cpp, DmClinicalRules.cpp)
    void PatientsTableNewRecord(db::Dataset& DataSet);
    void PatientsTableAfterEdit(db::Dataset& DataSet);
    void PatientsTableBeforePost(db::Dataset& DataSet);
    void PatientsTableBeforeDelete(db::Dataset& DataSet);
    void AnamnesticaTableNewRecord(db::Dataset& DataSet);
    void AnamnesticaTableBeforePost(db::Dataset& DataSet);
    void FamilyTableNewRecord(db::Dataset& DataSet); // both family views
    void RecallsTableNewRecord(db::Dataset& DataSet);
    void QuestTemplateMasterTableNewRecord(db::Dataset& DataSet);
    void PatBookTblBeforePost(db::Dataset& DataSet);
    void PatientEconomTableNewRecord(db::Dataset& DataSet);
    void PhotosTableNewRecord(db::Dataset& DataSet);
    void PhotosTableBeforeDelete(db::Dataset& DataSet);
    void HistPerSessionTableNewRecord(db::Dataset& DataSet); // the three history views
    void HistPerSessionTableBeforeEdit(db::Dataset& DataSet);
    void HistPerSessionTableBeforePost(db::Dataset& DataSet);
    void HistPerSessionTableBeforeDelete(db::Dataset& DataSet);
    void HistPerSessionTableOperIDChange(db::Dataset& DataSet);
    void OperationsTableNewRecord(db::Dataset& DataSet);
    void SessionsTableNewRecord(db::Dataset& DataSet);
    void SessionsTableBeforeDelete(db::Dataset& DataSet);
    void EndoTableNewRecord(db::Dataset& DataSet);
    void PeriTableNewRecord(db::Dataset& DataSet);
    void PeriTableBeforeDelete(db::Dataset& DataSet);
    void PeriItemTableNewRecord(db::Dataset& DataSet);
    void ToothNotesTableNewRecord(db::Dataset& DataSet); // and ToothColorTable

    // --- session services of the dental chart (DmSessions.cpp) ---
    // Ends the current session of SessionsTable: completed, and the patient has no open session.
    void EndSession();
    // Opens the session after the current one when that is completed, makes it the patient's
    // current session and offers to carry the old session's balance over (TransferBalance).
    // False, doing nothing, while the current session is open.
    bool NewSession();
    // The question "Transfer the Balance"; on Yes one "Transfer of Balance" charge of the amount
    // is added to the session of SessionsTable. True when it was added.
    bool TransferBalance(const SessionBalance& balance);
    // Copies into the current session what the previous one leaves: its findings and
    // implemented treatments as the new initial situation, tooth notes, images, tooth colours
    // and endodontic records.
    void CarryOverSession(const QVariant& previousSessionId);
    // Payables minus receivables of a session (receipted rows only in receipts-only mode).
    SessionBalance sessionBalance(const QVariant& sessionId) const;

    // The Cost and CostEURO of the history row when it went into edit (0 for a new row).
    std::pair<double, double> historyCostAtEdit(const db::Dataset& history) const { return m_costAtEdit.value(&history); }

    // What the dental chart tells the rules while it is open; unset while it is closed.
    std::function<int()> chartSelectedTooth; // 0 when no tooth is selected
    std::function<int()> chartTreatmentLevel; // the level of the chart's current tab
    // The family member the finance window charges, when it has selected one.
    std::function<QVariant()> financeChargedMember;

Q_SIGNALS:
    // A patient and the rows stored with it were written: a family window and the main
    // window's status refresh.
    void patientStored();
    // A new or edited patient was cancelled: the patient window shows the row again.
    void patientDiscarded();
    // A patient was refused for want of a last name: the patient window focuses that box.
    void lastNameMissing();
    // A periodontal chart row was started, put into edit or is about to be stored: an open
    // periodontal chart window refreshes its controls.
    void perioChanged();

public:

    // --- patients and clinical records ---
    db::Dataset *PatientsTable, *AllPatientsTable, *NonProtectedPatientsTable, *AnamnesticaTable;
    db::Dataset *FamilyFatherTable, *FamilyChildrenTable, *FamilyChildrenForLookOnly;
    db::Dataset *CitiesTable, *InsurCompaniesTable, *CategoriesTable, *PatBookTbl;
    db::Dataset *QuestTemplateMasterTable, *QuestTemplateDetailTable, *QuestAnswerTable;
    db::Dataset *SessionsTable, *OperationsTable, *OperationsTableForLook, *OperationsSortedForLook;
    db::Dataset *HistPerSessionTable, *HistPerSessionTable2, *HistPerSessionTable3, *HistPerPatTable;
    db::Dataset *HistLabOrderItemsToUpdateTable, *PossibleOrdersPerLabTable;
    db::Dataset *PhotosTable, *PrevPhotosQry, *EndoTable, *PrevEndoQry, *ToothNotesTable, *PrevToothNotesQry;
    db::Dataset *ToothColorTable, *PrevToothColorQry, *PeriTable, *PeriItemTable;
    db::Dataset *FirstLastDateQRY, *PatientsToReviewQry;
    // The operation picker's work row: on this connection only, never stored (cached, dropped).
    db::Dataset* TempHistTable;
    db::DataSource* TempHistSrc;
    db::DataSource *PatientsSrc, *AllPatientsSrc, *NonProtectedPatientsSrc, *AnamnesticaSrc;
    db::DataSource *FamilyFatherSrc, *FamilyChildrenSrc, *CitiesSrc, *InsurCompaniesSrc, *CategoriesSrc, *PatBookSrc;
    db::DataSource *QuestTemplateMasterSrc, *QuestAnswerSrc, *SessionsSrc, *OperationsSrc;
    db::DataSource *HistPerSessionSrc, *HistPerSessionSrc2, *HistPerSessionSrc3, *HistPerPatSrc;
    db::DataSource *PhotosSrc, *EndoSrc, *ToothNotesSrc, *ToothColorSrc, *PeriSrc, *PeriItemSrc;
    db::DataSource *FirstLasDateSrc, *PatientsToReviewSrc;

    // --- finance ---
    db::Dataset *DentEconomicsTable, *SupplierEconomTable, *LabEconomTable, *PatientEconomTable;
    db::Dataset *PatEconomicsForFatherTable, *BalanceQuery, *TotalReceivablesPerSessQry, *TotalPayablesPerSessQry;
    db::Dataset *OtherSourcesQuery, *UpdateEforiaQry, *MemTable;
    db::DataSource *DentEconomicsSrc, *SupplierEconomSrc, *LabEconomSrc, *PatientEconomSrc, *OtherSourcesSrc, *MemSrc;

    // --- supplies and lab work ---
    db::Dataset *SuppliersTable, *SuppliersForLookUpTable, *MaterialsTable, *DentalMaterialsTable;
    db::Dataset *SuppliersPerMaterialTable, *MaterialsPerSupplierTable, *MaterialOrdersTable, *DeliveredMaterialsTable;
    db::Dataset *MaterialOrderItemsTable, *DeliveredMatItemsTable, *MaterialOrderItemsForLook;
    db::Dataset *DentalLabTable, *DentalLabForLookTable, *LabOrdersTable, *DeliveredLabOrdersTable;
    db::Dataset *LabOrderItemsTable, *DeliveredLabOrderItemsTable, *UndeliveredLabOrdersToUpdateTable;
    db::Dataset *UndeliveredMaterialOrderItemsQry, *UndeliveredMaterialItemsPerSupplQry, *OrderedMaterialsQry;
    db::Dataset *UndeliveredLabOrdersQry, *UndeliveredOrderItemsPerLabQry, *PossibleLabOrderItemsQry;
    db::DataSource *SuppliersSrc, *MaterialsSrc, *DentalMaterialsSrc, *SuppliersPerMaterialSrc, *MaterialOrdersSrc;
    db::DataSource *MaterialOrderItemsSrc, *DeliveredMaterialsSrc, *DeliveredMatItemsSrc, *UndeliveredMaterialOrderItemsSrc;
    db::DataSource *UndeliveredMaterialItemsPerSupplSrc, *DentalLabSrc, *LabOrdersSrc, *LabOrderItemsSrc;
    db::DataSource *DeliveredLabOrdersSrc, *DeliveredLabOrderItemsSrc, *UndeliveredLabOrdersSrc;
    db::DataSource *UndeliveredOrderItemsPerLabSrc, *PossibleOrdersPerLabSrc, *PossibleLabOrderItemsSrc;

    // --- appointments, prescriptions, reminders and lists ---
    db::Dataset *AppointmentTable, *AppointmentTypesTable, *DentistsTable, *MedicinesTable, *PrescriptionsTable;
    db::Dataset *PrescrItemsTable, *PhonesTable, *RemindersTable, *NameDaysTable, *RecallsTable;
    db::Dataset *DeleteAppQry, *DeleteQuery, *TempQuery;
    db::DataSource *AppointmentSrc, *AppointmentTypesSrc, *DentistsSrc, *MedicinesSrc, *PrescriptionsSrc;
    db::DataSource *PrescrItemsSrc, *PhonesSrc, *RemindersSrc, *NameDaysSrc, *RecallsSrc;

    // --- record rules of supplies, labs, finance, appointments and lists ---
    // (DmMoneyRules.cpp, DmSuppliesRules.cpp, DmLabRules.cpp, DmFinanceRules.cpp, DmListRules.cpp)

    // Completes the money pairs of the view's row being edited with the current rate: in EURO
    // mode the local amounts from the EURO ones, otherwise the reverse.
    void ConvertTwins(db::Dataset& view);
    // The views whose rows are completed before every post. installMoneyRules() makes each
    // view's before-post rule complete the pairs, run the view's own rule (which sees complete
    // pairs and may change amounts), and complete them again; it wraps whatever rule the view
    // has, so it runs after every other installation.
    QList<db::Dataset*> moneyViews() const;
    // The stored balance of the current supplier (lab): its debts minus its payments.
    void SupplierBalance();
    void LabBalance();
    // The supplier (lab) ledger row of a delivery: created, updated or deleted after its totals.
    void DeliveryTransaction(db::Dataset& delivery);

    void AppointmentTableNewRecord(db::Dataset& DataSet);
    void AppointmentTablePatNameChange(db::Dataset& DataSet);
    void DentistsTableNewRecord(db::Dataset& DataSet);
    void DentistsTableBeforePost(db::Dataset& DataSet);
    void ListTableNewRecord(db::Dataset& DataSet); // the lists numbered from their generator
    void PrescriptionsTableNewRecord(db::Dataset& DataSet);
    void PrescriptionsTableBeforeDelete(db::Dataset& DataSet);
    void RemindersTableNewRecord(db::Dataset& DataSet);
    void SuppliersTableNewRecord(db::Dataset& DataSet);
    void SuppliersTableBeforeDelete(db::Dataset& DataSet);
    void MaterialsTableNewRecord(db::Dataset& DataSet);
    void MaterialsTableBeforePost(db::Dataset& DataSet);
    void MaterialsTableBeforeDelete(db::Dataset& DataSet);
    void SuppliersPerMaterialTableNewRecord(db::Dataset& DataSet);
    void SuppliersPerMaterialTableBeforeEdit(db::Dataset& DataSet);
    void SuppliersPerMaterialTableBeforePost(db::Dataset& DataSet);
    void MaterialOrdersTableBeforeInsert(db::Dataset& DataSet);
    void MaterialOrdersTableNewRecord(db::Dataset& DataSet);
    void MaterialOrdersTableBeforePost(db::Dataset& DataSet);
    void MaterialOrdersTableBeforeDelete(db::Dataset& DataSet);
    void DeliveredMaterialsTableBeforePost(db::Dataset& DataSet);
    void DeliveredMaterialsTableBeforeDelete(db::Dataset& DataSet);
    void MaterialOrderItemsTableNewRecord(db::Dataset& DataSet);
    void MaterialOrderItemsTableFieldChange(db::Dataset& DataSet, const QString& fieldName);
    void DeliveredMatItemsTableBeforePost(db::Dataset& DataSet);
    void DeliveredMatItemsTableBeforeDelete(db::Dataset& DataSet);
    void DentalLabTableNewRecord(db::Dataset& DataSet);
    void DentalLabTableBeforePost(db::Dataset& DataSet);
    void DentalLabTableBeforeDelete(db::Dataset& DataSet);
    void LabOrdersTableBeforeInsert(db::Dataset& DataSet);
    void LabOrdersTableNewRecord(db::Dataset& DataSet);
    void LabOrdersTableBeforePost(db::Dataset& DataSet);
    void LabOrdersTableBeforeDelete(db::Dataset& DataSet);
    void DeliveredLabOrdersTableBeforePost(db::Dataset& DataSet);
    void DeliveredLabOrdersTableBeforeDelete(db::Dataset& DataSet);
    void LabOrderItemsTableNewRecord(db::Dataset& DataSet);
    void LabOrderItemsTableBeforeDelete(db::Dataset& DataSet);
    void DeliveredLabOrderItemsTableBeforeDelete(db::Dataset& DataSet);
    void DentEconomicsTableNewRecord(db::Dataset& DataSet);
    void SupplierEconomTableNewRecord(db::Dataset& DataSet);
    void LabEconomTableNewRecord(db::Dataset& DataSet);
    // The new row of a supplier's or a lab's ledger: a practice row with its counterpart.
    void counterpartEconomNewRecord(db::Dataset& DataSet, const db::Dataset& counterparts, int transactionType);
    void EconomicsTableBeforePost(db::Dataset& DataSet); // the receipt mark of every ledger

private:
    using Handler = void (TDmForm::*)(db::Dataset&);
    db::Dataset::Hook rule(Handler handler);
    void installListRules();
    void installSuppliesRecordRules();
    void installLabRules();
    void installFinanceRules();
    void installMoneyRules();
    // Shows "The specified ID already exists" and refuses the post when another row has the key.
    void refuseDuplicateKey(db::Dataset& view, const QString& keyField);
    void rememberKey(db::Dataset& view, const QString& keyField);
    // The totals of an order or delivery header from its lines.
    void sumOrderLines(db::Dataset& header, db::Dataset& lines, const QString& priceField);
    void storeCounterpartBalance(db::Dataset& counterpart, int transactionType, const QString& idField);
    void syncDeliveryTransaction(db::Dataset& delivery, db::Dataset& ledger, int transactionType, const char* items);
    void postPendingTransaction(db::Dataset& ledger);
    void deleteDeliveryTransaction(db::Dataset& delivery, db::Dataset& ledger);

    QHash<const db::Dataset*, QVariant> m_keyAtEdit;
    double m_priceAtEdit = 0;
    double m_priceEuroAtEdit = 0;
    QSet<const db::Dataset*> m_ledgerFilterSuspended; // until the delivery's ledger row is stored
    bool m_deletingCounterpart = false;
    bool m_convertingTwins = false; // amounts completed by the conversion are no user's input // a supplier or lab going with its ledger: no balance to keep

private:
    // Declarations per area (DmPatients.cpp, DmFinance.cpp, DmSupplies.cpp, DmLists.cpp).
    // Each area may use the views of the areas declared before it as masters and look-ups.
    void declarePatientViews();
    void declareListViews();
    void declareSuppliesViews();
    void declareClinicalViews();
    void declareTempHist();
    void declareLabViews();
    void declareFinanceViews();
    void installPatientRules();
    void installClinicalRules();
    void installSuppliesRules();
    void installPatientRecordRules();
    void installHistoryRules();
    void installClinicalRecordRules();

    // A view on a table of the schema, with its data source.
    db::Dataset* table(const char* name, const char* tableName);
    db::Dataset* table(const char* name, const db::TableDef& def);
    // A read-only view of a statement; without a statement a window sets it before each use.
    db::Dataset* query(const char* name, const QString& sql = {}, const QList<db::FieldDef>& fields = {});
    void lookup(db::Dataset* view, const db::FieldDef& def, const QString& keyField, db::Dataset* source, const QString& sourceKey,
        const QString& resultField);
    // Keeps the parameters of `query` equal to fields of the current row of `master`, and
    // re-opens the query when the master moves (when it is open, unless `alwaysOpen`). Errors
    // of the re-open are ignored: the query then shows nothing until the next move.
    void followParameters(db::Dataset* query, db::Dataset* master, const QStringList& params, bool alwaysOpen = false);
    void calculateBalances();
    void useReceiptsOnlySums();
    void storeRate(double rate);
    void moveGeneratorsBehindUse();
    void readSettings(const platform::Settings& settings);
    void deleteOldAppointments(const platform::Settings& settings, QDate today);
    void updateXRayFolder();

    std::unique_ptr<db::Connection> m_generatorStore;
    std::unique_ptr<db::Generators> m_generators;
    MoneyState m_money;
    QList<db::Dataset*> m_views;
    QHash<const db::Dataset*, db::DataSource*> m_sources;
    QSet<const db::Dataset*> m_labelsTranslated;
    int m_defaultDentist = 0;
    int m_firstPracticeEconomId = -1;
    QString m_openingTable;
    QString m_xRayFolder;
    int m_operationsGroup = 0;

    // Storing changes (DmGroups.cpp).
    struct StoreGroup {
        db::Dataset* master;
        QList<db::Dataset*> apply; // written together, in this order
        QList<db::Dataset*> flush;
        QList<db::Dataset*> discard; // dropped on cancel, an edit in progress included
        QList<db::Dataset*> discardPending; // only their posted changes: an edit in progress stays
        std::function<void()> afterStore;
        std::function<void()> afterDiscard;
    };
    void installStoreGroups();
    const StoreGroup* storeGroupOf(const db::Dataset& master) const;
    bool storeHeld(const db::Dataset& view) const;
    void refreshLabItems();
    std::vector<StoreGroup> m_storeGroups;
    QHash<const db::Dataset*, db::Dataset*> m_companionOf; // stored with this master while it is edited
    QHash<const db::Dataset*, int> m_storeHolds;
    int m_labItemsHeld = 0;

    // Record rules (DmPatientRules.cpp, DmHistoryRules.cpp, DmClinicalRules.cpp).
    bool requirePatient(); // "There is no patient" when the patient view is empty
    void keepFamilyInStep(db::Dataset& patient);
    void setProtectionType(const QVariant& patientId, int type);
    void deleteFamilyRows(const QVariant& patientId);
    void fillHistoryPrices(db::Dataset& history, bool found);
    void syncCharge(db::Dataset& history);
    void writeCharge(db::Dataset& history, db::Dataset& charges, const QVariant& payer);
    QHash<const db::Dataset*, std::pair<double, double>> m_costAtEdit;
    QHash<const db::Dataset*, QVariant> m_levelAtEdit;
    bool m_historyLevelMoved = false; // the row being stored changes views: the others read again
};

} // namespace data
