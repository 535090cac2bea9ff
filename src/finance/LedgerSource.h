#pragma once

#include "widgets/Forward.h"
#include <QString>
#include <QVariant>

namespace finance {

// The counterparts of the ledger window, numbered as its side bar numbers them.
enum class LedgerSource { Patients = 0, Suppliers = 1, DentalLabs = 2, Other = 3 };
// The direction tabs: every row, the payments (receivables) only, the charges (payables) only.
enum class LedgerTab { All = 0, Receivable = 1, Payable = 2 };

// The texts that change with the source: the side bar, the name's label and the two directions
// (the practice's other sources say "Payable"/"Receivable", everyone else "Debt"/"Payment").
struct LedgerCaptions {
    QString sideBar;
    QString name;
    QString payable; // column and radio item of Sign 1
    QString receivable; // of Sign -1
    QString payableTab;
    QString receivableTab;
};
LedgerCaptions captionsOf(LedgerSource source);

db::Dataset* ledgerView(data::TDmForm& dm, LedgerSource source);
db::DataSource* ledgerSourceOf(data::TDmForm& dm, LedgerSource source);

// Whether a row is shown: by its direction on the tab (an empty Sign counts as a charge, as it
// does in the balance), receipted only in receipts-only mode, and, on the other sources' ledger,
// only the practice's own transactions.
bool ledgerRowShown(LedgerTab tab, bool receiptsOnly, bool otherSources, const QVariant& sign, bool receipted,
    const QVariant& transactionType);

} // namespace finance
