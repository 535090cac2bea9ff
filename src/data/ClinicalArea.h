#pragma once

#include "data/DmArea.h"
#include "data/Domain.h"
#include "data/LedgerBalance.h"

#include <functional>
#include <utility>

namespace data {

// What the dental chart tells the rules while it is open (ClinicalArea::attachChart).
class ChartContext {
public:
    virtual ~ChartContext() = default;
    virtual int selectedTooth() const = 0; // 0 when no tooth is selected
    virtual TreatmentLevel treatmentLevel() const = 0; // the level of the chart's current tab
};

// Treatment sessions, the operations catalogue, the treatment history in its three levels and
// the clinical records of a session (photos, endodontic records, tooth notes and colours,
// periodontal charts), with the session services of the dental chart.
class ClinicalArea : public DmArea {
    Q_OBJECT
public:
    explicit ClinicalArea(TDmForm& dm);
    void declareViews();
    void installRules();
    void declareStorage();

    // The operation picker lists the operations of one chart tool group; 0 lists them all.
    void setOperationsGroup(int group);
    int operationsGroup() const { return m_operationsGroup; }

    // The open chart, until the guard goes.
    [[nodiscard]] db::RuleGuard attachChart(const ChartContext& chart);
    const ChartContext* chart() const { return m_chart; }

    // --- session services of the dental chart (ClinicalSessions.cpp) ---
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
    // The costs of a session's treatments of one level, in EURO or local units (receipted rows
    // only in receipts-only mode).
    double sessionCost(const QVariant& sessionId, TreatmentLevel level, bool euro) const;
    // Payables minus receivables of a session (receipted rows only in receipts-only mode).
    SessionBalance sessionBalance(const QVariant& sessionId) const;
    // The teeth that carry an opaque operation in the findings or the treatments done of a
    // session (ClinicalPerio.cpp).
    QList<int> opaqueTeeth(const QVariant& sessionId) const;

    // The Cost and CostEURO of the history row when it went into edit (0 for a new row).
    std::pair<double, double> historyCostAtEdit(const db::Dataset& history) const { return m_costAtEdit.value(&history); }
    // The three history views, by treatment level.
    db::Dataset* historyView(TreatmentLevel level) const;
    QList<db::Dataset*> historyViews() const { return {HistPerSessionTable, HistPerSessionTable2, HistPerSessionTable3}; }
    // Set by the history rules when a stored row changed levels; the others read it again.
    bool takeHistoryLevelMoved() { return std::exchange(m_historyLevelMoved, false); }
    // Set when a stored or deleted row needs (or needed) a lab: the lab jobs read again.
    bool takeLabWorkTouched() { return std::exchange(m_labWorkTouched, false); }

    db::Dataset *SessionsTable, *OperationsTable, *OperationsTableForLook, *OperationsSortedForLook;
    db::Dataset *HistPerSessionTable, *HistPerSessionTable2, *HistPerSessionTable3, *HistPerPatTable;
    db::Dataset *HistLabOrderItemsToUpdateTable, *PossibleOrdersPerLabTable;
    db::Dataset *PhotosTable, *PrevPhotosQry, *EndoTable, *PrevEndoQry, *ToothNotesTable, *PrevToothNotesQry;
    db::Dataset *ToothColorTable, *PrevToothColorQry, *PeriTable, *PeriItemTable, *FirstLastDateQRY;
    // The operation picker's work row: on this connection only, never stored (cached, dropped).
    db::Dataset* TempHistTable;
    db::DataSource* TempHistSrc;
    db::DataSource *SessionsSrc, *OperationsSrc, *HistPerSessionSrc, *HistPerSessionSrc2, *HistPerSessionSrc3, *HistPerPatSrc;
    db::DataSource *PhotosSrc, *EndoSrc, *ToothNotesSrc, *ToothColorSrc, *PeriSrc, *PeriItemSrc, *FirstLasDateSrc;
    db::DataSource* PossibleOrdersPerLabSrc;

    // --- progress notes, body systems and stock answers (ClinicalNotes.cpp) ---
    // Reads the stock answers file beside the program into UsualAnswersTbl: a missing file is
    // created empty; a file that cannot be read is reported, left as it is, and the answers
    // start empty and read-only so that nothing overwrites it.
    void loadUsualAnswers();
    QString usualAnswersPath() const;
    // The single-rooted teeth have one canal; every other tooth five.
    static int canalCount(int toothNumber);
    static constexpr double kLongestCanal = 99.999; // the largest length or width of a canal
    db::Dataset *ProgNotesTbl, *PhysSystemsTbl, *UsualAnswersTbl;
    db::DataSource *ProgNotesSrc, *PhysSystemsSrc, *UsualAnswersSrc;

private:
    void declareNoteViews();
    void installNoteRules();
    void ProgNotesTblNewRecord(db::Dataset& DataSet);
    void EndoTableBeforePost(db::Dataset& DataSet);
    void storeUsualAnswers(db::Dataset& DataSet);
    void declareTempHist();
    void installHistoryRules();
    void installRecordRules();
    void PhotosTableNewRecord(db::Dataset& DataSet);
    void PhotosTableBeforeDelete(db::Dataset& DataSet);
    void removeDeletedPhotoFiles(db::Dataset& DataSet);
    int photoRowsNaming(const QVariant& patient, const QString& name, const QVariant& exceptId) const;
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

    void fillHistoryPrices(db::Dataset& history, bool found);
    void syncCharge(db::Dataset& history);
    void writeCharge(db::Dataset& history, db::Dataset& charges, const QVariant& payer);
    // The ledger's owner of a charge: the name its rows carry and the session they go to.
    struct Owner {
        QVariant lastName, session;
    };
    Owner ownerOf(const QVariant& account) const;

    // Image files whose rows are deleted but not yet stored as deleted.
    struct PhotoFile {
        QVariant patient;
        QString name, path;
    };
    QList<PhotoFile> m_photoFilesToRemove;
    const ChartContext* m_chart = nullptr;
    int m_operationsGroup = 0;
    QHash<const db::Dataset*, std::pair<double, double>> m_costAtEdit;
    QHash<const db::Dataset*, QVariant> m_levelAtEdit;
    bool m_historyLevelMoved = false; // the row being stored changes views: the others read again
    QHash<const db::Dataset*, bool> m_labWorkAtEdit;
    bool m_labWorkTouched = false;
};

} // namespace data
