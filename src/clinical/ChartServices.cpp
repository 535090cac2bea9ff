#include "clinical/ChartServices.h"

#include "data/DmUnit.h"
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
    s.printChart = [](data::TDmForm& dm, int, const QImage&, const QString&, QWidget*) { notAvailable(dm); };
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
