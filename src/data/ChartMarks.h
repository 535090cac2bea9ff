#pragma once

#include <QSet>
#include <QVariant>

namespace db {
class Connection;
}

namespace data {

// The teeth with endodontic records in a session: what the chart marks with an "E" while the
// endodontic window, and with it its view, is closed.
QSet<int> endoTeethOfSession(const db::Connection& connection, const QVariant& session);

} // namespace data
