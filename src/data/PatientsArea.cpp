// The patient file: its views, and its record rules (a new patient and the rows started with
// it, the checks before a patient is stored, the family roles kept in step, and what a patient's
// deletion takes with it).

#include "data/AuditTrailRows.h"
#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"
#include "data/Domain.h"

#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/Query.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"
#include "platform/Session.h"

#include <QDir>
#include <cmath>
#include <functional>

namespace data {
namespace {

void calcName(db::Dataset& ds)
{
    ds.setValue(u"Name", fullName(ds.value(u"LastName"), ds.value(u"FirstName")));
}

void calcFamilyNames(db::Dataset& ds)
{
    ds.setValue(u"FatherName", fullName(ds.value(u"FatherLastName"), ds.value(u"FatherFirstName")));
    ds.setValue(u"ChildName", fullName(ds.value(u"ChildLastName"), ds.value(u"ChildFirstName")));
}

} // namespace

QString fullName(const QVariant& last, const QVariant& first)
{
    const QString firstName = first.toString();
    return firstName.isEmpty() ? last.toString() : last.toString() + QLatin1Char(' ') + firstName;
}

QVariant patientAge(const QDate& birthDate, const QDate& today)
{
    if (!birthDate.isValid())
        return {};
    const int age = static_cast<int>(std::lround(birthDate.daysTo(today) / 365.25));
    return age == 0 ? 1 : age;
}

PatientsArea::PatientsArea(TDmForm& dm)
    : DmArea(dm)
{
}

void PatientsArea::declareViews()
{
    PatientsTable = table("PatientsTable", "Patient");
    PatientsTable->setIndexName(QStringLiteral("LastNames"));
    PatientsTable->setCachedUpdates(true);
    PatientsTable->addCalculatedField(db::i16(QStringLiteral("Age")));
    PatientsTable->addCalculatedField(db::str(QStringLiteral("Name"), 61));
    // Name and age come from the row alone: a patient deep in the list is not calculated
    // after every patient before it.
    PatientsTable->setSequentialCalc(false);
    PatientsSrc = sourceOf(PatientsTable);

    AllPatientsTable = table("AllPatientsTable", "Patient");
    AllPatientsTable->addCalculatedField(db::str(QStringLiteral("Name"), 60));
    AllPatientsTable->setSequentialCalc(false);
    AllPatientsSrc = sourceOf(AllPatientsTable);

    NonProtectedPatientsTable = table("NonProtectedPatientsTable", "Patient");
    NonProtectedPatientsTable->setCachedUpdates(true);
    NonProtectedPatientsTable->addCalculatedField(db::str(QStringLiteral("Name"), 60));
    NonProtectedPatientsTable->setSequentialCalc(false);
    NonProtectedPatientsSrc = sourceOf(NonProtectedPatientsTable);

    AnamnesticaTable = table("AnamnesticaTable", "CartAnamnestica");
    AnamnesticaTable->setOrderBy({QStringLiteral("PatID")});
    AnamnesticaTable->setMaster(PatientsSrc, {QStringLiteral("PatientID")}, {QStringLiteral("PatID")});
    AnamnesticaTable->setCachedUpdates(true);
    AnamnesticaSrc = sourceOf(AnamnesticaTable);

    // The three family views: who pays for this patient, whom this patient pays for, and the
    // latter for any patient of the whole list.
    const auto family = [this](const char* name, const char* index, db::Dataset* master, bool childFatherName) {
        db::Dataset* view = table(name, "Families");
        view->setIndexName(QLatin1String(index));
        view->setMaster(sourceOf(master), {QStringLiteral("PatientID")});
        view->setCachedUpdates(true);
        lookup(view, db::str(QStringLiteral("FatherLastName"), 30), QStringLiteral("FatherID"), AllPatientsTable, QStringLiteral("PatientID"),
            QStringLiteral("LastName"));
        lookup(view, db::str(QStringLiteral("FatherFirstName"), 30), QStringLiteral("FatherID"), AllPatientsTable,
            QStringLiteral("PatientID"), QStringLiteral("FirstName"));
        view->addCalculatedField(db::str(QStringLiteral("FatherName"), 60));
        lookup(view, db::str(QStringLiteral("ChildLastName"), 30), QStringLiteral("ChildID"), AllPatientsTable, QStringLiteral("PatientID"),
            QStringLiteral("LastName"));
        lookup(view, db::str(QStringLiteral("ChildFirstName"), 30), QStringLiteral("ChildID"), AllPatientsTable, QStringLiteral("PatientID"),
            QStringLiteral("FirstName"));
        if (childFatherName)
            lookup(view, db::str(QStringLiteral("ChildFatherName"), 30), QStringLiteral("ChildID"), AllPatientsTable,
                QStringLiteral("PatientID"), QStringLiteral("FatherName"));
        view->addCalculatedField(db::str(QStringLiteral("ChildName"), 60));
        view->onCalcFields.install(Stage::Area, QStringLiteral("onCalcFields"), calcFamilyNames);
        return view;
    };
    FamilyFatherTable = family("FamilyFatherTable", "By Child", PatientsTable, false);
    FamilyChildrenTable = family("FamilyChildrenTable", "By Father", PatientsTable, true);
    FamilyChildrenTable->field(u"Relationship").setDefaultValue(QStringLiteral("child"));
    FamilyChildrenForLookOnly = family("FamilyChildrenForLookOnly", "By Father", AllPatientsTable, false);
    FamilyChildrenForLookOnly->setReadOnly(true);
    FamilyFatherSrc = sourceOf(FamilyFatherTable);
    FamilyChildrenSrc = sourceOf(FamilyChildrenTable);

    PatBookTbl = table("PatBookTbl", "PatBook");
    PatBookTbl->setIndexName(QStringLiteral("PatIdx"));
    PatBookTbl->setMaster(PatientsSrc, {QStringLiteral("PatientID")});
    PatBookSrc = sourceOf(PatBookTbl);

    QuestTemplateMasterTable = table("QuestTemplateMasterTable", "QuestTemplate");
    QuestTemplateMasterTable->onFilterRecord.install(Stage::Area, QStringLiteral("QuestTemplateMasterTable"),
        [](const db::Dataset& ds) { return ds.value(u"FatherQuestionID").toInt() < 0; });
    QuestTemplateMasterSrc = sourceOf(QuestTemplateMasterTable);
    QuestTemplateDetailTable = table("QuestTemplateDetailTable", "QuestTemplate");
    QuestTemplateDetailTable->setIndexName(QStringLiteral("By FatherQuestion"));
    QuestTemplateDetailTable->setMaster(QuestTemplateMasterSrc, {QStringLiteral("QuestionID")});
    QuestTemplateDetailTable->onFilterRecord.install(Stage::Area, QStringLiteral("QuestTemplateDetailTable"),
        [](const db::Dataset& ds) { return ds.value(u"FatherQuestionID").toInt() > 0; });

    QuestAnswerTable = table("QuestAnswerTable", "QuestAnswer");
    QuestAnswerTable->setOrderBy({QStringLiteral("PatientID")});
    QuestAnswerTable->setMaster(PatientsSrc, {QStringLiteral("PatientID")}, {QStringLiteral("PatientID")});
    QuestAnswerTable->setCachedUpdates(true);
    QuestAnswerSrc = sourceOf(QuestAnswerTable);

    // The stored recall query of the data directory replaces this when there is one.
    PatientsToReviewQry = query("PatientsToReviewQry",
        QStringLiteral("SELECT p.PatientID, p.LastName, p.FirstName, p.FatherName, p.Address, c.CityName, p.Phone, p.CellTel, "
                       "p.RecallDate, p.RecallReason FROM Patient p LEFT OUTER JOIN Cities c ON c.CityID = p.CityID "
                       "WHERE p.RecallDate IS NOT NULL"));
    PatientsToReviewSrc = sourceOf(PatientsToReviewQry);

    RecallsTable = table("RecallsTable", "Recalls");
    RecallsTable->setOrderBy({QStringLiteral("PatientID")});
    RecallsTable->setMaster(PatientsSrc, {QStringLiteral("PatientID")}, {QStringLiteral("PatientID")});
    RecallsTable->setCachedUpdates(true);
    lookup(RecallsTable, db::str(QStringLiteral("DoctorName"), 50), QStringLiteral("DoctorID"), lists().DentistsTable, QStringLiteral("DocID"),
        QStringLiteral("LastName"));
    RecallsSrc = sourceOf(RecallsTable);

    PrescriptionsTable = table("PrescriptionsTable", "Prescriptions");
    PrescriptionsTable->setIndexName(QStringLiteral("PrescriptionsPatID"));
    PrescriptionsTable->setMaster(PatientsSrc, {QStringLiteral("PatientID")});
    PrescriptionsTable->setCachedUpdates(true);
    PrescriptionsSrc = sourceOf(PrescriptionsTable);
    PrescrItemsTable = table("PrescrItemsTable", "PrescrItems");
    PrescrItemsTable->setIndexName(QStringLiteral("By Prescription"));
    PrescrItemsTable->setMaster(PrescriptionsSrc, {QStringLiteral("PrescriptionID")});
    PrescrItemsTable->setCachedUpdates(true);
    lookup(PrescrItemsTable, db::str(QStringLiteral("Medicine"), 100), QStringLiteral("MedicineID"), lists().MedicinesTable, QStringLiteral("ID"),
        QStringLiteral("Name"));
    PrescrItemsSrc = sourceOf(PrescrItemsTable);
}

void PatientsArea::declareStorage()
{
    db::Dataset* sessions = clinical().SessionsTable;
    const QList<db::Dataset*> companions = { AnamnesticaTable, FamilyFatherTable, FamilyChildrenTable,
        RecallsTable, QuestAnswerTable, sessions, NonProtectedPatientsTable };
    storeTogether({ .master = PatientsTable,
        .apply = { sessions, RecallsTable, QuestAnswerTable, FamilyFatherTable, FamilyChildrenTable,
            AnamnesticaTable, PatientsTable, NonProtectedPatientsTable },
        .flush = { PatientsTable },
        .discard = companions + QList<db::Dataset*> { PatientsTable },
        .companions = companions,
        .afterStore = [this] { emit dm().patientStored(); },
        .afterDiscard = [this] { emit dm().patientDiscarded(); } });
    storeAlone(AnamnesticaTable);
    storeWithItems(PrescriptionsTable, PrescrItemsTable);
}

void PatientsArea::installRules()
{
    PatientsTable->onCalcFields.install(Stage::Area, QStringLiteral("PatientsTable"), [](db::Dataset& ds) {
        calcName(ds);
        ds.setValue(u"Age", patientAge(ds.value(u"BirthDate").toDate(), QDate::currentDate()));
    });
    AllPatientsTable->onCalcFields.install(Stage::Area, QStringLiteral("AllPatientsTable"), calcName);
    NonProtectedPatientsTable->onCalcFields.install(
        Stage::Area, QStringLiteral("NonProtectedPatientsTable"), calcName);
    // Those who may become a family's payer: anyone but the patient and protected members.
    // The database leaves the others out, so that the view never reads every patient.
    NonProtectedPatientsTable->setFilterConditions([this] {
        const bool hasPatient = PatientsTable->isActive() && !PatientsTable->isEmpty();
        return QList<db::ViewSpec::Condition>{{QStringLiteral("TypeProtectionFamily"), QStringLiteral("IS NOT"), code(FamilyRole::ProtectedMember)},
            {QStringLiteral("PatientID"), QStringLiteral("IS NOT"), hasPatient ? PatientsTable->value(u"PatientID") : QVariant()}};
    });
    QObject::connect(PatientsTable, &db::Dataset::afterScroll, this, [this] { updateXRayFolder(); });
    QObject::connect(PatientsTable, &db::Dataset::afterOpen, this, [this] { updateXRayFolder(); });
    installRecordRules();
}

QStringList PatientsArea::patientCategories() const
{
    db::Query query(*Database,
        QStringLiteral("SELECT DISTINCT PatientCategory FROM Patient WHERE PatientCategory IS NOT NULL ORDER BY PatientCategory"));
    query.exec();
    QStringList categories;
    while (query.next())
        categories << query.value(0).toString();
    return categories;
}

void PatientsArea::updateXRayFolder()
{
    const QVariant id = PatientsTable->isActive() && !PatientsTable->isEmpty() ? PatientsTable->value(u"PatientID") : QVariant();
    m_xRayFolder = QDir(platform::dataRoot()).filePath(QStringLiteral("xrays/x") + id.toString());
}

// The record rules of the patient file: a new patient and the rows started with it, the
// checks before a patient is stored, the family roles kept in step, and what a patient's
// deletion takes with it.

namespace {

const QString kPatientID = QStringLiteral("PatientID");
const QString kRole = QStringLiteral("TypeProtectionFamily");

// Everything that belongs to a patient, removed before the patient row goes: the table and
// which of its rows. Appointments stay: the book keeps who came.
struct CascadeStep {
    const char* table;
    const char* where;
};
const CascadeStep kPatientCascade[] = {
    { "Recalls", "PatientID = :id" },
    { "CartAnamnestica", "PatID = :id" },
    { "QuestAnswer", "PatientID = :id" },
    { "History", "PatientID = :id" },
    { "PatEconomics", "PatientID = :id" },
    { "PatEconomics", "ChildID = :id" },
    { "PeriItem", "PeriItem.PeriID IN (SELECT Peri.PeriID FROM Peri WHERE PatientID = :id)" },
    { "Peri", "PatientID = :id" },
    { "Photos", "PatID = :id" },
    { "ToothColor", "PatientID = :id" },
    { "ToothNotes", "PatientID = :id" },
    { "Endo", "PatientID = :id" },
    { "Sessions", "PatientID = :id" },
};

} // namespace

void PatientsArea::installRecordRules()
{
    installRule(PatientsTable->onNewRecord, &PatientsArea::PatientsTableNewRecord, QStringLiteral("PatientsTableNewRecord"));
    installRule(PatientsTable->beforePost, &PatientsArea::PatientsTableBeforePost, QStringLiteral("PatientsTableBeforePost"));
    installRule(PatientsTable->beforeDelete, &PatientsArea::PatientsTableBeforeDelete, QStringLiteral("PatientsTableBeforeDelete"));
    installRule(PatientsTable->afterEditRules, &PatientsArea::PatientsTableAfterEdit, QStringLiteral("PatientsTableAfterEdit"));
    installRule(AnamnesticaTable->onNewRecord, &PatientsArea::AnamnesticaTableNewRecord, QStringLiteral("AnamnesticaTableNewRecord"));
    installRule(AnamnesticaTable->beforePost, &PatientsArea::AnamnesticaTableBeforePost, QStringLiteral("AnamnesticaTableBeforePost"));
    installRule(FamilyFatherTable->onNewRecord, &PatientsArea::FamilyTableNewRecord, QStringLiteral("FamilyTableNewRecord"));
    installRule(FamilyChildrenTable->onNewRecord, &PatientsArea::FamilyTableNewRecord, QStringLiteral("FamilyTableNewRecord"));
    installRule(RecallsTable->onNewRecord, &PatientsArea::RecallsTableNewRecord, QStringLiteral("RecallsTableNewRecord"));
    installRule(QuestTemplateMasterTable->onNewRecord, &PatientsArea::QuestTemplateMasterTableNewRecord, QStringLiteral("QuestTemplateMasterTableNewRecord"));
    installRule(PrescriptionsTable->onNewRecord, &PatientsArea::PrescriptionsTableNewRecord, QStringLiteral("PrescriptionsTableNewRecord"));
    installRule(PrescriptionsTable->beforeDelete, &PatientsArea::PrescriptionsTableBeforeDelete, QStringLiteral("PrescriptionsTableBeforeDelete"));
    installRule(PrescrItemsTable->onNewRecord, QStringLiteral("PrescrItemsTableNewRecord"), [this](db::Dataset& ds) { numberNewRow(ds); });
    installRule(PatBookTbl->beforePost, &PatientsArea::PatBookTblBeforePost, QStringLiteral("PatBookTblBeforePost"));
}

bool PatientsArea::requirePatient()
{
    if (PatientsTable->isActive() && !PatientsTable->isEmpty())
        return true;
    platform::showInformation(message(QStringLiteral("There is no patient")));
    return false;
}

void PatientsArea::PatientsTableNewRecord(db::Dataset& DataSet)
{
    const qint32 id = NextID(QStringLiteral("LastPat"));
    DataSet.setValue(kPatientID, id);
    DataSet.setValue(u"Sex", true);
    DataSet.setValue(u"RecDate", QDate::currentDate());
    DataSet.setValue(kRole, 0);
    DataSet.setValue(u"ActiveTherapySession", false);
    DataSet.setValue(u"FolderCode", QStringLiteral("\\xrays\\x") + QString::number(id));
    DataSet.setValue(u"NotActive", false);
    updateXRayFolder();
    // The medical history is started with the patient and stored with it.
    if (AnamnesticaTable->isActive())
        AnamnesticaTable->append();
}

void PatientsArea::PatientsTableAfterEdit(db::Dataset& DataSet)
{
    if (AnamnesticaTable->isActive())
        AnamnesticaTable->edit(); // starts the row of a patient who has none yet
    if (!FamilyFatherTable->isActive() || FamilyFatherTable->isEditing())
        return;
    // A protected member edits the link to the payer; anyone else gets an empty link that the
    // post drops again unless a payer is chosen.
    if (holds(DataSet.value(kRole), FamilyRole::ProtectedMember) && !FamilyFatherTable->isEmpty()) {
        FamilyFatherTable->first();
        FamilyFatherTable->edit();
    } else {
        FamilyFatherTable->append();
    }
}

void PatientsArea::PatientsTableBeforePost(db::Dataset& DataSet)
{
    if (DataSet.value(u"LastName").toString().trimmed().isEmpty()) {
        platform::showWarning(message(QStringLiteral("You forgot last name!")), message(QStringLiteral("Patient File")));
        emit dm().lastNameMissing();
        throw db::Abort();
    }
    keepFamilyInStep(DataSet);
    // A post tried again after its group could not be stored has its session already.
    if (DataSet.state() != db::DatasetState::Insert || !DataSet.value(u"TherapySessionID").isNull())
        return;
    // The first session is opened with the patient; it is stored with the patient's group.
    if (!clinical().SessionsTable->isActive())
        OpenTable(*clinical().SessionsTable);
    clinical().SessionsTable->append();
    clinical().SessionsTable->setValue(u"SessionNum", 1);
    clinical().SessionsTable->setValue(u"ShowAllTeeth", true);
    clinical().SessionsTable->post();
    DataSet.setValue(u"ActiveTherapySession", true);
    DataSet.setValue(u"TherapySessionID", clinical().SessionsTable->value(u"SessionID"));
}

void PatientsArea::keepFamilyInStep(db::Dataset& patient)
{
    db::Dataset& link = *FamilyFatherTable;
    if (!link.isActive())
        return;
    const bool member = holds(patient.value(kRole), FamilyRole::ProtectedMember);
    if (link.isEditing() && (link.value(u"FatherID").isNull() || !member)) {
        // A link left without a payer (or of a patient who is no member) goes.
        const bool stored = link.state() == db::DatasetState::Edit;
        link.cancel();
        if (stored && link.value(u"FatherID").isNull())
            link.remove();
        if (!stored || !member)
            return;
    }
    if (member && !link.isEmpty() && !link.value(u"FatherID").isNull())
        setProtectionType(link.value(u"FatherID"), FamilyRole::Protector);
}

void PatientsArea::setProtectionType(const QVariant& patientId, FamilyRole role)
{
    // The payers' view leaves out protected members: look at every patient for the moment.
    db::Dataset& patients = *NonProtectedPatientsTable;
    if (!patients.isActive())
        OpenTable(patients);
    patients.setFiltered(false);
    try {
        if (patients.locate(kPatientID, patientId) && !holds(patients.value(kRole), role)) {
            patients.edit();
            patients.setValue(kRole, code(role));
            patients.post();
        }
    } catch (...) {
        patients.setFiltered(true);
        throw;
    }
    patients.setFiltered(true);
}

void PatientsArea::deleteFamilyRows(const QVariant& patientId)
{
    // Every link of the patient goes, whatever role the patient row claims.
    if (FamilyFatherTable->isActive()) {
        while (!FamilyFatherTable->isEmpty()) {
            FamilyFatherTable->first();
            const QVariant payer = FamilyFatherTable->value(u"FatherID");
            db::Query members(*Database, QStringLiteral("SELECT COUNT(*) FROM Families WHERE FatherID = :payer"));
            if (!payer.isNull() && payer != patientId && members.bind(QStringLiteral("payer"), payer).scalar().toInt() <= 1)
                setProtectionType(payer, FamilyRole::Independent); // the payer of nobody else any more
            FamilyFatherTable->remove();
        }
    }
    if (FamilyChildrenTable->isActive()) {
        while (!FamilyChildrenTable->isEmpty()) {
            FamilyChildrenTable->first();
            const QVariant member = FamilyChildrenTable->value(u"ChildID");
            if (!member.isNull() && member != patientId)
                setProtectionType(member, FamilyRole::Independent);
            FamilyChildrenTable->remove();
        }
    }
}

void PatientsArea::PatientsTableBeforeDelete(db::Dataset& DataSet)
{
    const QVariant id = DataSet.value(kPatientID);
    // Nothing of this patient may be left waiting to be written after the rows are gone.
    for (db::Dataset* view : {AnamnesticaTable, RecallsTable, QuestAnswerTable, clinical().SessionsTable, FamilyFatherTable, FamilyChildrenTable})
        view->cancelUpdates();
    // The family links are undone from what is stored now, not from what was read earlier.
    for (db::Dataset* view : {FamilyFatherTable, FamilyChildrenTable}) {
        if (view->isActive())
            view->refresh();
    }
    // Each statement on its own, behind a savepoint: one that fails is undone alone and does
    // not keep the others from running. One commit for all of them spares a disk sync each.
    {
        db::TransactionGuard cascade(*Database);
        for (const CascadeStep& step : kPatientCascade) {
            const QString table = QString::fromLatin1(step.table);
            const QString where = QString::fromLatin1(step.where);
            db::Query::run(*Database, QStringLiteral("SAVEPOINT cascade_step"));
            try {
                // The rows go to the audit trail too, undone with the step if it fails.
                audittrail::recordDelete(*Database, table, where, { { QStringLiteral("id"), id } }, [&] {
                    db::Query(*Database, QStringLiteral("DELETE FROM %1 WHERE %2").arg(table, where))
                        .bind(QStringLiteral("id"), id)
                        .exec();
                });
            } catch (const db::DatabaseError& e) {
                platform::exceptionLog::logException(e, QStringLiteral("Deleting a patient's rows"));
                db::Query::run(*Database, QStringLiteral("ROLLBACK TO SAVEPOINT cascade_step"));
            }
            db::Query::run(*Database, QStringLiteral("RELEASE SAVEPOINT cascade_step"));
        }
        cascade.commit();
    }
    deleteFamilyRows(id);
}

void PatientsArea::AnamnesticaTableNewRecord(db::Dataset& DataSet)
{
    for (int i = 0; i < DataSet.fieldCount(); ++i) {
        db::Field& f = DataSet.field(i);
        if (f.kind() == db::FieldKind::Data && f.type() == db::FieldType::Boolean)
            f.setValue(false);
    }
}

void PatientsArea::AnamnesticaTableBeforePost(db::Dataset& DataSet)
{
    if (lists().DentistsTable->isActive() && !lists().DentistsTable->isEmpty())
        DataSet.setValue(u"DocID", lists().DentistsTable->value(u"DocID"));
}

void PatientsArea::FamilyTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"ChildPays", false);
    DataSet.setValue(u"Relationship", message(QStringLiteral("child")));
}

void PatientsArea::RecallsTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"RecallID", NextID(QStringLiteral("LastRecalls")));
    DataSet.setValue(u"RecallDate", QDate::currentDate());
    DataSet.setValue(u"DoctorID", dm().defaultDentist());
}

void PatientsArea::QuestTemplateMasterTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"FatherQuestionID", -1);
}

void PatientsArea::PatBookTblBeforePost(db::Dataset& DataSet)
{
    // The book shares the materials' series; the number is taken only when the row is stored.
    if (DataSet.state() == db::DatasetState::Insert)
        DataSet.setValue(u"PatBookID", NextID(QStringLiteral("LastMaterial")));
}

void PatientsArea::PrescriptionsTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"PrescriptionID", NextID(QStringLiteral("LastPrescrTable")));
    DataSet.setValue(u"Date", QDate::currentDate());
}

void PatientsArea::PrescriptionsTableBeforeDelete(db::Dataset&)
{
    deleteAllRows(*PrescrItemsTable);
}

} // namespace data
