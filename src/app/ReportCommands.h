#pragma once

#include "data/Domain.h"
#include "widgets/Forward.h"

#include <QString>

namespace app {

// The practice is a data directory or a server address, as --data takes it.

// --chart-report: the history report of a level of the patient's current session as a PDF
// file, without a window. The exit code of the program; what went wrong goes to `errors`.
int writeChartReport(const QString& location, int patientId, data::TreatmentLevel level,
    const QString& pdfFile, QTextStream& errors);

// --ledger-report: the ledger of a patient (current session), supplier, lab or the other
// sources as a PDF file, without a window. The exit code; what went wrong goes to `errors`.
int writeLedgerReport(
    const QString& location, const QString& source, int id, const QString& pdfFile, QTextStream& errors);

} // namespace app
