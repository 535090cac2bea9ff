#pragma once

#include <QIcon>

namespace app {

// The pictures of the main tool bar, drawn rather than shipped (image indexes of the bar:
// 0 find, 1 patient file, 2 dental chart, 3 financial, 4 images, 6 imaging program,
// 7 agenda, 8 progress notes, 9 treatment history).
QIcon toolBarIcon(int imageIndex);

} // namespace app
