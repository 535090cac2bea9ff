#pragma once

#include <QSize>
#include <QString>

class QWidget;

namespace widgets {

// A window as it was designed: its component name (which the language file and the stored
// placements know it by), its title and its size.
void designWindow(QWidget& window, const char* componentName, const QString& title, QSize size);

} // namespace widgets
