#pragma once

#include "platform/Session.h"

#include <QVariant>

// The coded values of the records, with the numbers they are stored as.
namespace data {

// History.TreatmentLevel: which of the chart's three views a treatment row belongs to.
enum class TreatmentLevel { Initial = 0, Plan = 1, Implementation = 2 };
constexpr int TreatmentLevelCount = 3;

// The level at this index of the chart's tabs; a number out of range (a damaged option or
// command line) is the nearest level.
constexpr TreatmentLevel treatmentLevelAt(int index)
{
    return TreatmentLevel(index < 0 ? 0 : index >= TreatmentLevelCount ? TreatmentLevelCount - 1 : index);
}

using platform::UserRole;

// Patient.TypeProtectionFamily: who pays for whom in a family.
enum class FamilyRole { Independent = 0, ProtectedMember = 1, Protector = 2 };

// The Sign of a ledger row: a charge the counterpart owes, or a payment.
enum class Sign { Payable = 1, Receivable = -1 };

// DentEconomics.TransactionType: whose transaction a practice ledger row is.
enum class TransactionType { Supplier = 0, Lab = 1, Practice = 2 };

// The stored number of a coded value.
template<typename Enum>
constexpr int code(Enum value)
{
    return static_cast<int>(value);
}

// A stored number read back; a null field reads as the first value.
template<typename Enum>
Enum fromCode(const QVariant& stored)
{
    return static_cast<Enum>(stored.toInt());
}

// True when the stored field holds exactly this value (a null field holds none).
template<typename Enum>
bool holds(const QVariant& stored, Enum value)
{
    return !stored.isNull() && stored.toInt() == code(value);
}

// True when the logged-in user has the full role.
inline bool hasFullRole()
{
    return platform::session().role == UserRole::Full;
}

} // namespace data
