#pragma once

#include <functional>

namespace widgets {

// Runs what a click or a menu command asked for, so that no exception travels back through the
// Qt signal that ran it: a record rule that refused has told the user already; a database error
// is shown and written to the exceptions log, and what was not stored stays as it was. Returns
// whether the action ran to its end.
bool runUserAction(const std::function<void()>& action);

} // namespace widgets
