#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace app {

// orvane --screenshot-tour OUTDIR [--data DIR]: renders every window the program has to
// OUTDIR/<ComponentName>.png on the demo practice (a new one in a temporary directory unless
// --data names one) and returns the files written. Runs on its own settings directory, so the
// workstation's settings are left alone; messages are written to stderr instead of shown.
QStringList runScreenshotTour(const QString& outDir, const std::optional<QString>& dataDirectory);

} // namespace app
