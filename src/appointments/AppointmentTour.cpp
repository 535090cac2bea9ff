#include "appointments/AppointmentTour.h"
#include "widgets/TourPages.h"

#include "appointments/AppointmentEntryUnit.h"
#include "appointments/AppointmentUnit.h"
#include "appointments/DentistsEntryUnit.h"
#include "appointments/WorkingHoursUnit.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "platform/Session.h"
#include "platform/Settings.h"

namespace appointments {
namespace {

// The dentist with the most appointments this week: the fullest book to look at.
int busiestDentist(data::TDmForm& dm, QDate from)
{
    db::Dataset& dentists = *dm.lists().DentistsTable;
    int busiest = 0;
    int most = -1;
    for (int row = 0; row < dentists.recordCount(); ++row) {
        const int id = dentists.rowValue(row, dentists.field(u"DocID").index()).toInt();
        dm.appointments().showWeek(id, from, from.addDays(6));
        if (dm.appointments().AppointmentTable->recordCount() > most) {
            most = dm.appointments().AppointmentTable->recordCount();
            busiest = id;
        }
    }
    dm.appointments().showAllAppointments();
    return busiest;
}

} // namespace

void tourAppointmentWindows(data::TDmForm& dm, widgets::TourCamera& camera)
{
    const auto take = [&camera](QWidget& window, const QString& name = {}) { camera.take(window, name); };
    platform::Settings settings = platform::session().settings();
    const QDate today = QDate::currentDate();
    dm.setDefaultDentist(busiestDentist(dm, today.addDays(1 - today.dayOfWeek())), settings);
    // The main window lends the record commands the dialogs' buttons trigger, and the frame
    // the book's texts are found under.

    appointments::TAppointmentsForm book(dm);
    book.setAttribute(Qt::WA_DeleteOnClose, false);
    book.resize(1180, 760);
    book.show();
    book.windowActivated();
    // Today's first appointment, selected whole, with its details beside the grid.
    appointments::TAppointmentGrid& grid = *book.AppointmentGrid;
    const int col = std::max(grid.ColumnOfDate(today), 1);
    for (int row = 1; row <= grid.SlotCount(); ++row) {
        if (grid.GetAppointment(col, row) && grid.isRowShown(row)) {
            book.selectCell(col, row);
            break;
        }
    }
    take(book, QStringLiteral("AppointmentsForm-Week"));
    book.setSingleDay(true);
    take(book, QStringLiteral("AppointmentsForm-Day"));
    book.setSingleDay(false);

    {
        appointments::TAppointmentEntryForm entry(dm, &book);
        appointments::TAppointmentEntryForm::Place place;
        place.date = grid.SelectedDate;
        place.startTime = grid.TimeLabel(grid.Row());
        place.docId = book.selectedDentist();
        place.editing = grid.GetAppointment(grid.Col(), grid.Row()) != nullptr;
        place.maxDuration = 4;
        entry.prepare(place);
        take(entry, QStringLiteral("AppointmentEntryForm"));
        dm.appointments().AppointmentTable->cancel();
        entry.hide();
    }
    {
        appointments::TWorkingHoursForm hours(grid.SlotCount(), grid.SlotMinutes, book.workingHours(), &book);
        take(hours, QStringLiteral("WorkingHoursForm"));
    }
    {
        appointments::TDentistsEntryForm dentists(dm, &book);
        take(dentists, QStringLiteral("DentistsEntryForm"));
        dentists.hide();
    }
    book.hide();
    dm.ActiveSrc->setDataset(nullptr);
}

void addAppointmentTourPages(widgets::TourPages<data::TDmForm>& pages)
{
    pages.add(QStringLiteral("the appointment windows"), &tourAppointmentWindows);
}

} // namespace appointments
