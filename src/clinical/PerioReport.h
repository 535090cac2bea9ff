#pragma once

#include "reports/Report.h"
#include "widgets/Forward.h"

#include <QImage>

namespace clinical {

// The periodontal chart as printed: the practice dentist's letterhead, "Perio Measurements",
// the patient and the graph.
reports::Report BuildPerioReport(data::TDmForm& dm, const QImage& graph);

} // namespace clinical
