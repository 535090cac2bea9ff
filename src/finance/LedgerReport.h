#pragma once

#include "finance/LedgerSource.h"
#include "reports/Report.h"

#include <QTextStream>

#include <optional>

namespace finance {

// The printed ledger: "Financial Transactions" with the counterpart's name, the rows of the
// view as shown (date, dentist, description, debt, payment and the balance from the first
// line down), and the sums of both directions with their difference, in the currency shown.
struct LedgerReport {
    reports::Report report;
    int rows = 0;
    double debt = 0;
    double payment = 0;
};
LedgerReport buildLedgerReport(data::TDmForm& dm, LedgerSource source, db::Dataset& view);

// The source named on the command line: patient, supplier, lab or other.
std::optional<LedgerSource> ledgerSourceNamed(const QString& name);

// --ledger-report: the counterpart's ledger (the patient's current session) as a PDF file,
// without a window. The exit code; what went wrong goes to `errors`.
int writeLedgerReport(
    data::TDmForm& dm, LedgerSource source, int id, const QString& pdfFile, QTextStream& errors);

} // namespace finance
