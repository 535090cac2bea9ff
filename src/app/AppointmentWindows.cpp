#include "app/AppointmentWindows.h"

#include "app/MainUnit.h"
#include "app/WindowRegistry.h"
#include "appointments/AppointmentUnit.h"
#include "appointments/DentistsEntryUnit.h"
#include "data/DmUnit.h"
#include "patients/SearchDlgUnit.h"

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
    registry.add(QStringLiteral("DentistsEntryForm"), WindowRegistry::Kind::Modal, [&dm](QWidget* parent) {
        auto* dentists = new appointments::TDentistsEntryForm(dm, parent);
        dentists->search = [](db::Dataset& view, const QString& caption) {
            return patients::TSearchDlg::findShared(view, caption);
        };
        return dentists;
    });
    QObject::connect(&dm, &QObject::destroyed, [] {
        WindowRegistry::instance().remove(QStringLiteral("AppointmentsForm"));
        WindowRegistry::instance().remove(QStringLiteral("DentistsEntryForm"));
    });
    main.ApplyUserLevel();
}

} // namespace app
