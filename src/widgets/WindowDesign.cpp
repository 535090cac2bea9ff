#include "widgets/WindowDesign.h"

#include <QWidget>

namespace widgets {

void designWindow(QWidget& window, const char* componentName, const QString& title, QSize size)
{
    window.setObjectName(QLatin1String(componentName));
    window.setWindowTitle(title);
    window.resize(size);
}

} // namespace widgets
