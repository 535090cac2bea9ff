#include "app/AuditTour.h"

#include "audit/AuditTrailUnit.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "platform/Session.h"

namespace app {

void tourAuditWindows(const QString& dataDir, bool scratch, const std::function<void(QWidget&)>& take)
{
    std::unique_ptr<data::TDmForm> dm
        = data::TDmForm::connect({ .name = QStringLiteral("audit-tour"), .dataDirectory = dataDir });
    dm->openAtStart(platform::session().settings());
    if (scratch) {
        const QString user = platform::session().userName;
        platform::session().userName = QStringLiteral("demo");
        db::Dataset& patients = *dm->patients().PatientsTable;
        patients.first();
        for (const char* phone : { "2421012345", "2421054321" }) {
            patients.edit();
            patients.setValue(u"Phone", QString::fromLatin1(phone));
            patients.post();
            patients.next();
        }
        platform::session().userName = user;
    }
    audit::TAuditTrailForm window(*dm);
    window.resize(1000, 520);
    take(window);
}

} // namespace app
