#pragma once

#include "widgets/Forward.h"
#include <functional>

namespace app {

// The import window of the screenshot tour, after importing a small old practice that it
// writes itself; `take` shows the window and writes it.
void tourImportWindow(const std::function<void(QWidget&)>& take);

} // namespace app
