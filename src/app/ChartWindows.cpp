#include "app/ChartWindows.h"

#include "app/MainUnit.h"
#include "app/WindowRegistry.h"
#include "clinical/DentalChartUnit.h"
#include "data/DmUnit.h"
#include "db/DataSource.h"
#include "db/Dataset.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace app {
namespace {

// Refresh with the chart active: the session, its treatments and records are read again and
// the chart repainted.
void refreshChart(data::TDmForm& dm, TMainForm& main)
{
    auto* chart = qobject_cast<clinical::TDentalChartForm*>(main.findWindow(QStringLiteral("DentalChartForm")));
    if (!chart || !dm.ActiveSrc || dm.ActiveSrc->dataset() != dm.PatientsTable)
        return;
    for (db::Dataset* view : {dm.SessionsTable, dm.HistPerSessionTable3, dm.HistPerSessionTable2, dm.HistPerSessionTable,
             dm.ToothColorTable, dm.ToothNotesTable, dm.PhotosTable, dm.PatientEconomTable}) {
        if (view->isActive() && !view->isEditing())
            view->refresh();
    }
    chart->FollowSession();
}

} // namespace

void lendChartWindows(data::TDmForm& dm, TMainForm& main)
{
    WindowRegistry::instance().add(QStringLiteral("DentalChartForm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) { return new clinical::TDentalChartForm(dm, parent); });
    const auto refresh = main.Hooks.refreshGroups;
    main.Hooks.refreshGroups = [&dm, &main, refresh](int code) {
        if (code == clinical::TDentalChartForm::FormCode)
            refreshChart(dm, main);
        else if (refresh)
            refresh(code);
    };
}

} // namespace app
