// The views of treatment sessions, the operations catalogue, the treatment history and the
// clinical records of a session.

#include "data/DmUnit.h"

#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/Query.h"
#include "platform/Session.h"

namespace data {
namespace {

const QString kSessionID = QStringLiteral("SessionID");
const QString kPatientID = QStringLiteral("PatientID");
const QString kOperID = QStringLiteral("OperID");

} // namespace

void TDmForm::declareClinicalViews()
{
    SessionsTable = table("SessionsTable", "Sessions");
    SessionsTable->setIndexName(QStringLiteral("byPatient"));
    SessionsTable->setMaster(PatientsSrc, {kPatientID});
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
        lookup(view, db::str(QStringLiteral("Dentist"), 40), QStringLiteral("DentistID"), DentistsTable, QStringLiteral("DocID"),
            QStringLiteral("LastName"));
        lookup(view, db::i32(QStringLiteral("BitmapID")), kOperID, OperationsTableForLook, kOperID, QStringLiteral("BitmapID"));
        lookup(view, db::boolean(QStringLiteral("Transparent")), kOperID, OperationsTableForLook, kOperID, QStringLiteral("Transparent"));
        lookup(view, db::str(QStringLiteral("Material"), 40), QStringLiteral("MaterialID"), DentalMaterialsTable, QStringLiteral("MaterialID"),
            QStringLiteral("Description"));
        lookup(view, db::str(QStringLiteral("DentalLab"), 30), QStringLiteral("DentalLabID"), DentalLabForLookTable,
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
    HistPerPatTable->setMaster(PatientsSrc, {kPatientID});
    lookup(HistPerPatTable, db::i32(QStringLiteral("TherapySessionNum")), QStringLiteral("TherapySessionID"), SessionsTable, kSessionID,
        QStringLiteral("SessionNum"));
    HistPerPatSrc = sourceOf(HistPerPatTable);

    // The lab side of the history: the rows of the current lab.
    const auto labHistory = [this](const char* name) {
        db::Dataset* view = table(name, "History");
        view->setOrderBy({QStringLiteral("DentalLabID")});
        view->setMaster(DentalLabSrc, {QStringLiteral("DentalLabID")}, {QStringLiteral("DentalLabID")});
        view->setCachedUpdates(true);
        return view;
    };
    HistLabOrderItemsToUpdateTable = labHistory("HistLabOrderItemsToUpdateTable");
    PossibleOrdersPerLabTable = labHistory("PossibleOrdersPerLabTable");
    lookup(PossibleOrdersPerLabTable, db::str(QStringLiteral("PatientLastName"), 30), kPatientID, PatientsTable, kPatientID,
        QStringLiteral("LastName"));
    lookup(PossibleOrdersPerLabTable, db::str(QStringLiteral("PatientFirstName"), 30), kPatientID, PatientsTable, kPatientID,
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
    followParameters(FirstLastDateQRY, PatientsTable, {kPatientID}, true);
    FirstLasDateSrc = sourceOf(FirstLastDateQRY);

    declareTempHist();
}

void TDmForm::declareTempHist()
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
    db::Query::run(*Database, QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS TempHist (%1)").arg(columns.join(QStringLiteral(", "))));
    TempHistTable = table("TempHistTable", def);
    TempHistTable->setCachedUpdates(true);
    lookup(TempHistTable, db::str(QStringLiteral("OperDescr"), 40), kOperID, OperationsTableForLook, kOperID, QStringLiteral("Description"));
    lookup(TempHistTable, db::str(QStringLiteral("Material"), 40), QStringLiteral("MaterialID"), DentalMaterialsTable,
        QStringLiteral("MaterialID"), QStringLiteral("Description"));
    lookup(TempHistTable, db::str(QStringLiteral("Dentist"), 40), QStringLiteral("DentistID"), DentistsTable, QStringLiteral("DocID"),
        QStringLiteral("LastName"));
    lookup(TempHistTable, db::str(QStringLiteral("DentalLab"), 30), QStringLiteral("DentalLabID"), DentalLabForLookTable,
        QStringLiteral("DentalLabID"), QStringLiteral("Company"));
    TempHistTable->field(u"Discount").setDisplayFormat(QStringLiteral(",0.#"));
    TempHistTable->field(u"Discount").setEditFormat(QStringLiteral("#.###"));
    TempHistSrc = sourceOf(TempHistTable);
}

void TDmForm::installClinicalRules()
{
    SessionsTable->onCalcFields = [](db::Dataset& ds) { ds.setValue(u"Active", !ds.value(u"Completed").toBool()); };

    const auto levelFilter = [this](int level) {
        return [this, level](const db::Dataset& ds) {
            if (ds.value(u"TreatmentLevel").toInt() != level || ds.value(u"TreatmentLevel").isNull())
                return false;
            if (platform::receiptsOnly() && !ds.value(u"IOFld").toBool())
                return false;
            return !chartHistoryFilter || chartHistoryFilter(ds);
        };
    };
    HistPerSessionTable->onFilterRecord = levelFilter(0);
    HistPerSessionTable2->onFilterRecord = levelFilter(1);
    HistPerSessionTable3->onFilterRecord = levelFilter(2);
    OperationsTable->onFilterRecord = [this](const db::Dataset& ds) {
        return m_operationsGroup == 0 || ds.value(u"GroupID").toInt() == m_operationsGroup;
    };

    // Candidate lab jobs: treatments that need a lab, beyond the initial situation, not ordered.
    PossibleOrdersPerLabTable->onFilterRecord = [](const db::Dataset& ds) {
        return ds.value(u"RequireLab").toBool() && ds.value(u"TreatmentLevel").toInt() != 0 && !ds.value(u"Ordered").toBool();
    };
    PossibleOrdersPerLabTable->onCalcFields = [](db::Dataset& ds) {
        const QString first = ds.value(u"PatientFirstName").toString();
        const QString last = ds.value(u"PatientLastName").toString();
        ds.setValue(u"Patient", first.isEmpty() ? last : last + QLatin1Char(' ') + first);
    };
}

void TDmForm::setOperationsGroup(int group)
{
    if (group == m_operationsGroup)
        return;
    m_operationsGroup = group;
    if (OperationsTable->isActive())
        OperationsTable->refresh();
}

} // namespace data
