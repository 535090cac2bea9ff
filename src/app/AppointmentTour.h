#pragma once

#include <QString>
#include <QStringList>

namespace app {

// The screenshot tour's part for the appointment windows: the book in week and day view on the
// busiest dentist of the demo practice, the appointment dialog, the working hours and the
// dentists file, written to OUTDIR/<ComponentName>[-View].png.
QStringList tourAppointmentWindows(const QString& outDir, const QString& dataDirectory);

} // namespace app
