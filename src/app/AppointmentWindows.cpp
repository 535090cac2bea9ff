#include "app/AppointmentWindows.h"

#include "app/MainUnit.h"
#include "app/WindowRegistry.h"
#include "appointments/AppointmentUnit.h"
#include "appointments/DentistsEntryUnit.h"
#include "data/DmUnit.h"

namespace app {

void lendAppointmentWindows(data::TDmForm& dm, TMainForm& main)
{
    WindowRegistry& registry = WindowRegistry::instance();
    registry.add(
        QStringLiteral("AppointmentsForm"), WindowRegistry::Kind::Child, [&dm, &main](QWidget* parent) {
            auto* book = new appointments::TAppointmentsForm(dm, parent);
            book->searchPatient = [&main] { return main.Hooks.searchPatient && main.Hooks.searchPatient(); };
            return book;
        });
    registry.add(QStringLiteral("DentistsEntryForm"), WindowRegistry::Kind::Modal,
        [&dm](QWidget* parent) { return new appointments::TDentistsEntryForm(dm, parent); });
    QObject::connect(&dm, &QObject::destroyed, [] {
        WindowRegistry::instance().remove(QStringLiteral("AppointmentsForm"));
        WindowRegistry::instance().remove(QStringLiteral("DentistsEntryForm"));
    });
    main.ApplyUserLevel();
}

} // namespace app
