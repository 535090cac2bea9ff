// What the periodontal chart asks of the session: the teeth it must show as missing.

#include "data/ClinicalArea.h"

#include "db/Connection.h"
#include "db/Query.h"

namespace data {

QList<int> ClinicalArea::opaqueTeeth(const QVariant& sessionId) const
{
    // An opaque operation (an extraction, a bridge pontic) in the findings or among the
    // treatments done hides the tooth; the plan does not.
    db::Query q(*Database,
        QStringLiteral("SELECT History.ToothNum, COUNT(*) FROM History, Operations\n"
                       "WHERE (History.TherapySessionID = :session) AND (History.TreatmentLevel <> 1) AND "
                       "(History.OperID = Operations.OperID)"
                       " AND (Operations.Transparent = FALSE)\n"
                       "GROUP BY History.ToothNum"));
    q.bind(QStringLiteral("session"), sessionId).exec();
    QList<int> teeth;
    while (q.next()) {
        if (q.value(1).toInt() != 0)
            teeth << q.value(0).toInt();
    }
    return teeth;
}

} // namespace data
