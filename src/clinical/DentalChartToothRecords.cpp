// The dental chart's tooth pop-up commands on the session's records of a tooth: notes, colour
// and endodontic measurements. Each redraws the chart afterwards, so its markers follow.

#include "clinical/DentalChartUnit.h"

#include "clinical/ChartServices.h"
#include "clinical/EndoMeasureUnit.h"
#include "clinical/ToothColorUnit.h"
#include "clinical/ToothNotesUnit.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"

#include <QScopeGuard>

namespace clinical {

namespace {

QVariant currentSession(data::TDmForm& dm)
{
    const db::Dataset& sessions = *dm.clinical().SessionsTable;
    return sessions.isActive() && !sessions.isEmpty() ? sessions.value(u"SessionID") : QVariant();
}

} // namespace

void TDentalChartForm::ShowToothNotes()
{
    setChartIdle(false);
    const auto idle = qScopeGuard([] { setChartIdle(true); });
    // Beside the tooth that was pressed.
    const QPoint at = mapToGlobal(QPoint(105, 170) + m_pressPoint);
    TToothNotesForm::Show(m_dm, currentSession(m_dm), selectedTooth(), this, at);
    Redraw();
}

void TDentalChartForm::ShowToothColor()
{
    setChartIdle(false);
    const auto idle = qScopeGuard([] { setChartIdle(true); });
    const QPoint at = mapToGlobal(QPoint(105, 170) + m_pressPoint);
    TToothColorForm::Show(m_dm, currentSession(m_dm), selectedTooth(), this, at);
    Redraw();
}

void TDentalChartForm::ShowEndoMeasurements()
{
    {
        setChartIdle(false);
        const auto idle = qScopeGuard([] { setChartIdle(true); });
        m_toothFilter = true;
        const auto filterOff = qScopeGuard([this] {
            m_toothFilter = false;
            currentView()->refresh();
        });
        currentView()->refresh();
        TEndoMeasureForm endo(m_dm, selectedTooth(), this);
        endo.exec();
    }
    Redraw();
    windowActivated();
}

} // namespace clinical
