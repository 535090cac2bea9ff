#include "patients/FamilyRoles.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "platform/ExceptionLog.h"

namespace patients {
namespace {

const QString kPatientID = QStringLiteral("PatientID");
const QString kRole = QStringLiteral("TypeProtectionFamily");
const QString kFatherID = QStringLiteral("FatherID");
const QString kChildID = QStringLiteral("ChildID");

// Drops the row being edited; a stored row is deleted as well.
void dropLink(db::Dataset& link)
{
    if (link.state() == db::DatasetState::Insert) {
        link.cancel();
        return;
    }
    if (link.isEditing())
        link.cancel();
    if (!link.isEmpty())
        link.remove();
}

} // namespace

FamilyRoles::FamilyRoles(data::TDmForm& dm)
    : m_dm(dm)
{
}

QVariant FamilyRoles::patientId() const
{
    return m_dm.PatientsTable->value(kPatientID);
}

void FamilyRoles::roleChanged(int from, int to)
{
    if (from == to)
        return;
    if (from == ProtectedMember)
        leaveProtectedMember();
    if (from == Protector)
        leaveProtector();
    if (to == ProtectedMember)
        becomeProtectedMember();
}

void FamilyRoles::leaveProtectedMember()
{
    db::Dataset& link = *m_dm.FamilyFatherTable;
    if (!link.isActive() || link.isEmpty())
        return;
    const QVariant protector = link.value(kFatherID);
    // A protector without members is independent again. Failures here leave the family as it
    // was; the user sees the role he chose either way.
    try {
        if (!protector.isNull() && storedMemberCount(protector) == 1)
            setRole(protector, Independent);
    } catch (const std::exception& e) {
        platform::exceptionLog::logException(e, QStringLiteral("Leaving a family"));
    }
    try {
        dropLink(link);
    } catch (const std::exception& e) {
        platform::exceptionLog::logException(e, QStringLiteral("Leaving a family"));
    }
}

void FamilyRoles::leaveProtector()
{
    db::Dataset& members = *m_dm.FamilyChildrenTable;
    if (!members.isActive())
        return;
    if (members.isEditing())
        members.cancel();
    while (!members.isEmpty()) {
        members.first();
        const QVariant member = members.value(kChildID);
        if (!member.isNull() && member != patientId())
            setRole(member, Independent);
        members.remove();
    }
}

void FamilyRoles::becomeProtectedMember()
{
    db::Dataset& link = *m_dm.FamilyFatherTable;
    if (!link.isActive())
        m_dm.OpenTable(link);
    if (!link.isEditing())
        link.append();
    proposeProtector();
}

void FamilyRoles::proposeProtector()
{
    db::Dataset& payers = *m_dm.NonProtectedPatientsTable;
    if (!payers.isActive())
        m_dm.OpenTable(payers);
    else if (!payers.isEditing())
        payers.refresh(); // its filter leaves out the current patient: read it for this one
    const QVariant lastName = m_dm.PatientsTable->value(u"LastName");
    if (lastName.toString().isEmpty() || !payers.locate(QStringLiteral("LastName"), lastName))
        return;
    setProtector(payers.value(kPatientID));
}

void FamilyRoles::setProtector(const QVariant& protectorId)
{
    db::Dataset& link = *m_dm.FamilyFatherTable;
    if (!link.isEditing())
        link.edit();
    link.setValue(kChildID, patientId());
    link.setValue(kFatherID, protectorId);
}

void FamilyRoles::addMember(const QVariant& memberId)
{
    db::Dataset& members = *m_dm.FamilyChildrenTable;
    members.append();
    members.setValue(kFatherID, patientId());
    members.setValue(kChildID, memberId);
    members.post();
    setRole(memberId, ProtectedMember);
}

void FamilyRoles::removeMember(const QVariant& memberId)
{
    db::Dataset& members = *m_dm.FamilyChildrenTable;
    setRole(memberId, Independent);
    if (members.locate(kChildID, memberId))
        members.remove();
}

void FamilyRoles::setRole(const QVariant& patientId, int role)
{
    // The payers' view hides protected members; every patient counts here.
    db::Dataset& patients = *m_dm.NonProtectedPatientsTable;
    if (!patients.isActive())
        m_dm.OpenTable(patients);
    patients.setFiltered(false);
    try {
        if (patients.locate(kPatientID, patientId) && patients.value(kRole).toInt() != role) {
            patients.edit();
            patients.setValue(kRole, role);
            patients.post();
        }
    } catch (...) {
        patients.setFiltered(true);
        throw;
    }
    patients.setFiltered(true);
}

int FamilyRoles::storedMemberCount(const QVariant& protectorId) const
{
    db::Dataset& everyone = *m_dm.AllPatientsTable;
    db::Dataset& members = *m_dm.FamilyChildrenForLookOnly;
    if (!everyone.isActive())
        m_dm.OpenTable(everyone);
    if (!members.isActive())
        m_dm.OpenTable(members);
    if (!everyone.locate(kPatientID, protectorId))
        return 0;
    return members.recordCount();
}

} // namespace patients
