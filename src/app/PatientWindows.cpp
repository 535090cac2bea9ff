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

// After Refresh read the patient's views again, an open family tree shows them.
void reloadFamilyTree(TMainForm& main)
{
    if (auto* family = qobject_cast<patients::TFamilyForm*>(main.findWindow(QStringLiteral("FamilyForm"))))
        family->reload();
}

} // namespace

void lendPatientWindows(data::TDmForm& dm, TMainForm& main)
{
    WindowRegistry& registry = WindowRegistry::instance();
    registry.add(QStringLiteral("PatientForm"), WindowRegistry::Kind::Child,
        [&dm, &main](QWidget* parent) {
            auto* form = new patients::TPatientForm(dm, hostOf(main), parent);
            QObject::connect(form, &patients::TPatientForm::detailsRefreshed, &main, [&main] { reloadFamilyTree(main); });
            return form;
        });
    registry.add(QStringLiteral("FamilyForm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) { return new patients::TFamilyForm(dm, parent); });

    main.ApplyUserLevel();
}

} // namespace app
