// The appointment book's work: loading a dentist's week onto the grid, the placing rule, the
// appointment dialog, cut and paste, working hours and printing.

#include "appointments/AppointmentEntryUnit.h"
#include "appointments/AppointmentUnit.h"
#include "appointments/WorkingHoursUnit.h"
#include "db/FieldFormat.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "db/DataSource.h"
#include "platform/MessageService.h"
#include "platform/Session.h"
#include "platform/Settings.h"
#include "reports/Report.h"
#include "reports/ReportOutput.h"
#include "widgets/Language.h"
#include "widgets/UserAction.h"

#include <QLocale>
#include <QPlainTextEdit>
#include <QScopeGuard>

namespace appointments {
namespace {

const QString kAnotherExists = QStringLiteral("Another appointment already exists!");
const QString kPasteNotPossible = QStringLiteral("Appointment's paste is not possible.");
const QString kAboveMaximum = QStringLiteral("Appointment duration greater than maximum");

} // namespace

void TAppointmentsForm::clearCells()
{
    for (int col = 1; col < TAppointmentGrid::kMaxColumns; ++col) {
        for (int row = 1; row <= AppointmentGrid->SlotCount(); ++row)
            AppointmentGrid->SetAppointment(col, row, nullptr);
    }
    m_cellObjects.clear();
}

void TAppointmentsForm::LoadAppointments()
{
    if (m_dentist < 0)
        return;
    TAppointmentGrid& grid = *AppointmentGrid;
    grid.BeginFill();
    const auto filled = qScopeGuard([&grid] { grid.EndFill(); });
    clearCells();
    // Only the days the grid shows: the eighth day of a week's range has no column.
    const QDate lastShown = grid.FirstDate.addDays(grid.ColCount() - 2);
    m_dm.appointments().showWeek(m_dentist, grid.FirstDate, lastShown);

    QHash<QString, QColor> colours;
    db::Dataset& types = *m_dm.appointments().AppointmentTypesTable;
    const int typeName = types.field(u"AppointmentType").index();
    const int typeColour = types.field(u"ColorIndex").index();
    for (int row = 0; row < types.recordCount(); ++row)
        colours.insert(
            types.rowValue(row, typeName).toString(), colourOfIndex(types.rowValue(row, typeColour)));

    db::Dataset& view = *m_dm.appointments().AppointmentTable;
    const int idField = view.field(u"AppID").index();
    const int dateField = view.field(u"Date").index();
    const int startField = view.field(u"StartTime").index();
    const int durationField = view.field(u"Duration").index();
    const int nameField = view.field(u"PatName").index();
    const int detailsField = view.field(u"Details").index();
    const int typeField = view.field(u"AppointmentType").index();
    const int docField = view.field(u"DocID").index();
    for (int row = 0; row < view.recordCount(); ++row) {
        // The row being inserted has no place yet; another dentist's row never shows here.
        if (view.rowValue(row, docField).toInt() != m_dentist)
            continue;
        const int col = grid.ColumnOfDate(view.rowValue(row, dateField).toDate());
        if (col < 1)
            continue;
        const int first = grid.RowOfTime(view.rowValue(row, startField).toString());
        const int duration = view.rowValue(row, durationField).toInt();
        const QString text = view.rowValue(row, nameField).toString() + QStringLiteral(" // ")
            + view.rowValue(row, detailsField).toString();
        const auto colour = colours.constFind(view.rowValue(row, typeField).toString());
        // A start that is no label, or slots past the day's end, are left out: shown where it
        // can be, never rewritten.
        for (int k = 0; k < duration && first + k <= grid.SlotCount(); ++k) {
            auto object = std::make_unique<TAppointment>();
            object->AppID = view.rowValue(row, idField).toInt();
            object->AppName = text;
            grid.SetAppointment(col, first + k, object.get());
            if (colour != colours.constEnd())
                object->Color = *colour;
            m_cellObjects.push_back(std::move(object));
        }
    }
    loadWorkingHours();
    loadDaysOff();
}

void TAppointmentsForm::loadWorkingHours()
{
    db::Dataset& dentists = *m_dm.lists().DentistsTable;
    const QVariant stored
        = dentists.lookup({ QStringLiteral("DocID") }, { m_dentist }, QStringLiteral("WorkingHoursSet"));
    m_workingHours = data::timeslots::fromBytes(stored.toByteArray());
    AppointmentGrid->ShowRows(m_workingHours);
}

void TAppointmentsForm::loadDaysOff()
{
    db::Dataset& days = *m_dm.lists().NameDaysTable;
    const int dayField = days.field(u"Day").index();
    const int monthField = days.field(u"Month").index();
    const int offField = days.field(u"DayOff").index();
    QSet<int> off; // month * 100 + day
    for (int row = 0; row < days.recordCount(); ++row) {
        if (days.rowValue(row, offField).toBool())
            off.insert(days.rowValue(row, monthField).toInt() * 100 + days.rowValue(row, dayField).toInt());
    }
    QString marks;
    for (int i = 0; i < 7; ++i) {
        const QDate day = AppointmentGrid->FirstDate.addDays(i);
        marks += off.contains(day.month() * 100 + day.day()) ? QLatin1Char('1') : QLatin1Char('0');
    }
    AppointmentGrid->setDaysOff(marks);
}

std::pair<int, int> TAppointmentsForm::blockOf(int col, int row) const
{
    const TAppointment* a = AppointmentGrid->GetAppointment(col, row);
    if (!a)
        return { row, row };
    int top = row;
    int bottom = row;
    const auto same = [&](int r) {
        const TAppointment* other = AppointmentGrid->GetAppointment(col, r);
        return other && other->AppID == a->AppID;
    };
    while (top > 1 && same(top - 1))
        --top;
    while (bottom < AppointmentGrid->SlotCount() && same(bottom + 1))
        ++bottom;
    return { top, bottom };
}

void TAppointmentsForm::showDetails(int col, int row)
{
    DetailsMemo->clear();
    const TAppointment* a = AppointmentGrid->GetAppointment(col, row);
    if (!a)
        return;
    db::Dataset& view = *m_dm.appointments().AppointmentTable;
    if (view.isEditing() || !view.locate(QStringLiteral("AppID"), a->AppID)) {
        if (!view.isEditing())
            platform::showError(Lang->Message(QStringLiteral("Record not found")));
        return;
    }
    DetailsMemo->setPlainText(
        view.value(u"PatName").toString() + QLatin1Char('\n') + view.value(u"Details").toString());
    const auto [top, bottom] = blockOf(col, row);
    AppointmentGrid->SelectRows(top, bottom);
}

void TAppointmentsForm::selectCell(int col, int row)
{
    AppointmentGrid->Updating = true;
    AppointmentGrid->SelectCell(col, row);
    AppointmentGrid->Updating = false;
}

void TAppointmentsForm::selectBlockOf(qint32 appId)
{
    for (int col = 1; col < AppointmentGrid->ColCount(); ++col) {
        for (int row = 1; row <= AppointmentGrid->SlotCount(); ++row) {
            const TAppointment* a = AppointmentGrid->GetAppointment(col, row);
            if (a && a->AppID == appId) {
                selectCell(col, row);
                AppointmentGrid->scrollTo(AppointmentGrid->model()->index(row - 1, col - 1));
                return;
            }
        }
    }
}

bool TAppointmentsForm::runIsFree(int col, int row, int n, qint32 moving) const
{
    for (int k = 0; k < n; ++k) {
        const int r = row + k;
        if (r > AppointmentGrid->SlotCount() || r < 1)
            return false;
        const TAppointment* a = AppointmentGrid->GetAppointment(col, r);
        if (a && (moving == 0 || a->AppID != moving))
            return false;
        if (!m_workingHours.test(size_t(r)))
            return false;
    }
    return true;
}

int TAppointmentsForm::freeRun(int col, int row, qint32 moving) const
{
    int n = 0;
    while (runIsFree(col, row + n, 1, moving))
        ++n;
    return n;
}

// What ends a free run at the slot `row`: the booking there, the end of the working hours or of
// the day, in words for the appointment dialog.
QString TAppointmentsForm::limitAt(int col, int row) const
{
    if (row > AppointmentGrid->SlotCount())
        return Lang->Message(QStringLiteral("the end of the day"));
    if (const TAppointment* next = AppointmentGrid->GetAppointment(col, row)) {
        const QString name = next->AppName.section(QStringLiteral(" // "), 0, 0).trimmed();
        return Lang->Message(QStringLiteral("the appointment of %1 at %2"))
            .arg(name, AppointmentGrid->TimeLabel(row));
    }
    return Lang->Message(QStringLiteral("the end of the working hours at %1"))
        .arg(AppointmentGrid->TimeLabel(row));
}

void TAppointmentsForm::OpenEntryDialog()
{
    const int col = AppointmentGrid->Col();
    const int row = AppointmentGrid->Row();
    TAppointmentEntryForm::Place place;
    place.date = AppointmentGrid->SelectedDate;
    place.startTime = AppointmentGrid->TimeLabel(row);
    place.docId = m_dentist;
    place.slotMinutes = AppointmentGrid->SlotMinutes;
    qint32 edited = 0;
    if (const TAppointment* a = AppointmentGrid->GetAppointment(col, row)) {
        db::Dataset& view = *m_dm.appointments().AppointmentTable;
        if (!view.locate(QStringLiteral("AppID"), a->AppID)) {
            platform::showError(Lang->Message(QStringLiteral("Record not found")));
            return;
        }
        edited = a->AppID;
        const int bottom = blockOf(col, row).second;
        const int free = freeRun(col, bottom + 1, 0);
        place.editing = true;
        place.maxDuration = std::max(view.value(u"Duration").toInt(), 1) + free;
        place.limit = limitAt(col, bottom + 1 + free);
    } else {
        place.maxDuration = freeRun(col, row, 0);
        if (place.maxDuration == 0)
            return; // outside working hours: nothing can start here
        place.limit = limitAt(col, row + place.maxDuration);
    }
    {
        TAppointmentEntryForm dialog(m_dm, this);
        if (searchPatient)
            dialog.searchPatient = searchPatient;
        dialog.prepare(place);
        // Only a stored new appointment is selected afterwards: a cancelled one leaves the view
        // on whichever row it returns to, which is nobody's business here.
        db::Dataset& view = *m_dm.appointments().AppointmentTable;
        bool stored = false;
        const QMetaObject::Connection storing
            = connect(&view, &db::Dataset::afterPost, this, [&stored] { stored = true; });
        runModal(dialog);
        disconnect(storing);
        if (!place.editing && stored && view.state() == db::DatasetState::Browse)
            edited = view.value(u"AppID").toInt();
    }
    LoadAppointments();
    if (edited)
        selectBlockOf(edited);
}

void TAppointmentsForm::storeClipboard(bool cut)
{
    const TAppointment* a = AppointmentGrid->GetAppointment(AppointmentGrid->Col(), AppointmentGrid->Row());
    if (!a)
        return;
    db::Dataset& view = *m_dm.appointments().AppointmentTable;
    if (!view.locate(QStringLiteral("AppID"), a->AppID)) {
        platform::showError(Lang->Message(QStringLiteral("Record not found")));
        return;
    }
    m_clipboard = { a->AppID, cut, view.value(u"PatID").isNull() ? -1 : view.value(u"PatID").toInt(),
        view.value(u"PatName").toString(), std::max(view.value(u"Duration").toInt(), 1),
        view.value(u"Details").toString(), view.value(u"AppointmentType").toString() };
}

void TAppointmentsForm::PasteClick()
{
    if (m_clipboard.appId == 0)
        return;
    db::Dataset& view = *m_dm.appointments().AppointmentTable;
    if (view.isEditing() && !m_dm.AskToPost(view))
        return;
    const int col = AppointmentGrid->Col();
    const int row = AppointmentGrid->Row();
    const QDate date = AppointmentGrid->SelectedDate;
    const qint32 moving = m_clipboard.cut ? m_clipboard.appId : 0;
    enum class Outcome { Pasted, Occupied, NoRoom } outcome = Outcome::Pasted;
    qint32 pasted = 0;
    // The checks see what every workstation has stored by now, and nobody else writes until the
    // new appointment is stored: the answer cannot change between the check and the insert.
    // Messages wait until the lock is let go.
    m_dm.appointments().underWriteLock([&] {
        LoadAppointments();
        for (int k = 0; k < m_clipboard.duration; ++k) {
            const TAppointment* a = AppointmentGrid->GetAppointment(col, row + k);
            if (a && a->AppID != moving) {
                outcome = Outcome::Occupied;
                return;
            }
        }
        if (!runIsFree(col, row, m_clipboard.duration, moving)) {
            outcome = Outcome::NoRoom;
            return;
        }
        // A refused paste leaves the book as it was: the new row goes, the cut one stays.
        auto dropNewRow = qScopeGuard([&view] {
            if (view.state() == db::DatasetState::Insert)
                view.cancel();
        });
        view.insert();
        view.setValue(u"StartTime", AppointmentGrid->TimeLabel(row));
        view.setValue(u"Date", date);
        view.setValue(u"DocID", m_dentist);
        view.setValue(u"PatName", m_clipboard.patName);
        view.setValue(u"PatID", m_clipboard.patId); // the name's rule cleared it
        view.setValue(u"Duration", m_clipboard.duration);
        view.setValue(u"Details", m_clipboard.details);
        view.setValue(u"AppointmentType", m_clipboard.type);
        pasted = view.value(u"AppID").toInt();
        view.post();
        dropNewRow.dismiss();
        if (m_clipboard.cut && view.locate(QStringLiteral("AppID"), m_clipboard.appId))
            view.remove();
    });
    if (outcome == Outcome::Occupied) {
        LoadAppointments();
        platform::showWarning(Lang->Message(kAnotherExists));
        return;
    }
    if (outcome == Outcome::NoRoom) {
        LoadAppointments();
        platform::showWarning(
            Lang->Message(kPasteNotPossible) + QLatin1Char('\n') + Lang->Message(kAboveMaximum));
        return;
    }
    m_clipboard = {};
    LoadAppointments();
    selectBlockOf(pasted);
}

void TAppointmentsForm::ShowSelectedPatient()
{
    const TAppointment* a = AppointmentGrid->GetAppointment(AppointmentGrid->Col(), AppointmentGrid->Row());
    if (!a)
        return;
    db::Dataset& view = *m_dm.appointments().AppointmentTable;
    if (!view.locate(QStringLiteral("AppID"), a->AppID)) {
        platform::showError(Lang->Message(QStringLiteral("Record not found")));
        return;
    }
    db::Dataset& patients = *m_dm.patients().PatientsTable;
    if (!patients.locate(QStringLiteral("PatientID"), view.value(u"PatID")))
        platform::showWarning(Lang->Message(QStringLiteral("Patient not found")));
}

void TAppointmentsForm::ResizeColumnsClick()
{
    const std::optional<QString> answer = askText(Lang->Message(QStringLiteral("Resize Columns")),
        Lang->Message(QStringLiteral("Please enter new width in pixels (default 70)")));
    if (!answer)
        return;
    bool number = false;
    const int width = answer->trimmed().toInt(&number);
    if (!number || width <= 0) {
        platform::showError(Lang->Message(QStringLiteral("Invalid value")));
        return;
    }
    AppointmentGrid->setDefaultColWidth(width);
}

void TAppointmentsForm::SetWorkingHoursClick()
{
    TWorkingHoursForm dialog(
        AppointmentGrid->SlotCount(), AppointmentGrid->SlotMinutes, m_workingHours, this);
    if (runModal(dialog) != QDialog::Accepted)
        return;
    db::Dataset& dentists = *m_dm.lists().DentistsTable;
    if (!dentists.locate(QStringLiteral("DocID"), m_dentist)) {
        platform::showError(Lang->Message(QStringLiteral("Record not found")));
        return;
    }
    dentists.edit();
    dentists.setValue(u"WorkingHoursSet", data::timeslots::toBytes(dialog.chosenSlots()));
    dentists.post();
    LoadAppointments();
}

reports::Report TAppointmentsForm::printReport() const
{
    reports::Report report;
    const bool singleDay = AppointmentGrid->ShowTodayOnly();
    const QString title = Lang->Message(
        singleDay ? QStringLiteral("Daily Appointments") : QStringLiteral("Weekly Appointments"));
    report.setTitle(title);
    const QDate last = AppointmentGrid->FirstDate.addDays(AppointmentGrid->ColCount() - 2);
    const QString period = Lang->Message(QStringLiteral("From")) + QLatin1Char(' ')
        + db::fieldformat::dateText(AppointmentGrid->FirstDate) + QLatin1Char(' ')
        + Lang->Message(QStringLiteral("To")) + QLatin1Char(' ') + db::fieldformat::dateText(last);
    report.addTitle(title, { period, DentistTabs->tabText(DentistTabs->currentIndex()).simplified() });
    report.addPicture(AppointmentGrid->grab().toImage(), 240);
    return report;
}

void TAppointmentsForm::PrintClick()
{
    if (!platform::askYesNo(
            Lang->Message(QStringLiteral(
                "Printing will render the appointment grid as-is. Would you like to continue?")),
            windowTitle()))
        return;
    reports::previewReport(printReport(), this);
}

} // namespace appointments
