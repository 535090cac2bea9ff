#pragma once

#include "data/Domain.h"

#include <QString>

class QTextStream;

namespace data {
class TDmForm;
}

namespace app {

class TMainForm;

// Lends the dental chart to the main window: its command, the refresh of its views, and the
// windows it opens of other units.
void lendChartWindows(data::TDmForm& dm, TMainForm& main);

// --chart-report: the history report of a level of the patient's current session as a PDF
// file, without a window. The exit code of the program; what went wrong goes to `errors`.
int writeChartReport(const QString& dataDirectory, int patientId, data::TreatmentLevel level,
    const QString& pdfFile, QTextStream& errors);

} // namespace app
