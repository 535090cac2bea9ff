#pragma once

// The finance windows on an empty practice: the data module opened as at start, with a patient
// whose current session carries charges from treatments (ledger rows: rulestest::ledgerRow).

#include "../data/RulesPractice.h"

inline constexpr double kFinanceRate = 340.75;

namespace financetest {

// A treatment at the implementation level of the current session, charged to the patient.
inline int treatmentCharge(data::TDmForm& dm, double euro)
{
    rulestest::addTreatment(dm, *dm.clinical().HistPerSessionTable3, 2, -1, euro * kFinanceRate);
    return RulesPractice::scalar(dm, QStringLiteral("SELECT MAX(EconomID) FROM PatEconomics")).toInt();
}

} // namespace financetest
