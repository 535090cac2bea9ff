#pragma once

#include <QString>
#include <QStringList>

namespace app {

// The screenshot tour's part for the patient windows: the patient file page by page on a
// patient with a family, medical history and questionnaire, the protected members dialog, the
// family tree and the patient book, written to OUTDIR/<ComponentName>[_Page].png.
QStringList tourPatientWindows(const QString& outDir, const QString& dataDirectory);

} // namespace app
