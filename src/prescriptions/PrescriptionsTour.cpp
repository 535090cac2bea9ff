#include "prescriptions/PrescriptionsTour.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "prescriptions/MedicinesUnit.h"
#include "prescriptions/PrescriptionsUnit.h"

namespace prescriptions {
namespace {

void tourPrescriptionWindows(data::TDmForm& dm, widgets::TourCamera& camera)
{
    const auto take = [&camera](QWidget& window, const QString& name = {}) { camera.take(window, name); };
    {
        TMedicinesForm medicines(dm);
        take(medicines, QStringLiteral("MedicinesForm"));
        medicines.hide();
    }
    {
        // A patient with a prescription of several lines.
        db::Dataset& patients = *dm.patients().PatientsTable;
        TPrescriptionsForm form(dm);
        form.show();
        for (patients.first(); !patients.eof(); patients.next()) {
            if (dm.patients().PrescrItemsTable->recordCount() > 1)
                break;
        }
        take(form, QStringLiteral("PrescriptionsForm"));
        form.close();
    }
}

} // namespace

void addPrescriptionTourPages(widgets::TourPages<data::TDmForm>& pages)
{
    pages.add(QStringLiteral("the prescriptions"), &tourPrescriptionWindows);
}

} // namespace prescriptions
