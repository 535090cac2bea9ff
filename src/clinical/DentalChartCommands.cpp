// The dental chart's commands: views and chart kind, recording by a click and Undo, the
// session commands, recall, the tooth pop-up, printing and the currency switch.

#include "clinical/DentalChartUnit.h"
#include "widgets/WindowService.h"

#include "clinical/ChartServices.h"
#include "clinical/ChartStrips.h"
#include "clinical/ChartView.h"
#include "data/DmUnit.h"
#include "db/DataSource.h"
#include "db/Dataset.h"
#include "platform/MessageService.h"
#include "platform/Session.h"
#include "widgets/Language.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QToolButton>

namespace clinical {

namespace {

// Clears the chart-idle flag while a command runs.
class Busy {
public:
    Busy() { setChartIdle(false); }
    ~Busy() { setChartIdle(true); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
};

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

bool hasRow(const db::Dataset& view)
{
    return view.isActive() && !view.isEmpty();
}

} // namespace

void TDentalChartForm::windowActivated()
{
    if (m_closing)
        return;
    startSession();
    CurrencyBtn->setText(m_dm.money().euroMode() ? QStringLiteral("€") : QStringLiteral("¤"));
    ShowCurrentPatient();
    m_operationChosen = false;
    setChartIdle(true);
    if (hasRow(*m_dm.patients().PatientsTable) && m_dm.patients().PatientsTable->value(u"NotActive").toBool())
        platform::showInformation(Lang->Message(QStringLiteral("The patient you have selected has been marked as inactive.")));
}

void TDentalChartForm::ShowCurrentPatient()
{
    locateCurrentSession();
    showPatientNames();
    FollowSession();
    updateAlert();
    resetClicks();
    applyVisibility();
    FirstSessionBtn->setEnabled(true);
    PreviousSessionBtn->setEnabled(true);
    NextSessionBtn->setEnabled(false);
    LastSessionBtn->setEnabled(false);
}

void TDentalChartForm::FollowSession()
{
    db::Dataset& sessions = *m_dm.clinical().SessionsTable;
    const ChartKind kind = !hasRow(sessions) || sessions.value(u"ShowAllTeeth").isNull() || sessions.value(u"ShowAllTeeth").toBool()
        ? ChartKind::Adult
        : ChartKind::Baby;
    applyChartKind(kind, false);
    Redraw();
    recomputeBalance();
}

// The patient's current session is the one the chart opens on.
void TDentalChartForm::locateCurrentSession()
{
    db::Dataset& sessions = *m_dm.clinical().SessionsTable;
    if (!hasRow(*m_dm.patients().PatientsTable) || !hasRow(sessions))
        return;
    const QVariant current = m_dm.patients().PatientsTable->value(u"TherapySessionID");
    if (!current.isNull() && sessions.value(u"SessionID") != current)
        sessions.locate(QStringLiteral("SessionID"), current);
}

// A patient without a session gets session 1 as the current one.
void TDentalChartForm::startSession()
{
    db::Dataset& patients = *m_dm.patients().PatientsTable;
    db::Dataset& sessions = *m_dm.clinical().SessionsTable;
    if (!hasRow(patients) || !sessions.isActive() || !sessions.isEmpty())
        return;
    sessions.append();
    sessions.setValue(u"SessionNum", 1);
    sessions.setValue(u"ShowAllTeeth", true);
    sessions.post();
    patients.edit();
    patients.setValue(u"TherapySessionID", sessions.value(u"SessionID"));
    patients.setValue(u"ActiveTherapySession", true);
    patients.post();
}

void TDentalChartForm::resetClicks()
{
    m_undo.clear();
    UndoBtn->setEnabled(false);
}

void TDentalChartForm::setView(data::TreatmentLevel l)
{
    if (level() != l) {
        TabControl->setCurrentIndex(data::code(l)); // comes back here through the tab's signal
        return;
    }
    resetClicks();
    m_toothFilter = false;
    m_operationChosen = false;
    m_pressPoint = ToothOrigin(currentToothIndex(), m_kind);
    Redraw();
    applyVisibility();
    recomputeBalance();
    updateCaption();
}

void TDentalChartForm::setChartKind(ChartKind kind)
{
    const Busy busy;
    applyChartKind(kind, true);
}

void TDentalChartForm::applyChartKind(ChartKind kind, bool storeInSession)
{
    m_kind = kind;
    SetAdultChart(kind == ChartKind::Adult);
    (kind == ChartKind::Adult ? AdultRadio : BabyRadio)->setChecked(true);
    db::Dataset& sessions = *m_dm.clinical().SessionsTable;
    const bool adult = kind == ChartKind::Adult;
    if (!storeInSession || !hasRow(sessions) || (sessions.value(u"ShowAllTeeth").toBool() == adult && !sessions.value(u"ShowAllTeeth").isNull()))
        return;
    const WaitCursor wait;
    const QVariant session = sessions.value(u"SessionID");
    sessions.edit();
    sessions.setValue(u"ShowAllTeeth", adult);
    sessions.post();
    sessions.locate(QStringLiteral("SessionID"), session);
    for (db::Dataset* view : m_dm.clinical().historyViews())
        view->refresh();
    currentOperation().toothIndex = 0;
    m_pressPoint = ToothOrigin(0, kind);
    Redraw();
}

void TDentalChartForm::GroupBtnClick(int group)
{
    const Busy busy;
    CurrentOperation& op = currentOperation();
    m_operationChosen = ChartServices::instance().pickOperation(m_dm, group, level(), this);
    if (!m_operationChosen) {
        op.discount = op.cost = op.costEuro = 0;
        op.dentistId = hasRow(*m_dm.lists().DentistsTable) ? m_dm.lists().DentistsTable->value(u"DocID").toString() : QString();
    }
}

void TDentalChartForm::ToothClick(QPoint point)
{
    m_pressPoint = point;
    const int index = HitTooth(point, m_kind);
    if (index == NoIndex)
        return;
    const Busy busy;
    currentOperation().toothIndex = index;
    if (!m_operationChosen) {
        platform::showInformation(Lang->Message(QStringLiteral("You must choose an operation first!")));
        return;
    }
    recordOn(index);
}

void TDentalChartForm::recordOn(int index)
{
    const WaitCursor wait;
    db::Dataset& operations = *m_dm.clinical().OperationsTable;
    const QVariant symbol = operations.value(u"BitmapID");
    const bool transparent = operations.value(u"Transparent").toBool();
    // The tooth shows the operation at once; the stored row follows.
    m_painter->drawSymbol(index, symbol.isNull() ? std::nullopt : std::optional<qint32>(symbol.toInt()), transparent);
    if (IsCentralIncisor(ToothNumberOf(index, m_kind)))
        m_painter->finish();
    imTeeth->setImage(m_painter->image());

    const CurrentOperation& op = currentOperation();
    db::Dataset& view = *currentView();
    const data::TreatmentLevel l = level();
    view.disableControls();
    try {
        view.insert();
        view.setValue(u"OperID", operations.value(u"OperID"));
        view.setValue(u"ToothNum", index == WholeMouthIndex ? 0 : ToothNumberOf(index, m_kind));
        if (op.date.isValid())
            view.setValue(u"Date", op.date);
        view.setValue(u"TreatmentLevel", data::code(l));
        view.setValue(u"Discount", op.discount);
        view.setValue(u"Cost", op.cost);
        view.setValue(u"CostEURO", op.costEuro);
        view.setValue(u"Color", op.color.isEmpty() ? QVariant() : QVariant(op.color));
        if (l != data::TreatmentLevel::Initial && hasRow(*m_dm.lists().DentistsTable))
            view.setValue(u"DentistID", m_dm.lists().DentistsTable->value(u"DocID"));
        const QVariant id = view.value(u"ID");
        view.post();
        m_undo.append(id.toString());
    } catch (...) {
        if (view.isEditing())
            view.cancel();
        view.enableControls();
        Redraw();
        throw;
    }
    view.enableControls();
    UndoBtn->setEnabled(true);
    recomputeCost();
    recomputeBalance();
    updateSessionButtons();
}

void TDentalChartForm::UndoBtnClick()
{
    if (!m_undo.isEmpty()) {
        const QString id = m_undo.takeLast();
        db::Dataset& view = *currentView();
        if (view.locate(QStringLiteral("ID"), id.toInt())) {
            view.remove();
            Redraw();
            recomputeBalance();
        }
    }
    UndoBtn->setEnabled(!m_undo.isEmpty());
    m_operationChosen = false;
}

void TDentalChartForm::SessionStep(int step)
{
    db::Dataset& sessions = *m_dm.clinical().SessionsTable;
    if (!hasRow(sessions))
        return;
    // Sessions by number, whatever order the view keeps.
    QList<std::pair<int, QVariant>> byNumber;
    const int num = sessions.field(u"SessionNum").index();
    const int id = sessions.field(u"SessionID").index();
    for (int r = 0; r < sessions.recordCount(); ++r)
        byNumber.append({sessions.rowValue(r, num).toInt(), sessions.rowValue(r, id)});
    std::sort(byNumber.begin(), byNumber.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    int at = 0;
    while (at < byNumber.size() && byNumber[at].second != sessions.value(u"SessionID"))
        ++at;
    const int last = static_cast<int>(byNumber.size()) - 1;
    const int target = step == -2 ? 0 : step == 2 ? last : qBound(0, at + step, last);
    sessions.locate(QStringLiteral("SessionID"), byNumber[target].second);
    FirstSessionBtn->setEnabled(target > 0);
    PreviousSessionBtn->setEnabled(target > 0);
    NextSessionBtn->setEnabled(target < last);
    LastSessionBtn->setEnabled(target < last);
    LastNameEdit->setFocus();
    FollowSession();
    resetClicks();
}

void TDentalChartForm::PerasBtnClick()
{
    if (!hasRow(*m_dm.clinical().SessionsTable) || m_dm.clinical().SessionsTable->value(u"Completed").toBool())
        return;
    const WaitCursor wait;
    m_dm.clinical().EndSession();
    updateSessionButtons();
}

void TDentalChartForm::NewSessionBtnClick()
{
    const QVariant previous = m_dm.clinical().SessionsTable->value(u"SessionID");
    if (!m_dm.clinical().NewSession())
        return;
    if (m_dm.clinical().SessionsTable->value(u"SessionNum").toInt() != 1)
        m_dm.clinical().CarryOverSession(previous);
    resetClicks();
    Redraw();
    recomputeBalance();
    applyVisibility();
}

void TDentalChartForm::SetRecall(int months)
{
    db::Dataset& patients = *m_dm.patients().PatientsTable;
    if (!hasRow(patients))
        return;
    const QDate date = QDate::currentDate().addMonths(months);
    patients.edit();
    patients.setValue(u"RecallDate", date);
    const QString text = Lang->Message(QStringLiteral("Next recall date will be set to")) + QLatin1Char(' ')
        + QLocale().toString(date, QStringLiteral("dddd, dd/MM/yyyy"));
    if (platform::askYesNo(text, windowTitle())) {
        patients.post();
        platform::showInformation(Lang->Message(QStringLiteral("The recall date has been updated")));
    } else {
        patients.cancel();
    }
}

void TDentalChartForm::ShowToothHistory(bool toothFilter, bool surfaces)
{
    const Busy busy;
    const data::TreatmentLevel l = level();
    m_toothFilter = toothFilter;
    db::Dataset& view = *currentView();
    view.refresh();
    const QString caption = GridBtn->text() + QStringLiteral(" - ") + viewCaption(l);
    try {
        ChartServices::instance().showHistory(m_dm, l, toothFilter, surfaces, caption, this);
    } catch (...) {
        m_toothFilter = false;
        view.refresh();
        throw;
    }
    m_toothFilter = false;
    view.refresh();
    Redraw();
}

void TDentalChartForm::DiscountBtnClick()
{
    // The discount is one more treatment row: the chart shows it with its cost and balance.
    if (widgets::WindowService* service = widgets::WindowService::current())
        service->openWindow(QStringLiteral("DiscountForm"));
    Redraw();
    recomputeBalance();
}

void TDentalChartForm::PrintChartBtnClick()
{
    ChartServices::instance().printChart(m_dm, level(), chartPicture(), viewCaption(level()), this);
}

void TDentalChartForm::ToggleCurrency()
{
    const QString before = CostText->text();
    m_dm.money().toggleEuroMode(); // the totals follow through the mode's signal
    CostText->setToolTip(before);
    CurrencyBtn->setText(m_dm.money().euroMode() ? QStringLiteral("€") : QStringLiteral("¤"));
}

void TDentalChartForm::ToothMenuPopup(QPoint point, QPoint globalPos)
{
    const int index = HitTooth(point, m_kind);
    if (index != NoIndex)
        currentOperation().toothIndex = index;
    ImagesMenu->setEnabled(currentToothIndex() != WholeMouthIndex);
    ToothMenu->popup(globalPos);
}

} // namespace clinical
