#pragma once

#include <functional>

namespace db {
class DatabaseError;
}

namespace widgets {

// Tells the user what went wrong in their words, and writes the technical text to the
// exceptions log.
void showDatabaseError(const db::DatabaseError& error);

// Runs what a click or a menu command asked for, so that no exception travels back through the
// Qt signal that ran it: a record rule that refused has told the user already; a database error
// is shown and written to the exceptions log, and what was not stored stays as it was. Returns
// whether the action ran to its end.
bool runUserAction(const std::function<void()>& action);

} // namespace widgets
