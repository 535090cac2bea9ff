#pragma once

#include <QString>
#include <QStringList>

namespace app {

// The screenshot tour's part for orders and deliveries: the material and lab order and
// delivery windows on a supplier (lab) with pending and delivered orders, their pickers and
// selection dialogs, and the suppliers, laboratories and materials files.
QStringList tourSuppliesWindows(const QString& outDir, const QString& dataDirectory);

} // namespace app
