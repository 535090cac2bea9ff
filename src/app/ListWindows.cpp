#include "app/ListWindows.h"

#include "app/MainUnit.h"
#include "app/WindowRegistry.h"
#include "data/DmUnit.h"
#include "lists/AdditionalUnit.h"
#include "patients/SearchDlgUnit.h"
#include "platform/Session.h"
#include "prescriptions/MedicinesUnit.h"
#include "prescriptions/PrescriptionsUnit.h"
#include "reminders/PhonesUnit.h"
#include "reminders/RemindersUnit.h"
#include "reminders/ShowReminderUnit.h"

#include <QDate>
#include <QTimer>

namespace app {
namespace {

bool runSearch(db::Dataset& view, const QString& caption)
{
    patients::TSearchDlg* dialog = patients::TSearchDlg::shared();
    return dialog && dialog->Run(view, caption) == 1;
}

} // namespace

void lendListWindows(data::TDmForm& dm, TMainForm& main)
{
    WindowRegistry& registry = WindowRegistry::instance();
    registry.add(QStringLiteral("RemindersForm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) { return new reminders::TRemindersForm(dm, parent); });
    registry.add(QStringLiteral("PhonesForm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) { return new reminders::TPhonesForm(dm, runSearch, parent); });
    registry.add(QStringLiteral("AdditionalForm"), WindowRegistry::Kind::Modal, [&dm](QWidget* parent) {
        const platform::Session& session = platform::session();
        const bool physicalSystems
            = session.edition == platform::Edition::Medical || session.settings().progNotesOn();
        return new lists::TAdditionalForm(dm, physicalSystems, runSearch, parent);
    });
    // A medicine is added only when the search found one.
    const prescriptions::Search searchMedicines = &patients::TSearchDlg::findShared;
    registry.add(QStringLiteral("MedicinesForm"), WindowRegistry::Kind::Modal,
        [&dm, searchMedicines](
            QWidget* parent) { return new prescriptions::TMedicinesForm(dm, searchMedicines, parent); });
    registry.add(QStringLiteral("PrescriptionsForm"), WindowRegistry::Kind::Child,
        [&dm, &main, searchMedicines](QWidget* parent) {
            prescriptions::PrescriptionsHost host;
            host.search = searchMedicines;
            host.searchPatient = [&main] { return main.Hooks.searchPatient && main.Hooks.searchPatient(); };
            return new prescriptions::TPrescriptionsForm(dm, host, parent);
        });
    // Queued: the frame's first show finishes and the start goes on while the window is up.
    main.Hooks.showRemindersOfDay = [&dm, &main] {
        QTimer::singleShot(0, &main, [&dm, &main] {
            reminders::ShowRemindersOfDay(dm, QDate::currentDate(), main.isVisible(), &main);
        });
    };
    main.ApplyUserLevel();
}

} // namespace app
