#include "patients/PatientWindows.h"

#include "data/DmUnit.h"
#include "patients/FamilyUnit.h"
#include "patients/PatientUnit.h"
#include "widgets/WindowRegistry.h"
#include "widgets/WindowService.h"

namespace patients {
namespace {

PatientFormHost hostOf(widgets::WindowService& frame)
{
    PatientFormHost host;
    host.save = [&frame] { frame.saveRecord(); };
    host.warnIfInactive = [&frame] { frame.warnIfPatientInactive(); };
    host.search = [&frame](db::Dataset& view, const QString& caption, const QString& condition) {
        return frame.search(view, caption, condition);
    };
    host.clearStatus = [&frame] { frame.clearStatusPanels(); };
    for (const char* name : { "New", "Delete", "Edit", "Cancel" }) {
        if (QAction* shared = frame.sharedAction(QLatin1String(name)))
            host.recordActions.append(shared);
    }
    return host;
}

} // namespace

void registerPatientWindows(data::TDmForm& dm, widgets::WindowService& frame)
{
    using widgets::WindowRegistry;
    WindowRegistry& registry = WindowRegistry::instance();
    registry.add(
        QStringLiteral("PatientForm"), WindowRegistry::Kind::Child,
        [&dm, &frame](QWidget* parent) {
            auto* form = new TPatientForm(dm, hostOf(frame), parent);
            // After Refresh read the patient's views again, an open family tree shows them.
            QObject::connect(form, &TPatientForm::detailsRefreshed, form, [&frame] {
                if (auto* family = qobject_cast<TFamilyForm*>(frame.findWindow(QStringLiteral("FamilyForm"))))
                    family->reload();
            });
            return form;
        },
        &dm);
    registry.add(
        QStringLiteral("FamilyForm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) { return new TFamilyForm(dm, parent); }, &dm);
}

} // namespace patients
