#pragma once

#include <QString>

class QTextStream;

namespace data {
class TDmForm;
}

namespace app {

class TMainForm;

// Lends the ledger window, the discount dialog and the options dialog to the main window.
void lendFinanceWindows(data::TDmForm& dm, TMainForm& main);

// --ledger-report: the ledger of a patient (current session), supplier, lab or the other
// sources as a PDF file, without a window. The exit code; what went wrong goes to `errors`.
int writeLedgerReport(
    const QString& dataDirectory, const QString& source, int id, const QString& pdfFile, QTextStream& errors);

} // namespace app
