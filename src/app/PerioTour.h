#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace app {

// The periodontal chart of the screenshot tour: the chart window on a demo patient whose
// session holds a filled chart, and its colour settings; `take` shows a window and writes it.
void tourPerioWindows(const QString& dataDir, const std::function<void(QWidget&)>& take);

} // namespace app
