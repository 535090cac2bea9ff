#pragma once

#include "widgets/Forward.h"
#include <QString>
#include <QStringList>

namespace app {

// The texts a user reads in a window as it stands: captions of labels, buttons, group boxes and
// tabs, column headers, hints, place-holders, the window's title. Data (cells, edit contents) is
// left out. One "object<TAB>text" line each, the object named by its path of object names.
QStringList visibleTexts(const QWidget& window);

// Appends the window's visible texts to OUTDIR/texts.tsv as "picture<TAB>object<TAB>text",
// so that a test can read every text of the tour.
void recordVisibleTexts(const QWidget& window, const QString& outDir, const QString& picture);

} // namespace app
