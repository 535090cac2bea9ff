#pragma once

#include <QVariant>

namespace data {
class TDmForm;
}

namespace data::demo {

// The patients that show the most of a window, for the screenshot tour; nothing when the
// practice has none such.

// The patient whose current session has the most treatments on permanent teeth, recorded at
// every level (initial, plan, done).
QVariant patientTreatedAtEveryLevel(TDmForm& dm);
// A family's protector with the most recalls, then one with an allergy.
QVariant protectorWithMostRecalls(TDmForm& dm);

} // namespace data::demo
