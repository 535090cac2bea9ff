#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace app {

// The clinical windows of the screenshot tour, on the data module opened over the demo
// practice in `dataDir`; `take` shows a window and writes its picture.
void tourClinicalWindows(const QString& dataDir, const std::function<void(QWidget&)>& take);

} // namespace app
