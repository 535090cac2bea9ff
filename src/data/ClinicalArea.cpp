// Sessions, the operations catalogue, the treatment history and the clinical records of a
// session: the views and their record rules.

#include "data/DmUnit.h"
#include "data/Domain.h"
#include "data/ImageFiling.h"

#include "db/Connection.h"
#include "db/ControlsDisabled.h"
#include "db/DataSource.h"
#include "db/Query.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"
#include "platform/Session.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <functional>

namespace data {
namespace {

const QString kSessionID = QStringLiteral("SessionID");
const QString kPatientID = QStringLiteral("PatientID");
const QString kOperID = QStringLiteral("OperID");

} // namespace

ClinicalArea::ClinicalArea(TDmForm& dm)
    : DmArea(dm)
{
}

void ClinicalArea::declareViews()
{
    SessionsTable = table("SessionsTable", "Sessions");
    SessionsTable->setIndexName(QStringLiteral("byPatient"));
    SessionsTable->setMaster(patients().PatientsSrc, {kPatientID});
    SessionsTable->addCalculatedField(db::boolean(QStringLiteral("Active")));
    SessionsSrc = sourceOf(SessionsTable);

    OperationsTable = table("OperationsTable", "Operations");
    OperationsTable->setOrderBy({QStringLiteral("Description")});
    OperationsSrc = sourceOf(OperationsTable);
    OperationsTableForLook = table("OperationsTableForLook", "Operations");
    OperationsSortedForLook = query("OperationsSortedForLook", QStringLiteral("SELECT * FROM Operations ORDER BY Description"));

    // Three views of a session's treatments, one per treatment level (the filter rule).
    const auto history = [this](const char* name) {
        db::Dataset* view = table(name, "History");
        view->setIndexName(QStringLiteral("By Session"));
        view->setMaster(SessionsSrc, {kSessionID});
        lookup(view, db::str(QStringLiteral("OperDescr"), 40), kOperID, OperationsSortedForLook, kOperID, QStringLiteral("Description"));
        lookup(view, db::str(QStringLiteral("Dentist"), 40), QStringLiteral("DentistID"), lists().DentistsTable, QStringLiteral("DocID"),
            QStringLiteral("LastName"));
        lookup(view, db::i32(QStringLiteral("BitmapID")), kOperID, OperationsTableForLook, kOperID, QStringLiteral("BitmapID"));
        lookup(view, db::boolean(QStringLiteral("Transparent")), kOperID, OperationsTableForLook, kOperID, QStringLiteral("Transparent"));
        lookup(view, db::str(QStringLiteral("Material"), 40), QStringLiteral("MaterialID"), supplies().DentalMaterialsTable, QStringLiteral("MaterialID"),
            QStringLiteral("Description"));
        lookup(view, db::str(QStringLiteral("DentalLab"), 30), QStringLiteral("DentalLabID"), supplies().DentalLabForLookTable,
            QStringLiteral("DentalLabID"), QStringLiteral("Company"));
        view->field(u"Discount").setDisplayFormat(QStringLiteral(",0.#"));
        view->field(u"Discount").setEditFormat(QStringLiteral(",0.###"));
        return view;
    };
    HistPerSessionTable = history("HistPerSessionTable");
    HistPerSessionTable2 = history("HistPerSessionTable2");
    HistPerSessionTable3 = history("HistPerSessionTable3");
    HistPerSessionSrc = sourceOf(HistPerSessionTable);
    HistPerSessionSrc2 = sourceOf(HistPerSessionTable2);
    HistPerSessionSrc3 = sourceOf(HistPerSessionTable3);

    HistPerPatTable = table("HistPerPatTable", "History");
    HistPerPatTable->setIndexName(QStringLiteral("PatIDs"));
    HistPerPatTable->setMaster(patients().PatientsSrc, {kPatientID});
    lookup(HistPerPatTable, db::i32(QStringLiteral("TherapySessionNum")), QStringLiteral("TherapySessionID"), SessionsTable, kSessionID,
        QStringLiteral("SessionNum"));
    HistPerPatSrc = sourceOf(HistPerPatTable);

    // The lab side of the history: the rows of the current lab.
    const auto labHistory = [this](const char* name) {
        db::Dataset* view = table(name, "History");
        view->setOrderBy({QStringLiteral("DentalLabID")});
        view->setMaster(supplies().DentalLabSrc, {QStringLiteral("DentalLabID")}, {QStringLiteral("DentalLabID")});
        view->setCachedUpdates(true);
        return view;
    };
    HistLabOrderItemsToUpdateTable = labHistory("HistLabOrderItemsToUpdateTable");
    PossibleOrdersPerLabTable = labHistory("PossibleOrdersPerLabTable");
    lookup(PossibleOrdersPerLabTable, db::str(QStringLiteral("PatientLastName"), 30), kPatientID, patients().PatientsTable, kPatientID,
        QStringLiteral("LastName"));
    lookup(PossibleOrdersPerLabTable, db::str(QStringLiteral("PatientFirstName"), 30), kPatientID, patients().PatientsTable, kPatientID,
        QStringLiteral("FirstName"));
    PossibleOrdersPerLabTable->addCalculatedField(db::str(QStringLiteral("Patient"), 65));
    lookup(PossibleOrdersPerLabTable, db::str(QStringLiteral("Operation"), 40), kOperID, OperationsTableForLook, kOperID,
        QStringLiteral("Description"));
    PossibleOrdersPerLabSrc = sourceOf(PossibleOrdersPerLabTable);

    // The records of the current session.
    const auto sessionRecords = [this](const char* name, const char* tableName, const char* index) {
        db::Dataset* view = table(name, tableName);
        if (index)
            view->setIndexName(QLatin1String(index));
        else
            view->setOrderBy({kSessionID});
        view->setMaster(SessionsSrc, {kSessionID}, {kSessionID});
        view->setCachedUpdates(true);
        return view;
    };
    PhotosTable = sessionRecords("PhotosTable", "Photos", "By Session");
    PhotosSrc = sourceOf(PhotosTable);
    PrevPhotosQry = query("PrevPhotosQry", QStringLiteral("SELECT * FROM Photos WHERE SessionID = :SessionID"));
    EndoTable = sessionRecords("EndoTable", "Endo", "By Session");
    for (const char* f : {"MikosEggysGl", "DievrEggysGl", "MikosEggysPar", "DievrEggysPar", "MikosApoGl", "DievrApoGl", "MikosApoPar",
             "DievrApoPar", "MikosYperoia", "DievrYperoia"}) {
        db::Field& field = EndoTable->field(QString::fromLatin1(f));
        field.setDisplayFormat(QStringLiteral("0.00"));
        field.setEditFormat(QStringLiteral("#.###"));
    }
    EndoSrc = sourceOf(EndoTable);
    PrevEndoQry = query("PrevEndoQry", QStringLiteral("SELECT * FROM Endo WHERE (SessionID = :SessionID) AND (PatientID = :PatientID)"));
    ToothNotesTable = sessionRecords("ToothNotesTable", "ToothNotes", nullptr);
    ToothNotesSrc = sourceOf(ToothNotesTable);
    PrevToothNotesQry = query("PrevToothNotesQry", QStringLiteral("SELECT * FROM ToothNotes WHERE SessionID = :SessionID"));
    ToothColorTable = sessionRecords("ToothColorTable", "ToothColor", nullptr);
    ToothColorSrc = sourceOf(ToothColorTable);
    PrevToothColorQry = query("PrevToothColorQry", QStringLiteral("SELECT * FROM ToothColor WHERE SessionID = :SessionID"));
    PeriTable = sessionRecords("PeriTable", "Peri", nullptr);
    PeriSrc = sourceOf(PeriTable);
    PeriItemTable = table("PeriItemTable", "PeriItem");
    PeriItemTable->setIndexName(QStringLiteral("By Peri"));
    PeriItemTable->setMaster(PeriSrc, {QStringLiteral("PeriID")});
    PeriItemTable->setCachedUpdates(true);
    PeriItemSrc = sourceOf(PeriItemTable);

    FirstLastDateQRY = query("FirstLastDateQRY",
        QStringLiteral("SELECT MIN(History.\"Date\") AS FirstDate, MAX(History.\"Date\") AS LastDate FROM History "
                       "WHERE NOT (History.\"Date\" IS NULL) AND (PatientID = :PatientID)"),
        {db::date(QStringLiteral("FirstDate")), db::date(QStringLiteral("LastDate"))});
    followParameters(FirstLastDateQRY, patients().PatientsTable, {kPatientID}, true);
    FirstLasDateSrc = sourceOf(FirstLastDateQRY);

    declareTempHist();
    declareNoteViews();
}

void ClinicalArea::declareTempHist()
{
    // A temporary table of this connection: other workstations never see it, and the view
    // keeps its one row pending, so nothing is ever written.
    const db::TableDef def{QStringLiteral("TempHist"),
        {db::i32(kOperID), db::i32(QStringLiteral("TherapySessionID")), db::f64(QStringLiteral("Discount")), db::f64(QStringLiteral("Price")),
            db::f64(QStringLiteral("PriceEURO")), db::f64(QStringLiteral("Cost")), db::f64(QStringLiteral("CostEURO")),
            db::str(QStringLiteral("MaterialID"), 20), db::i32(QStringLiteral("DentalLabID")), db::i32(QStringLiteral("DentistID")),
            db::str(QStringLiteral("Color"), 20)},
        {}, {}};
    QStringList columns;
    for (const db::FieldDef& f : def.fields)
        columns.append(f.name + QLatin1Char(' ') + Database->dialect().columnType(f));
    if (const QString hidden = Database->dialect().hiddenLocatorColumn(def); !hidden.isEmpty())
        columns.append(hidden);
    db::Query::run(*Database, QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS TempHist (%1)").arg(columns.join(QStringLiteral(", "))));
    TempHistTable = table("TempHistTable", def);
    TempHistTable->setCachedUpdates(true);
    lookup(TempHistTable, db::str(QStringLiteral("OperDescr"), 40), kOperID, OperationsTableForLook, kOperID, QStringLiteral("Description"));
    lookup(TempHistTable, db::str(QStringLiteral("Material"), 40), QStringLiteral("MaterialID"), supplies().DentalMaterialsTable,
        QStringLiteral("MaterialID"), QStringLiteral("Description"));
    lookup(TempHistTable, db::str(QStringLiteral("Dentist"), 40), QStringLiteral("DentistID"), lists().DentistsTable, QStringLiteral("DocID"),
        QStringLiteral("LastName"));
    lookup(TempHistTable, db::str(QStringLiteral("DentalLab"), 30), QStringLiteral("DentalLabID"), supplies().DentalLabForLookTable,
        QStringLiteral("DentalLabID"), QStringLiteral("Company"));
    TempHistTable->field(u"Discount").setDisplayFormat(QStringLiteral(",0.#"));
    TempHistTable->field(u"Discount").setEditFormat(QStringLiteral("#.###"));
    TempHistSrc = sourceOf(TempHistTable);
}

void ClinicalArea::declareStorage()
{
    // A treatment row and the charge it carries, and a new patient and the first session, are
    // stored in one transaction: these views keep their posts pending until their group is
    // written.
    for (db::Dataset* view :
        { HistPerSessionTable, HistPerSessionTable2, HistPerSessionTable3, SessionsTable })
        view->setCachedUpdates(true);
    db::Dataset* patient = patients().PatientsTable;
    storeTogether({ .master = PhotosTable,
        .apply = { patient, PhotosTable },
        .flush = { PhotosTable },
        .discard = { PhotosTable },
        .discardPending = { patient } });
    storeTogether({ .master = OperationsTable, .flush = { OperationsTable }, .afterStore = [this] {
                       // Look-ups of the operation descriptions read this query.
                       if (OperationsSortedForLook->isActive()) {
                           OperationsSortedForLook->close();
                           OperationsSortedForLook->open();
                       }
                   } });
    for (db::Dataset* view : { EndoTable, ToothNotesTable, ToothColorTable, SessionsTable })
        storeAlone(view);
    storeWithItems(PeriTable, PeriItemTable);
    db::Dataset* charges = finance().PatientEconomTable;
    db::Dataset* payerCharges = finance().PatEconomicsForFatherTable;
    for (db::Dataset* history : historyViews()) {
        storeTogether({ .master = history,
            .apply = { history, charges, payerCharges },
            .flush = { charges },
            .discard = { history },
            .discardPending = { charges, payerCharges },
            .afterStore = [this, history] {
                // A row moved to another level (the plan implemented) shows in another view now.
                if (takeHistoryLevelMoved()) {
                    for (db::Dataset* other : historyViews()) {
                        if (other != history && other->isActive() && !other->isEditing())
                            other->refresh();
                    }
                }
                if (takeLabWorkTouched())
                    supplies().refreshLabItems();
            } });
        carriesMoney(history, { "Cost", "Price" });
    }
    carriesMoney(OperationsTable, { "Cost" });
    carriesMoney(TempHistTable, { "Cost", "Price" }, MoneyView::Use::FormatOnly);
}

void ClinicalArea::installRules()
{
    installHistoryRules();
    installRecordRules();
    installNoteRules();
    SessionsTable->onCalcFields.install(Stage::Area, QStringLiteral("SessionsTable"),
        [](db::Dataset& ds) { ds.setValue(u"Active", !ds.value(u"Completed").toBool()); });

    const auto levelFilter = [](TreatmentLevel level) {
        return [level](const db::Dataset& ds) {
            if (!holds(ds.value(u"TreatmentLevel"), level))
                return false;
            return !platform::receiptsOnly() || ds.value(u"IOFld").toBool();
        };
    };
    HistPerSessionTable->onFilterRecord.install(
        Stage::Area, QStringLiteral("HistPerSessionTable"), levelFilter(TreatmentLevel::Initial));
    HistPerSessionTable2->onFilterRecord.install(
        Stage::Area, QStringLiteral("HistPerSessionTable2"), levelFilter(TreatmentLevel::Plan));
    HistPerSessionTable3->onFilterRecord.install(
        Stage::Area, QStringLiteral("HistPerSessionTable3"), levelFilter(TreatmentLevel::Implementation));
    OperationsTable->onFilterRecord.install(
        Stage::Area, QStringLiteral("OperationsTable"), [this](const db::Dataset& ds) {
            return m_operationsGroup == 0 || ds.value(u"GroupID").toInt() == m_operationsGroup;
        });

    // Candidate lab jobs: treatments that need a lab, beyond the initial situation, not ordered.
    PossibleOrdersPerLabTable->onFilterRecord.install(
        Stage::Area, QStringLiteral("PossibleOrdersPerLabTable"), [](const db::Dataset& ds) {
            return ds.value(u"RequireLab").toBool() && ds.value(u"TreatmentLevel").toInt() != 0
                && !ds.value(u"Ordered").toBool();
        });
    PossibleOrdersPerLabTable->onCalcFields.install(
        Stage::Area, QStringLiteral("PossibleOrdersPerLabTable"), [](db::Dataset& ds) {
            const QString first = ds.value(u"PatientFirstName").toString();
            const QString last = ds.value(u"PatientLastName").toString();
            ds.setValue(u"Patient", first.isEmpty() ? last : last + QLatin1Char(' ') + first);
        });
}

db::RuleGuard ClinicalArea::attachChart(const ChartContext& chart)
{
    m_chart = &chart;
    // The area may go first (a window closed after the data module): the guard then does nothing.
    return db::RuleGuard([area = QPointer<ClinicalArea>(this), &chart] {
        if (area && area->m_chart == &chart)
            area->m_chart = nullptr;
    });
}

db::Dataset* ClinicalArea::historyView(TreatmentLevel level) const
{
    return historyViews().value(code(level));
}

void ClinicalArea::setOperationsGroup(int group)
{
    if (group == m_operationsGroup)
        return;
    m_operationsGroup = group;
    if (OperationsTable->isActive())
        OperationsTable->refresh();
}

// The record rules of the clinical records of a session: images, operations, sessions,
// endodontic and periodontal records, tooth notes and colours.

namespace {

// Removes the rows of a view one at a time through its own rules; a row that cannot go is
// passed over and the rest still go.
void deleteRowsIgnoringErrors(db::Dataset& view)
{
    if (!view.isActive())
        return;
    view.last();
    while (!view.isEmpty()) {
        const int before = view.recordCount();
        try {
            view.remove();
        } catch (const db::DatabaseError& e) {
            platform::exceptionLog::logException(e, view.objectName());
        } catch (const db::Abort&) {
        }
        if (view.recordCount() == before) {
            if (view.currentRow() <= 0)
                break;
            view.prior();
        } else if (!view.isEmpty()) {
            view.last();
        }
    }
}

} // namespace

void ClinicalArea::installRecordRules()
{
    installRule(PhotosTable->onNewRecord, &ClinicalArea::PhotosTableNewRecord, QStringLiteral("PhotosTableNewRecord"));
    installRule(PhotosTable->beforeDelete, &ClinicalArea::PhotosTableBeforeDelete, QStringLiteral("PhotosTableBeforeDelete"));
    // A delete that failed stays pending and may be stored by the next post.
    for (db::Dataset::Rules* after : {&PhotosTable->afterDeleteRules, &PhotosTable->afterPostRules})
        after->install(Stage::AfterStore, QStringLiteral("removeDeletedPhotoFiles"),
            [this](db::Dataset& view) { removeDeletedPhotoFiles(view); });
    installRule(OperationsTable->onNewRecord, &ClinicalArea::OperationsTableNewRecord, QStringLiteral("OperationsTableNewRecord"));
    installRule(SessionsTable->onNewRecord, &ClinicalArea::SessionsTableNewRecord, QStringLiteral("SessionsTableNewRecord"));
    installRule(SessionsTable->beforeDelete, &ClinicalArea::SessionsTableBeforeDelete, QStringLiteral("SessionsTableBeforeDelete"));
    installRule(EndoTable->onNewRecord, &ClinicalArea::EndoTableNewRecord, QStringLiteral("EndoTableNewRecord"));
    installRule(PeriTable->onNewRecord, &ClinicalArea::PeriTableNewRecord, QStringLiteral("PeriTableNewRecord"));
    PeriTable->beforePost.install(
        Stage::Area, QStringLiteral("PeriTable"), [this](db::Dataset&) { emit dm().perioChanged(); });
    installRule(PeriTable->beforeDelete, &ClinicalArea::PeriTableBeforeDelete, QStringLiteral("PeriTableBeforeDelete"));
    QObject::connect(PeriTable, &db::Dataset::afterInsert, &dm(), &TDmForm::perioChanged);
    QObject::connect(PeriTable, &db::Dataset::afterEdit, &dm(), &TDmForm::perioChanged);
    installRule(PeriItemTable->onNewRecord, &ClinicalArea::PeriItemTableNewRecord, QStringLiteral("PeriItemTableNewRecord"));
    installRule(ToothNotesTable->onNewRecord, &ClinicalArea::ToothNotesTableNewRecord, QStringLiteral("ToothNotesTableNewRecord"));
    installRule(ToothColorTable->onNewRecord, &ClinicalArea::ToothNotesTableNewRecord, QStringLiteral("ToothNotesTableNewRecord"));
}

void ClinicalArea::PhotosTableNewRecord(db::Dataset& DataSet)
{
    if (!patients().requirePatient())
        throw db::Abort();
    DataSet.setValue(u"ID", NextID(QStringLiteral("LastPhoto")));
    DataSet.setValue(u"PatID", patients().PatientsTable->value(u"PatientID"));
    const QDateTime now = QDateTime::currentDateTime();
    DataSet.setValue(u"RecDate", now.date());
    DataSet.setValue(u"SaveDate", now.date());
    DataSet.setValue(u"PhotoName", now.toString(QStringLiteral("dd-MM-yy hh.mm.ss")));
}

int ClinicalArea::photoRowsNaming(const QVariant& patient, const QString& name, const QVariant& exceptId) const
{
    db::Query rows(*Database, QStringLiteral("SELECT COUNT(*) FROM Photos WHERE PatID = :patient AND PhotoName = :name AND ID <> :id"));
    rows.bind(QStringLiteral("patient"), patient).bind(QStringLiteral("name"), name).bind(QStringLiteral("id"), exceptId);
    return rows.scalar().toInt();
}

void ClinicalArea::PhotosTableBeforeDelete(db::Dataset& DataSet)
{
    const QString name = DataSet.value(u"PhotoName").toString();
    const QString path = QDir(patients().xRayFolder()).filePath(name);
    // A session carried over copies its image records, not the files: the file goes with the
    // last record that names it.
    if (photoRowsNaming(DataSet.value(u"PatID"), name, DataSet.value(u"ID")) > 0)
        return;
    // A stored name with a folder part would reach outside the patient's folder.
    if (!isPlainFileName(name) || !QFile::exists(path)) {
        platform::showInformation(message(QStringLiteral("Only DataBase Record will be deleted. I did not find image")) + QStringLiteral(": ") + path);
        return;
    }
    // Removed once the delete is stored: a refused delete keeps the row, and so its file.
    m_photoFilesToRemove.append({DataSet.value(u"PatID"), name, path});
}

void ClinicalArea::removeDeletedPhotoFiles(db::Dataset& DataSet)
{
    if (DataSet.hasPendingUpdates())
        return; // the delete is not stored yet
    for (const PhotoFile& photo : std::exchange(m_photoFilesToRemove, {})) {
        // A delete given up (cancelled) brought the row back: its file stays.
        if (photoRowsNaming(photo.patient, photo.name, -1) > 0)
            continue;
        QFile file(photo.path);
        if (file.exists() && !file.remove())
            platform::showWarning(photo.path + QStringLiteral(": ") + file.errorString()); // the record is gone all the same
    }
}

void ClinicalArea::OperationsTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"OperID", NextID(QStringLiteral("LastOper")));
    DataSet.setValue(u"RequireDentalLab", false);
    DataSet.setValue(u"RequireMaterial", false);
    DataSet.setValue(u"RequireColor", false);
    DataSet.setValue(u"Transparent", true);
    DataSet.setValue(u"Cost", 0.0);
    DataSet.setValue(u"CostEURO", 0.0);
    DataSet.setValue(u"GroupID", 1);
    DataSet.setValue(u"BitmapID", 1);
}

void ClinicalArea::SessionsTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"SessionID", NextID(QStringLiteral("LastSession")));
    DataSet.setValue(u"Completed", false);
    DataSet.setValue(u"ShowAllTeeth", true);
}

void ClinicalArea::SessionsTableBeforeDelete(db::Dataset&)
{
    // Every history row of the session, whatever its level or the chart's filter shows.
    HistPerSessionTable->setFiltered(false);
    deleteRowsIgnoringErrors(*HistPerSessionTable);
    HistPerSessionTable->setFiltered(true);
    deleteRowsIgnoringErrors(*finance().PatientEconomTable);
    for (db::Dataset* view : {PeriTable, PhotosTable, ToothColorTable, ToothNotesTable, EndoTable}) {
        if (!view->isActive())
            OpenTable(*view);
        deleteRowsIgnoringErrors(*view);
    }
}

void ClinicalArea::EndoTableNewRecord(db::Dataset& DataSet)
{
    if (!patients().requirePatient())
        throw db::Abort();
    DataSet.setValue(u"EndoID", NextID(QStringLiteral("LastEndo")));
    DataSet.setValue(u"PatientID", patients().PatientsTable->value(u"PatientID"));
    DataSet.setValue(u"Date", QDate::currentDate());
    if (m_chart)
        DataSet.setValue(u"ToothNum", m_chart->selectedTooth());
}

void ClinicalArea::PeriTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"PeriID", NextID(QStringLiteral("LastPeri")));
    DataSet.setValue(u"Date", QDate::currentDate());
    if (patients().PatientsTable->isActive() && !patients().PatientsTable->isEmpty())
        DataSet.setValue(u"PatientID", patients().PatientsTable->value(u"PatientID"));
}

void ClinicalArea::PeriTableBeforeDelete(db::Dataset&)
{
    if (!PeriItemTable->isActive())
        OpenTable(*PeriItemTable);
    {
        const db::ControlsDisabled quiet(*PeriItemTable);
        while (!PeriItemTable->isEmpty()) {
            PeriItemTable->first();
            PeriItemTable->remove();
        }
    }
}

void ClinicalArea::PeriItemTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"PeriItemID", NextID(QStringLiteral("LastPeriItem")));
    DataSet.setValue(u"Periapidal", false);
    DataSet.setValue(u"ToothNotExists", false);
}

void ClinicalArea::ToothNotesTableNewRecord(db::Dataset& DataSet)
{
    if (patients().PatientsTable->isActive() && !patients().PatientsTable->isEmpty())
        DataSet.setValue(u"PatientID", patients().PatientsTable->value(u"PatientID"));
}

// The record rules of the treatment history: a new row's defaults, its prices, the charge a
// level-2 row carries in the patient's (or the payer's) account, and the operation rule.

namespace {

const QString kDiscount = QStringLiteral("Discount");
constexpr int kDiscountLine = -1; // OperID of a row that is no treatment

double amount(const db::Dataset& ds, QStringView field)
{
    return ds.value(field).toDouble(); // empty counts as 0
}

void discountedCosts(db::Dataset& ds)
{
    const double keep = 1 - amount(ds, kDiscount) / 100;
    ds.setValue(u"Cost", keep * amount(ds, u"Price"));
    ds.setValue(u"CostEURO", keep * amount(ds, u"PriceEURO"));
}

} // namespace

void ClinicalArea::installHistoryRules()
{
    for (db::Dataset* history : {HistPerSessionTable, HistPerSessionTable2, HistPerSessionTable3}) {
        installRule(history->onNewRecord, &ClinicalArea::HistPerSessionTableNewRecord, QStringLiteral("HistPerSessionTableNewRecord"));
        installRule(history->beforeEdit, &ClinicalArea::HistPerSessionTableBeforeEdit, QStringLiteral("HistPerSessionTableBeforeEdit"));
        installRule(history->beforePost, &ClinicalArea::HistPerSessionTableBeforePost, QStringLiteral("HistPerSessionTableBeforePost"));
        installRule(history->beforeDelete, &ClinicalArea::HistPerSessionTableBeforeDelete, QStringLiteral("HistPerSessionTableBeforeDelete"));
        history->onFieldChange.install(Stage::Area, QStringLiteral("HistPerSessionTableOperIDChange"),
            [this](db::Dataset& ds, const QString& name) {
                if (name == kOperID)
                    HistPerSessionTableOperIDChange(ds);
            });
    }
}

void ClinicalArea::HistPerSessionTableNewRecord(db::Dataset& DataSet)
{
    if (!patients().requirePatient())
        throw db::Abort();
    DataSet.setValue(u"ID", NextID(QStringLiteral("LastHist")));
    DataSet.setValue(u"PatientID", patients().PatientsTable->value(u"PatientID"));
    DataSet.setValue(u"Date", QDate::currentDate());
    DataSet.setValue(u"ToothNum", m_chart ? m_chart->selectedTooth() : 0);
    const bool operation = OperationsTable->isActive() && !OperationsTable->isEmpty();
    if (operation)
        DataSet.setValue(kOperID, OperationsTable->value(kOperID));
    DataSet.setValue(kDiscount, patients().PatientsTable->value(kDiscount));
    if (operation) {
        DataSet.setValue(u"RequireMaterial", OperationsTable->value(u"RequireMaterial"));
        DataSet.setValue(u"RequireLab", OperationsTable->value(u"RequireDentalLab"));
        DataSet.setValue(u"RequireColor", OperationsTable->value(u"RequireColor"));
        if (OperationsTable->value(u"RequireMaterial").toBool() && supplies().DentalMaterialsTable->isActive() && !supplies().DentalMaterialsTable->isEmpty())
            DataSet.setValue(u"MaterialID", supplies().DentalMaterialsTable->value(u"MaterialID"));
        // The initial situation records what was found, not lab work to order.
        if (OperationsTable->value(u"RequireDentalLab").toBool() && &DataSet != HistPerSessionTable && supplies().DentalLabTable->isActive()
            && !supplies().DentalLabTable->isEmpty())
            DataSet.setValue(u"DentalLabID", supplies().DentalLabTable->value(u"DentalLabID"));
    }
    DataSet.setValue(u"DentistID", dm().defaultDentist());
    if (m_chart)
        DataSet.setValue(u"TreatmentLevel", code(m_chart->treatmentLevel()));
    else if (platform::session().edition == platform::Edition::Medical)
        DataSet.setValue(u"TreatmentLevel", code(TreatmentLevel::Implementation));
    DataSet.setValue(u"Ordered", false);
    DataSet.setValue(u"IOFld", &DataSet != HistPerSessionTable3 || platform::receiptsOnly());
}

void ClinicalArea::HistPerSessionTableBeforeEdit(db::Dataset& DataSet)
{
    m_costAtEdit.insert(&DataSet, {amount(DataSet, u"Cost"), amount(DataSet, u"CostEURO")});
    m_levelAtEdit.insert(&DataSet, DataSet.value(u"TreatmentLevel"));
    m_labWorkAtEdit.insert(&DataSet, DataSet.value(u"RequireLab").toBool());
}

void ClinicalArea::HistPerSessionTableBeforePost(db::Dataset& DataSet)
{
    const QVariant operId = DataSet.value(kOperID);
    const bool found = !operId.isNull() && OperationsTable->isActive() && OperationsTable->locate(kOperID, operId);
    fillHistoryPrices(DataSet, found);
    const bool edited = DataSet.state() == db::DatasetState::Edit;
    m_historyLevelMoved = edited && DataSet.value(u"TreatmentLevel") != m_levelAtEdit.value(&DataSet);
    m_labWorkTouched = m_labWorkTouched || DataSet.value(u"RequireLab").toBool() || (edited && m_labWorkAtEdit.value(&DataSet));
    dm().ConvertTwins(DataSet);
    syncCharge(DataSet);
}

void ClinicalArea::fillHistoryPrices(db::Dataset& history, bool found)
{
    if (found && history.value(u"RequireMaterial").isNull())
        history.setValue(u"RequireMaterial", OperationsTable->value(u"RequireMaterial"));
    if (found && history.value(u"RequireLab").isNull())
        history.setValue(u"RequireLab", OperationsTable->value(u"RequireDentalLab"));
    if (history.value(kDiscount).isNull())
        history.setValue(kDiscount, 0);
    if (found && history.value(u"Price").isNull() && history.value(u"PriceEURO").isNull()) {
        history.setValue(u"Price", OperationsTable->value(u"Cost"));
        history.setValue(u"PriceEURO", OperationsTable->value(u"CostEURO"));
        discountedCosts(history);
    }
}

void ClinicalArea::syncCharge(db::Dataset& history)
{
    const QVariant id = history.value(u"ID");
    db::Dataset& charges = *finance().PatEconomicsForFatherTable;
    // A new row's identifier is fresh from its generator: no charge can be stored under it yet.
    charges.setRange({id}, {id}, history.state() == db::DatasetState::Insert ? db::Dataset::RangeRows::NoneStored : db::Dataset::RangeRows::Read);
    if (!charges.isActive())
        OpenTable(charges);
    try {
        const bool charged = holds(history.value(u"TreatmentLevel"), TreatmentLevel::Implementation)
            && (amount(history, u"Cost") != 0 || amount(history, u"CostEURO") != 0);
        // Exactly one charge for a charged row, none for any other.
        while (charges.recordCount() > (charged ? 1 : 0)) {
            charges.last();
            charges.remove();
        }
        if (!charged)
            return;
        // A protected member whose family row says the member does not pay is charged to the payer.
        QVariant payer;
        if (holds(patients().PatientsTable->value(u"TypeProtectionFamily"), FamilyRole::ProtectedMember) && patients().FamilyFatherTable->isActive() && !patients().FamilyFatherTable->isEmpty()
            && !patients().FamilyFatherTable->value(u"ChildPays").toBool())
            payer = patients().FamilyFatherTable->value(u"FatherID");
        if (charges.isEmpty())
            charges.append();
        else
            charges.edit();
        writeCharge(history, charges, payer);
        charges.post();
    } catch (...) {
        // Nothing of a refused post may stay behind to be written with another.
        charges.cancelUpdates();
        throw;
    }
}

ClinicalArea::Owner ClinicalArea::ownerOf(const QVariant& account) const
{
    db::Query owner(*Database, QStringLiteral("SELECT LastName, TherapySessionID FROM Patient WHERE PatientID = :id"), db::Query::Keep::ForTheConnection);
    owner.bind(QStringLiteral("id"), account).exec();
    if (!owner.next())
        return {};
    return {owner.value(0), owner.value(1)};
}

void ClinicalArea::writeCharge(db::Dataset& history, db::Dataset& charges, const QVariant& payer)
{
    const bool receipted = history.value(u"IOFld").toBool();
    charges.setValue(u"DentistID", history.value(u"DentistID"));
    charges.setValue(u"HistoryID", history.value(u"ID"));
    charges.setValue(u"Date", history.value(u"Date"));
    charges.setValue(u"Sign", code(Sign::Payable));
    charges.setValue(u"Credit", history.value(u"Cost"));
    charges.setValue(u"CreditEURO", history.value(u"CostEURO"));
    charges.setValue(u"IOFld", receipted);
    charges.setValue(u"ReceiptCredit", receipted ? history.value(u"Cost") : QVariant());
    charges.setValue(u"ReceiptCreditEURO", receipted ? history.value(u"CostEURO") : QVariant());
    if (charges.value(u"PaymentType").isNull())
        charges.setValue(u"PaymentType", 0);

    QString description;
    if (history.value(kOperID).toInt() == kDiscountLine && !history.value(kOperID).isNull()) {
        description = message(QStringLiteral("Discount"));
    } else {
        if (!OperationsTable->isActive() || !OperationsTable->locate(kOperID, history.value(kOperID)))
            platform::showWarning(QStringLiteral("Δε βρέθηκε η υπηρεσία. Θα εισαχθεί η πρώτη διαθέσιμη."));
        description = OperationsTable->isActive() && !OperationsTable->isEmpty() ? OperationsTable->value(u"Description").toString() : QString();
        if (platform::session().edition == platform::Edition::Dental)
            description += QStringLiteral(", ") + message(QStringLiteral("Tooth")) + QLatin1Char(' ') + history.value(u"ToothNum").toString();
    }
    charges.setValue(u"Description", description.left(charges.field(u"Description").size()));

    const QVariant account = payer.isNull() ? history.value(u"PatientID") : payer;
    charges.setValue(u"PatientID", account);
    if (payer.isNull()) {
        // The patient being treated is the patient on screen: the name is at hand.
        db::Dataset& patient = *patients().PatientsTable;
        const bool onScreen = patient.isActive() && !patient.isEditing() && patient.value(u"PatientID") == account;
        charges.setValue(u"SourceName", onScreen ? patient.value(u"LastName") : ownerOf(account).lastName);
        charges.setValue(u"SessionID", history.value(u"TherapySessionID"));
        charges.setValue(u"ChildID", QVariant());
    } else {
        const Owner owner = ownerOf(account);
        charges.setValue(u"SourceName", owner.lastName);
        charges.setValue(u"SessionID", owner.session);
        charges.setValue(u"ChildID", history.value(u"PatientID"));
    }
}

void ClinicalArea::HistPerSessionTableBeforeDelete(db::Dataset& DataSet)
{
    m_labWorkTouched = m_labWorkTouched || DataSet.value(u"RequireLab").toBool();
    const QVariant id = DataSet.value(u"ID");
    db::Dataset& charges = *finance().PatEconomicsForFatherTable;
    try {
        charges.setRange({id}, {id});
        if (!charges.isActive())
            OpenTable(charges);
        while (!charges.isEmpty()) {
            charges.first();
            charges.remove();
        }
    } catch (const db::DatabaseError&) {
        charges.cancelUpdates();
        platform::showError(QStringLiteral("Λάθος κατά τη διαγραφή. Παρακαλούμε ξαναπροσπαθήστε."));
        throw db::Abort();
    }
}

void ClinicalArea::HistPerSessionTableOperIDChange(db::Dataset& DataSet)
{
    if (!DataSet.isEditing() || !OperationsTable->isActive() || !OperationsTable->locate(kOperID, DataSet.value(kOperID)))
        return;
    DataSet.setValue(u"RequireMaterial", OperationsTable->value(u"RequireMaterial"));
    DataSet.setValue(u"RequireLab", OperationsTable->value(u"RequireDentalLab"));
    DataSet.setValue(u"RequireColor", OperationsTable->value(u"RequireColor"));
    DataSet.setValue(u"Price", amount(*OperationsTable, u"Cost"));
    DataSet.setValue(u"PriceEURO", amount(*OperationsTable, u"CostEURO"));
    discountedCosts(DataSet); // with the row's discount as it stands
    const bool free = amount(DataSet, u"Price") == 0 && amount(DataSet, u"PriceEURO") == 0;
    DataSet.setValue(kDiscount, free ? QVariant(0) : patients().PatientsTable->value(kDiscount));
}

} // namespace data
