#pragma once

#include "reports/Report.h"
#include "widgets/Forward.h"

namespace patients {

// The two printouts of the patient file, for the current patient: the questionnaire with the
// dentist's letterhead, and the medical history check list with its "Which?" texts and the
// other remarks. Both go to the print preview, a printer or a PDF file through src/reports.
reports::Report questionnaireReport(data::TDmForm& dm, widgets::TLanguage& lang);
reports::Report medicalHistoryReport(data::TDmForm& dm, widgets::TLanguage& lang);

// A ticked or empty box before a text, as the printouts write it.
QString checkBoxLine(bool checked, const QString& text);

} // namespace patients
