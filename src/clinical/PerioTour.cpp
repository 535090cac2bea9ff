#include "clinical/ClinicalTour.h"
#include "widgets/TourPages.h"

#include "clinical/PerioColorsUnit.h"
#include "clinical/PerioUnit.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "platform/Session.h"

#include <QApplication>

namespace clinical {

void tourPerioWindows(data::TDmForm& dm, widgets::TourCamera& camera)
{
    const auto take = [&camera](QWidget& window, const QString& name = {}) { camera.take(window, name); };
    if (!dm.lists().DentistsTable->isEmpty())
        dm.setDefaultDentist(
            dm.lists().DentistsTable->value(u"DocID").toInt(), platform::session().settings());
    db::Dataset& patients = *dm.patients().PatientsTable;
    db::Dataset& charts = *dm.clinical().PeriTable;
    if (!charts.isActive())
        dm.OpenTable(charts);
    // The first patient whose current session holds a chart with furcations (a molar to type
    // on), else the first with a chart at all.
    db::Dataset& sessions = *dm.clinical().SessionsTable;
    db::Dataset& teeth = *dm.clinical().PeriItemTable;
    if (!teeth.isActive())
        dm.OpenTable(teeth);
    QVariant chosen;
    int molar = 36;
    for (patients.first(); !patients.eof(); patients.next()) {
        sessions.locate(QStringLiteral("SessionID"), patients.value(u"TherapySessionID"));
        if (charts.isEmpty())
            continue;
        if (chosen.isNull())
            chosen = patients.value(u"PatientID");
        if (teeth.locate(QStringLiteral("FurB"), 2)) {
            chosen = patients.value(u"PatientID");
            molar = teeth.value(u"ToothNum").toInt();
            break;
        }
    }
    if (!chosen.isNull() && patients.locate(QStringLiteral("PatientID"), chosen))
        sessions.locate(QStringLiteral("SessionID"), patients.value(u"TherapySessionID"));
    {
        clinical::TPerioForm form(dm);
        form.resize(form.sizeHint());
        form.show();
        // A tooth with furcation fields, as the assistant would be typing it.
        form.ShowTooth(molar);
        take(form);
        clinical::TPerioColorsForm colors(form.colors(), &form);
        take(colors);
    }
    dm.ActiveSrc->setDataset(nullptr);
}

} // namespace clinical
