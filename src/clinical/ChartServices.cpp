#include "clinical/ChartServices.h"

#include "clinical/HistoryUnit.h"
#include "clinical/OperationsUnit.h"
#include "clinical/SymbolArt.h"
#include "data/DmUnit.h"
#include "clinical/HistoryPerPat.h"
#include "db/Dataset.h"

#include <QImage>

namespace clinical {

namespace {

bool idle = false;

ChartServices defaults()
{
    ChartServices s;
    s.pickOperation = [](data::TDmForm& dm, int group, data::TreatmentLevel level, QWidget* parent) {
        // The symbol library and pictures the previews use, opened once.
        static const std::unique_ptr<SymbolArt> art = SymbolArt::fromProgramDir();
        TOperationsForm picker(dm, art.get(), parent);
        if (!picker.execForGroup(group, level))
            return false;
        const db::Dataset& work = *dm.clinical().TempHistTable;
        CurrentOperation& op = currentOperation();
        op.discount = work.value(u"Discount").toDouble();
        op.cost = work.value(u"Cost").toDouble();
        op.costEuro = work.value(u"CostEURO").toDouble();
        op.color = work.value(u"Color").toString();
        op.dentistId = work.value(u"DentistID").toString();
        op.date = picker.date();
        return true;
    };
    s.showHistory = [](data::TDmForm& dm, data::TreatmentLevel level, bool toothFilter, bool surfaces,
                        const QString& caption, QWidget* parent) {
        THistoryForm history(dm, parent);
        history.setLevel(level, toothFilter);
        history.setWindowTitle(caption);
        history.setSurfacesOnShow(surfaces);
        history.exec();
    };
    s.printChart = [](data::TDmForm& dm, data::TreatmentLevel level, const QImage& chart,
                       const QString& title, QWidget* parent) {
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
