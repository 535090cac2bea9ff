#include "app/PatientWindows.h"

#include "app/MainUnit.h"
#include "app/WindowRegistry.h"
#include "data/DmUnit.h"
#include "db/DataSource.h"
#include "db/Dataset.h"
#include "patients/FamilyUnit.h"
#include "patients/PatientUnit.h"
#include "patients/SearchDlgUnit.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace app {
namespace {

patients::TPatientForm* activePatientForm(TMainForm& main)
{
    QMdiSubWindow* active = main.ClientArea->activeSubWindow();
    return active ? qobject_cast<patients::TPatientForm*>(active->widget()) : nullptr;
}

patients::PatientFormHost hostOf(TMainForm& main)
{
    patients::PatientFormHost host;
    host.save = [&main] { main.Records->Save(); };
    host.warnIfInactive = [&main] { main.WarnIfPatientInactive(); };
    // The protector is chosen in the search dialog made at start.
    host.search = [](db::Dataset& view, const QString& caption, const QString& condition) {
        patients::TSearchDlg* dialog = patients::TSearchDlg::shared();
        return dialog && dialog->Run(view, caption, condition) == 1;
    };
    host.clearStatus = [&main] {
        main.StatusPanels[1]->clear();
        main.StatusPanels[2]->clear();
    };
    for (const char* name : {"New", "Delete", "Edit", "Cancel"}) {
        if (QAction* shared = main.action(QLatin1String(name)))
            host.recordActions.append(shared);
    }
    return host;
}

// Refresh with the patient file active: after its detail views were read again, its panels
// and an open family tree show them.
void refreshPatientPanels(TMainForm& main)
{
    if (auto* form = qobject_cast<patients::TPatientForm*>(main.findWindow(QStringLiteral("PatientForm"))))
        form->RefreshDerived();
    if (auto* family = qobject_cast<patients::TFamilyForm*>(main.findWindow(QStringLiteral("FamilyForm"))))
        family->reload();
}

} // namespace

void lendPatientWindows(data::TDmForm& dm, TMainForm& main)
{
    WindowRegistry& registry = WindowRegistry::instance();
    registry.add(QStringLiteral("PatientForm"), WindowRegistry::Kind::Child,
        [&dm, &main](QWidget* parent) { return new patients::TPatientForm(dm, hostOf(main), parent); });
    registry.add(QStringLiteral("FamilyForm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) { return new patients::TFamilyForm(dm, parent); });

    RecordCommands& records = *main.Records;
    const auto focus = records.prepareFocus;
    records.prepareFocus = [&main, focus](int code) {
        if (code == patients::TPatientForm::kFormCode) {
            if (patients::TPatientForm* form = activePatientForm(main))
                form->prepareNew();
        } else if (focus) {
            focus(code);
        }
    };
    const auto cancel = records.cancelDetails;
    records.cancelDetails = [&main, &dm, cancel] {
        if (activePatientForm(main)) {
            for (db::Dataset* view : {dm.AnamnesticaTable, dm.FamilyFatherTable}) {
                if (view->isEditing())
                    view->cancel();
            }
        }
        if (cancel)
            cancel();
    };
    const auto refresh = main.Hooks.refreshGroups;
    main.Hooks.refreshGroups = [&main, refresh](int code) {
        if (refresh)
            refresh(code);
        if (code == patients::TPatientForm::kFormCode)
            refreshPatientPanels(main);
    };
    main.ApplyUserLevel();
}

} // namespace app
