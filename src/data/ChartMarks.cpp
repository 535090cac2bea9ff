#include "data/ChartMarks.h"

#include "db/Query.h"

namespace data {

QSet<int> endoTeethOfSession(const db::Connection& connection, const QVariant& session)
{
    QSet<int> teeth;
    if (session.isNull())
        return teeth;
    // Kept: the chart asks at every redraw.
    db::Query rows(connection, QStringLiteral("SELECT ToothNum FROM Endo WHERE SessionID = :session"),
        db::Query::Keep::ForTheConnection);
    rows.bind(QStringLiteral("session"), session).exec();
    while (rows.next())
        teeth.insert(rows.value(0).toInt());
    return teeth;
}

} // namespace data
