#pragma once

#include "widgets/Forward.h"
#include <QList>
#include <QVariant>

#include "data/Domain.h"

namespace patients {

using data::FamilyRole;

// What changing a patient's family role does to the link rows and to the other patients of the
// family, while the patient is being edited. Works on the data module's family views; every
// change stays pending and is stored (or dropped) with the patient.
class FamilyRoles {
public:
    explicit FamilyRoles(data::TDmForm& dm);

    // The current patient's role went from `from` to `to`: a member leaving his protector
    // leaves him independent when he was the only member; a protector leaving the role sets
    // all his members free; a new member gets a link and a proposed protector.
    void roleChanged(FamilyRole from, FamilyRole to);

    // The protector proposed for a new member: the first patient who may pay with the
    // member's last name (exact case), put into the member's link.
    void proposeProtector();
    // Puts `protectorId` into the member's link as his protector.
    void setProtector(const QVariant& protectorId);

    // The protected members dialog: `memberId` joins (or leaves) the current patient's family.
    void addMember(const QVariant& memberId);
    void removeMember(const QVariant& memberId);

    // The role of any patient, written through the payers' view (protected members included).
    void setRole(const QVariant& patientId, FamilyRole role);
    // Members of a protector as stored.
    int storedMemberCount(const QVariant& protectorId) const;
    // Puts the stored views on a protector's family: his row in AllPatientsTable, his members in
    // FamilyChildrenForLookOnly. False when no patient has that identifier.
    bool openStoredFamily(const QVariant& protectorId) const;

private:
    void leaveProtectedMember();
    void leaveProtector();
    void becomeProtectedMember();
    QVariant patientId() const;

    data::TDmForm& m_dm;
};

} // namespace patients
