#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace app {

// The image windows of the screenshot tour, on the demo patient with the most pictures: the
// images window on its list and on its thumbnails, and the slide show of the tooth with the
// most pictures. `take` shows a window and writes it under `name`.
void tourImageWindows(const QString& dataDir, const std::function<void(QWidget&, const QString& name)>& take);

} // namespace app
