#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace app {

// The audit trail window on the demo practice in `dataDir`. On a practice made for the tour
// (`scratch`) a few changes are posted first, so that the trail has entries to show.
void tourAuditWindows(const QString& dataDir, bool scratch, const std::function<void(QWidget&)>& take);

} // namespace app
