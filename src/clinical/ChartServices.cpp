#include "clinical/ChartServices.h"

#include "data/DmUnit.h"
#include "clinical/HistoryPerPat.h"
#include "widgets/Language.h"
#include "widgets/MessageService.h"

#include <QImage>

namespace clinical {

namespace {

bool idle = false;

// The windows that are not there yet say so instead of pretending.
void notAvailable(data::TDmForm& dm)
{
    widgets::showInformation(dm.lang().Message(QStringLiteral("Not available yet")));
}

ChartServices defaults()
{
    ChartServices s;
    s.pickOperation = [](data::TDmForm& dm, int, int, QWidget*) {
        notAvailable(dm);
        return false;
    };
    s.showHistory = [](data::TDmForm& dm, int, bool, bool, const QString&, QWidget*) { notAvailable(dm); };
    s.printChart = [](data::TDmForm& dm, int level, const QImage& chart, const QString& title, QWidget* parent) {
        THistoryPerPatRpt window(dm, level, chart, title, parent);
        window.exec();
    };
    return s;
}

} // namespace

CurrentOperation& currentOperation()
{
    static CurrentOperation record;
    return record;
}

bool chartIdle()
{
    return idle;
}

void setChartIdle(bool value)
{
    idle = value;
}

ChartServices& ChartServices::instance()
{
    static ChartServices services = defaults();
    return services;
}

} // namespace clinical
