#include "appointments/AppointmentWindows.h"

#include "appointments/AppointmentUnit.h"
#include "appointments/DentistsEntryUnit.h"
#include "data/DmUnit.h"
#include "widgets/WindowRegistry.h"
#include "widgets/WindowService.h"

namespace appointments {

void registerAppointmentWindows(data::TDmForm& dm, widgets::WindowService& frame)
{
    using widgets::WindowRegistry;
    WindowRegistry& registry = WindowRegistry::instance();
    registry.add(
        QStringLiteral("AppointmentsForm"), WindowRegistry::Kind::Child,
        [&dm, &frame](QWidget* parent) {
            auto* book = new TAppointmentsForm(dm, parent);
            book->searchPatient = [&frame] { return frame.searchPatient(); };
            return book;
        },
        &dm);
    registry.add(
        QStringLiteral("DentistsEntryForm"), WindowRegistry::Kind::Modal,
        [&dm, &frame](QWidget* parent) {
            auto* dentists = new TDentistsEntryForm(dm, parent);
            dentists->search
                = [&frame](db::Dataset& view, const QString& caption) { return frame.search(view, caption); };
            return dentists;
        },
        &dm);
}

} // namespace appointments
