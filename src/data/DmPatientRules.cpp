// The record rules of the patient file: a new patient and the rows started with it, the
// checks before a patient is stored, the family roles kept in step, and what a patient's
// deletion takes with it.

#include "data/DmUnit.h"

#include "db/Connection.h"
#include "db/Query.h"
#include "platform/ExceptionLog.h"
#include "platform/Session.h"
#include "widgets/Language.h"
#include "widgets/MessageService.h"

#include <functional>

namespace data {
namespace {

const QString kPatientID = QStringLiteral("PatientID");
const QString kRole = QStringLiteral("TypeProtectionFamily");
constexpr int kProtectedMember = 1;
constexpr int kProtector = 2;

// Everything that belongs to a patient, removed before the patient row goes. Appointments
// stay: the book keeps who came.
const char* const kPatientCascade[] = {
    "DELETE FROM Recalls WHERE PatientID = :id",
    "DELETE FROM CartAnamnestica WHERE PatID = :id",
    "DELETE FROM QuestAnswer WHERE PatientID = :id",
    "DELETE FROM History WHERE PatientID = :id",
    "DELETE FROM PatEconomics WHERE PatientID = :id",
    "DELETE FROM PatEconomics WHERE ChildID = :id",
    "DELETE FROM PeriItem WHERE PeriItem.PeriID IN (SELECT Peri.PeriID FROM Peri WHERE PatientID = :id)",
    "DELETE FROM Peri WHERE PatientID = :id",
    "DELETE FROM Photos WHERE PatID = :id",
    "DELETE FROM ToothColor WHERE PatientID = :id",
    "DELETE FROM ToothNotes WHERE PatientID = :id",
    "DELETE FROM Endo WHERE PatientID = :id",
    "DELETE FROM Sessions WHERE PatientID = :id",
};

} // namespace

void TDmForm::installPatientRecordRules()
{
    using std::bind_front;
    PatientsTable->onNewRecord = bind_front(&TDmForm::PatientsTableNewRecord, this);
    PatientsTable->beforePost = bind_front(&TDmForm::PatientsTableBeforePost, this);
    PatientsTable->beforeDelete = bind_front(&TDmForm::PatientsTableBeforeDelete, this);
    QObject::connect(PatientsTable, &db::Dataset::afterEdit, this, [this] { PatientsTableAfterEdit(*PatientsTable); });
    AnamnesticaTable->onNewRecord = bind_front(&TDmForm::AnamnesticaTableNewRecord, this);
    AnamnesticaTable->beforePost = bind_front(&TDmForm::AnamnesticaTableBeforePost, this);
    FamilyFatherTable->onNewRecord = bind_front(&TDmForm::FamilyTableNewRecord, this);
    FamilyChildrenTable->onNewRecord = bind_front(&TDmForm::FamilyTableNewRecord, this);
    RecallsTable->onNewRecord = bind_front(&TDmForm::RecallsTableNewRecord, this);
    QuestTemplateMasterTable->onNewRecord = bind_front(&TDmForm::QuestTemplateMasterTableNewRecord, this);
    PatBookTbl->beforePost = bind_front(&TDmForm::PatBookTblBeforePost, this);
    PatientEconomTable->onNewRecord = bind_front(&TDmForm::PatientEconomTableNewRecord, this);
}

bool TDmForm::requirePatient()
{
    if (PatientsTable->isActive() && !PatientsTable->isEmpty())
        return true;
    widgets::showInformation(Lang->Message(QStringLiteral("There is no patient")));
    return false;
}

void TDmForm::PatientsTableNewRecord(db::Dataset& DataSet)
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

void TDmForm::PatientsTableAfterEdit(db::Dataset& DataSet)
{
    if (AnamnesticaTable->isActive())
        AnamnesticaTable->edit(); // starts the row of a patient who has none yet
    if (!FamilyFatherTable->isActive() || FamilyFatherTable->isEditing())
        return;
    // A protected member edits the link to the payer; anyone else gets an empty link that the
    // post drops again unless a payer is chosen.
    if (DataSet.value(kRole).toInt() == kProtectedMember && !FamilyFatherTable->isEmpty()) {
        FamilyFatherTable->first();
        FamilyFatherTable->edit();
    } else {
        FamilyFatherTable->append();
    }
}

void TDmForm::PatientsTableBeforePost(db::Dataset& DataSet)
{
    if (DataSet.value(u"LastName").toString().trimmed().isEmpty()) {
        widgets::showWarning(Lang->Message(QStringLiteral("You forgot last name!")), Lang->Message(QStringLiteral("Patient File")));
        emit lastNameMissing();
        throw db::Abort();
    }
    keepFamilyInStep(DataSet);
    if (DataSet.state() != db::DatasetState::Insert)
        return;
    // The first session is opened with the patient; it is stored with the patient's group.
    if (!SessionsTable->isActive())
        OpenTable(*SessionsTable);
    SessionsTable->append();
    SessionsTable->setValue(u"SessionNum", 1);
    SessionsTable->setValue(u"ShowAllTeeth", true);
    SessionsTable->post();
    DataSet.setValue(u"ActiveTherapySession", true);
    DataSet.setValue(u"TherapySessionID", SessionsTable->value(u"SessionID"));
}

void TDmForm::keepFamilyInStep(db::Dataset& patient)
{
    db::Dataset& link = *FamilyFatherTable;
    if (!link.isActive())
        return;
    const bool member = patient.value(kRole).toInt() == kProtectedMember;
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
        setProtectionType(link.value(u"FatherID"), kProtector);
}

void TDmForm::setProtectionType(const QVariant& patientId, int type)
{
    // The payers' view leaves out protected members: look at every patient for the moment.
    db::Dataset& patients = *NonProtectedPatientsTable;
    if (!patients.isActive())
        OpenTable(patients);
    patients.setFiltered(false);
    try {
        if (patients.locate(kPatientID, patientId) && patients.value(kRole).toInt() != type) {
            patients.edit();
            patients.setValue(kRole, type);
            patients.post();
        }
    } catch (...) {
        patients.setFiltered(true);
        throw;
    }
    patients.setFiltered(true);
}

void TDmForm::deleteFamilyRows(const QVariant& patientId)
{
    // Every link of the patient goes, whatever role the patient row claims.
    if (FamilyFatherTable->isActive()) {
        while (!FamilyFatherTable->isEmpty()) {
            FamilyFatherTable->first();
            const QVariant payer = FamilyFatherTable->value(u"FatherID");
            db::Query members(*Database, QStringLiteral("SELECT COUNT(*) FROM Families WHERE FatherID = :payer"));
            if (!payer.isNull() && payer != patientId && members.bind(QStringLiteral("payer"), payer).scalar().toInt() <= 1)
                setProtectionType(payer, 0); // the payer of nobody else any more
            FamilyFatherTable->remove();
        }
    }
    if (FamilyChildrenTable->isActive()) {
        while (!FamilyChildrenTable->isEmpty()) {
            FamilyChildrenTable->first();
            const QVariant member = FamilyChildrenTable->value(u"ChildID");
            if (!member.isNull() && member != patientId)
                setProtectionType(member, 0);
            FamilyChildrenTable->remove();
        }
    }
}

void TDmForm::PatientsTableBeforeDelete(db::Dataset& DataSet)
{
    const QVariant id = DataSet.value(kPatientID);
    // Nothing of this patient may be left waiting to be written after the rows are gone.
    for (db::Dataset* view : {AnamnesticaTable, RecallsTable, QuestAnswerTable, SessionsTable, FamilyFatherTable, FamilyChildrenTable})
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
        for (const char* statement : kPatientCascade) {
            db::Query::run(*Database, QStringLiteral("SAVEPOINT cascade_step"));
            try {
                db::Query(*Database, QString::fromLatin1(statement)).bind(QStringLiteral("id"), id).exec();
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

void TDmForm::AnamnesticaTableNewRecord(db::Dataset& DataSet)
{
    for (int i = 0; i < DataSet.fieldCount(); ++i) {
        db::Field& f = DataSet.field(i);
        if (f.kind() == db::FieldKind::Data && f.type() == db::FieldType::Boolean)
            f.setValue(false);
    }
}

void TDmForm::AnamnesticaTableBeforePost(db::Dataset& DataSet)
{
    if (DentistsTable->isActive() && !DentistsTable->isEmpty())
        DataSet.setValue(u"DocID", DentistsTable->value(u"DocID"));
}

void TDmForm::FamilyTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"ChildPays", false);
    DataSet.setValue(u"Relationship", Lang->Message(QStringLiteral("child")));
}

void TDmForm::RecallsTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"RecallID", NextID(QStringLiteral("LastRecalls")));
    DataSet.setValue(u"RecallDate", QDate::currentDate());
    DataSet.setValue(u"DoctorID", m_defaultDentist);
}

void TDmForm::QuestTemplateMasterTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"FatherQuestionID", -1);
}

void TDmForm::PatBookTblBeforePost(db::Dataset& DataSet)
{
    // The book shares the materials' series; the number is taken only when the row is stored.
    if (DataSet.state() == db::DatasetState::Insert)
        DataSet.setValue(u"PatBookID", NextID(QStringLiteral("LastMaterial")));
}

void TDmForm::PatientEconomTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"EconomID", NextID(QStringLiteral("LastPatEconom")));
    if (PatientsTable->isActive() && !PatientsTable->isEmpty()) {
        DataSet.setValue(kPatientID, PatientsTable->value(kPatientID));
        DataSet.setValue(u"SourceName", PatientsTable->value(u"LastName"));
    }
    DataSet.setValue(u"Date", QDate::currentDate());
    DataSet.setValue(u"DentistID", m_defaultDentist);
    DataSet.setValue(u"PaymentType", 0);
    DataSet.setValue(u"Sign", -1);
    if (financeChargedMember) {
        const QVariant member = financeChargedMember();
        if (!member.isNull())
            DataSet.setValue(u"ChildID", member);
    }
    DataSet.setValue(u"IOFld", false);
}

} // namespace data
