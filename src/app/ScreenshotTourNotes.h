#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace app {

// The windows of a tooth's records and of the progress notes in the screenshot tour, on the
// demo practice in `dataDir`; `take` shows a window and writes its picture under the name.
void tourNotesWindows(const QString& dataDir, const std::function<void(QWidget&, const QString& name)>& take);

} // namespace app
