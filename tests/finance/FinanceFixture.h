#pragma once

// The finance windows on an empty practice: the data module opened as at start, with a patient
// whose current session carries charges from treatments, and helpers for ledger rows.

#include "../data/RulesPractice.h"

inline constexpr double kFinanceRate = 340.75;

namespace financetest {

// A treatment at the implementation level of the current session, charged to the patient.
inline int treatmentCharge(data::TDmForm& dm, double euro)
{
    rulestest::addTreatment(dm, *dm.clinical().HistPerSessionTable3, 2, -1, euro * kFinanceRate);
    return RulesPractice::scalar(dm, QStringLiteral("SELECT MAX(EconomID) FROM PatEconomics")).toInt();
}

// A row posted through the view in EURO; the local twin follows the rate.
inline int post(db::Dataset& ledger, const QVariant& sign, const QVariant& euro, const QVariantMap& more = {})
{
    ledger.append();
    ledger.setValue(u"Sign", sign);
    ledger.setValue(u"CreditEURO", euro);
    for (auto it = more.cbegin(); it != more.cend(); ++it)
        ledger.setValue(it.key(), it.value());
    const int id = ledger.value(u"EconomID").toInt();
    ledger.post();
    return id;
}

} // namespace financetest
