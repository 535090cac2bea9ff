#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace app {

// Lets the event loop run a while, so that a window just shown lays itself out and paints.
void settleEvents(int milliseconds = 200);
// Shows the window, lets it settle and saves it as OUTDIR/<name>.png; a file written is added to
// `written`.
void saveShot(QWidget& window, const QString& outDir, const QString& name, QStringList& written);

} // namespace app
