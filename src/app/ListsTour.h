#pragma once

#include <QString>
#include <QStringList>

namespace app {

// The screenshot tour's part for the reminders, the phone list, the reminders of the day (both
// pages), the reference lists (one shot per tab), the medicines and the prescriptions, written
// to OUTDIR/<ComponentName>[_Page].png.
QStringList tourListWindows(const QString& outDir, const QString& dataDirectory);

} // namespace app
