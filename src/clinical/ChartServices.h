#pragma once

#include "data/Domain.h"
#include "widgets/Forward.h"

#include <QDate>
#include <QString>

#include <functional>

namespace clinical {

// The process-wide record of the operation the chart records next, filled when the operation
// picker closes with "Ok" and read by the chart, the history window and the picker.
struct CurrentOperation {
    int toothIndex = 0;
    double discount = 0;
    double cost = 0;
    double costEuro = 0;
    QDate date;
    QString color;
    QString dentistId;
};
CurrentOperation& currentOperation();

// The chart idles while none of its commands runs; the data module redraws it on a patient
// change only then.
bool chartIdle();
void setChartIdle(bool idle);

// The windows of other units the chart opens, in one place. Each hook may be replaced (tests
// answer in the user's place); the defaults are the program's windows.
struct ChartServices {
    // Runs the operation picker for a group; on "Ok" the operations table stands on the chosen
    // operation, `currentOperation()` holds its price, date, colour and dentist, and it returns true.
    std::function<bool(data::TDmForm& dm, int group, data::TreatmentLevel level, QWidget* parent)>
        pickOperation;
    // The history window of a level, modally; `toothFilter` lists the current tooth only,
    // `surfaces` opens the chewing-surface editor on the current row.
    std::function<void(data::TDmForm& dm, data::TreatmentLevel level, bool toothFilter, bool surfaces,
        const QString& caption, QWidget* parent)>
        showHistory;
    // The history report of a level over the chart picture, modally.
    std::function<void(data::TDmForm& dm, data::TreatmentLevel level, const QImage& chart,
        const QString& title, QWidget* parent)>
        printChart;

    static ChartServices& instance();
};

} // namespace clinical
