#include "app/PatientTour.h"
#include "app/TourShots.h"

#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Query.h"
#include "patients/AddProtectedMembersUnit.h"
#include "patients/FamilyUnit.h"
#include "patients/PatBookUnit.h"
#include "patients/PatientUnit.h"
#include "platform/Session.h"

#include <QTabWidget>

namespace app {
namespace {

// A protector with members, a ticked medical history and recalls shows the most of the window.
QVariant tourPatient(data::TDmForm& dm)
{
    db::Query query(dm.connection(),
        QStringLiteral("SELECT p.PatientID FROM Patient p JOIN CartAnamnestica c ON c.PatID = p.PatientID "
                       "WHERE p.TypeProtectionFamily = 2 ORDER BY (SELECT COUNT(*) FROM Recalls r WHERE r.PatientID = p.PatientID) DESC, "
                       "c.Allergie DESC, p.PatientID"));
    query.exec();
    return query.next() ? query.value(0) : QVariant();
}

} // namespace

QStringList tourPatientWindows(const QString& outDir, const QString& dataDirectory)
{
    QStringList written;
    const auto take = [&](QWidget& window, const QString& name) { saveShot(window, outDir, name, written); };

    auto dm = data::TDmForm::connect({.name = QStringLiteral("tour-patients"), .dataDirectory = dataDirectory});
    dm->openAtStart(platform::session().settings());
    const QVariant patient = tourPatient(*dm);
    if (!patient.isNull())
        dm->patients().PatientsTable->locate(QStringLiteral("PatientID"), patient);

    {
        patients::TPatientForm form(*dm);
        form.resize(1100, 620);
        form.show();
        settleEvents();
        const char* const pages[] = {"Basic", "Additional", "Family", "History", "Questionary", "Recalls"};
        for (int i = 0; i < form.Pages->count(); ++i) {
            form.Pages->setCurrentIndex(i);
            take(form, QStringLiteral("PatientForm_") + QLatin1String(pages[i]));
        }
        {
            patients::TAddProtectedMembersForm members(*dm, form.familyRoles(), nullptr);
            take(members, members.objectName());
            members.reject();
        }
        {
            patients::TFamilyForm family(*dm);
            take(family, family.objectName());
        }
        {
            patients::TPatBookFrm book(*dm);
            take(book, book.objectName());
        }
    }
    dm->closeAll();
    return written;
}

} // namespace app
