#include "prescriptions/PrescriptionWindows.h"

#include "data/DmUnit.h"
#include "prescriptions/MedicinesUnit.h"
#include "prescriptions/PrescriptionsUnit.h"
#include "widgets/WindowRegistry.h"
#include "widgets/WindowService.h"

namespace prescriptions {

void registerPrescriptionWindows(data::TDmForm& dm, widgets::WindowService& frame)
{
    using widgets::WindowRegistry;
    WindowRegistry& registry = WindowRegistry::instance();
    // A medicine is added only when the search found one.
    const Search searchMedicines
        = [&frame](db::Dataset& view, const QString& caption, const QString& condition) {
              return frame.search(view, caption, condition);
          };
    registry.add(
        QStringLiteral("MedicinesForm"), WindowRegistry::Kind::Modal,
        [&dm, searchMedicines](QWidget* parent) { return new TMedicinesForm(dm, searchMedicines, parent); },
        &dm);
    registry.add(
        QStringLiteral("PrescriptionsForm"), WindowRegistry::Kind::Child,
        [&dm, &frame, searchMedicines](QWidget* parent) {
            PrescriptionsHost host;
            host.search = searchMedicines;
            host.searchPatient = [&frame] { return frame.searchPatient(); };
            return new TPrescriptionsForm(dm, host, parent);
        },
        &dm);
}

} // namespace prescriptions
