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
    return m_dm.patients().PatientsTable->value(kPatientID);
}

void FamilyRoles::roleChanged(FamilyRole from, FamilyRole to)
{
    if (from == to)
        return;
    if (from == FamilyRole::ProtectedMember)
        leaveProtectedMember();
    if (from == FamilyRole::Protector)
        leaveProtector();
    if (to == FamilyRole::ProtectedMember)
        becomeProtectedMember();
}

void FamilyRoles::leaveProtectedMember()
{
    db::Dataset& link = *m_dm.patients().FamilyFatherTable;
    if (!link.isActive() || link.isEmpty())
        return;
    const QVariant protector = link.value(kFatherID);
    // A protector without members is independent again. Failures here leave the family as it
    // was; the user sees the role he chose either way.
    try {
        if (!protector.isNull() && storedMemberCount(protector) == 1)
            setRole(protector, FamilyRole::Independent);
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
    db::Dataset& members = *m_dm.patients().FamilyChildrenTable;
    if (!members.isActive())
        return;
    if (members.isEditing())
        members.cancel();
    while (!members.isEmpty()) {
        members.first();
        const QVariant member = members.value(kChildID);
        if (!member.isNull() && member != patientId())
            setRole(member, FamilyRole::Independent);
        members.remove();
    }
}

void FamilyRoles::becomeProtectedMember()
{
    db::Dataset& link = *m_dm.patients().FamilyFatherTable;
    if (!link.isActive())
        m_dm.OpenTable(link);
    if (!link.isEditing())
        link.append();
    proposeProtector();
}

void FamilyRoles::proposeProtector()
{
    db::Dataset& payers = *m_dm.patients().NonProtectedPatientsTable;
    if (!payers.isActive())
        m_dm.OpenTable(payers);
    else if (!payers.isEditing())
        payers.refresh(); // its filter leaves out the current patient: read it for this one
    const QVariant lastName = m_dm.patients().PatientsTable->value(u"LastName");
    if (lastName.toString().isEmpty() || !payers.locate(QStringLiteral("LastName"), lastName))
        return;
    setProtector(payers.value(kPatientID));
}

void FamilyRoles::setProtector(const QVariant& protectorId)
{
    db::Dataset& link = *m_dm.patients().FamilyFatherTable;
    if (!link.isEditing())
        link.edit();
    link.setValue(kChildID, patientId());
    link.setValue(kFatherID, protectorId);
}

void FamilyRoles::addMember(const QVariant& memberId)
{
    db::Dataset& members = *m_dm.patients().FamilyChildrenTable;
    members.append();
    members.setValue(kFatherID, patientId());
    members.setValue(kChildID, memberId);
    members.post();
    setRole(memberId, FamilyRole::ProtectedMember);
}

void FamilyRoles::removeMember(const QVariant& memberId)
{
    db::Dataset& members = *m_dm.patients().FamilyChildrenTable;
    setRole(memberId, FamilyRole::Independent);
    if (members.locate(kChildID, memberId))
        members.remove();
}

void FamilyRoles::setRole(const QVariant& patientId, FamilyRole role)
{
    m_dm.patients().setProtectionType(patientId, role);
}

bool FamilyRoles::openStoredFamily(const QVariant& protectorId) const
{
    db::Dataset& everyone = *m_dm.patients().AllPatientsTable;
    db::Dataset& members = *m_dm.patients().FamilyChildrenForLookOnly;
    if (!everyone.isActive())
        m_dm.OpenTable(everyone);
    if (!members.isActive())
        m_dm.OpenTable(members);
    return everyone.locate(kPatientID, protectorId);
}

int FamilyRoles::storedMemberCount(const QVariant& protectorId) const
{
    return openStoredFamily(protectorId) ? m_dm.patients().FamilyChildrenForLookOnly->recordCount() : 0;
}

} // namespace patients
