#include "data/demo/ShowcasePatients.h"

#include "data/DmUnit.h"
#include "db/Query.h"

namespace data::demo {

QVariant patientTreatedAtEveryLevel(TDmForm& dm)
{
    db::Query busiest(dm.connection(),
        QStringLiteral(
            "SELECT p.PatientID FROM Patient p JOIN History h ON h.TherapySessionID = p.TherapySessionID "
            "WHERE h.ToothNum BETWEEN 11 AND 48 GROUP BY p.PatientID "
            "HAVING COUNT(DISTINCT h.TreatmentLevel) = 3 ORDER BY COUNT(*) DESC"));
    return busiest.scalar();
}

QVariant protectorWithMostRecalls(TDmForm& dm)
{
    db::Query query(dm.connection(),
        QStringLiteral("SELECT p.PatientID FROM Patient p JOIN CartAnamnestica c ON c.PatID = p.PatientID "
                       "WHERE p.TypeProtectionFamily = 2 "
                       "ORDER BY (SELECT COUNT(*) FROM Recalls r WHERE r.PatientID = p.PatientID) DESC, "
                       "c.Allergie DESC, p.PatientID"));
    query.exec();
    return query.next() ? query.value(0) : QVariant();
}

} // namespace data::demo
