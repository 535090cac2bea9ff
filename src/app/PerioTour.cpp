#include "app/PerioTour.h"

#include "app/DataModuleBinding.h"
#include "app/MainUnit.h"
#include "clinical/PerioColorsUnit.h"
#include "clinical/PerioUnit.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "platform/Session.h"

#include <QApplication>

namespace app {

void tourPerioWindows(const QString& dataDir, const std::function<void(QWidget&)>& take)
{
    std::unique_ptr<data::TDmForm> dm
        = data::TDmForm::connect({ .name = QStringLiteral("perio-tour"), .dataDirectory = dataDir });
    dm->openAtStart(platform::session().settings());
    TMainForm main(platform::session().edition);
    bindMainWindow(main, *dm);
    if (!dm->lists().DentistsTable->isEmpty())
        dm->setDefaultDentist(
            dm->lists().DentistsTable->value(u"DocID").toInt(), platform::session().settings());
    db::Dataset& patients = *dm->patients().PatientsTable;
    db::Dataset& charts = *dm->clinical().PeriTable;
    if (!charts.isActive())
        dm->OpenTable(charts);
    // The first patient whose current session holds a chart.
    db::Dataset& sessions = *dm->clinical().SessionsTable;
    for (patients.first(); !patients.eof(); patients.next()) {
        sessions.locate(QStringLiteral("SessionID"), patients.value(u"TherapySessionID"));
        if (!charts.isEmpty())
            break;
    }
    {
        clinical::TPerioForm form(*dm);
        form.resize(form.sizeHint());
        form.show();
        // A tooth with furcation fields, as the assistant would be typing it.
        form.ShowTooth(36);
        form.setToothNotes(26, QStringLiteral("Recession after orthodontics"));
        take(form);
        clinical::TPerioColorsForm colors(form.colors(), &form);
        take(colors);
    }
    dm->ActiveSrc->setDataset(nullptr);
    main.setActiveSrc(nullptr);
}

} // namespace app
