#include "audit/AuditTour.h"
#include "widgets/TourPages.h"

#include "audit/AuditTrailUnit.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "platform/Session.h"

namespace audit {

void tourAuditWindows(data::TDmForm& dm, widgets::TourCamera& camera)
{
    const auto take = [&camera](QWidget& window, const QString& name = {}) { camera.take(window, name); };
    if (camera.scratch()) {
        const QString user = platform::session().userName;
        platform::session().userName = QStringLiteral("demo");
        db::Dataset& patients = *dm.patients().PatientsTable;
        patients.first();
        for (const char* phone : { "2421012345", "2421054321" }) {
            patients.edit();
            patients.setValue(u"Phone", QString::fromLatin1(phone));
            patients.post();
            patients.next();
        }
        platform::session().userName = user;
    }
    audit::TAuditTrailForm window(dm);
    window.resize(1000, 520);
    take(window);
}

void addAuditTourPages(widgets::TourPages<data::TDmForm>& pages)
{
    pages.add(QStringLiteral("the audit trail"), &tourAuditWindows);
}

} // namespace audit
