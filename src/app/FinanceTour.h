#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace app {

// The ledger window on each of its ledgers, the discount dialog and the options dialog's
// pages, on the demo practice in `dataDir`; `take` shows a window and writes its picture
// under the given name.
void tourFinanceWindows(
    const QString& dataDir, const std::function<void(QWidget&, const QString& name)>& take);

} // namespace app
