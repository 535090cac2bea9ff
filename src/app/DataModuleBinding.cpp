#include "app/DataModuleBinding.h"

#include "app/MainUnit.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"

#include <QPointer>

namespace app {
namespace {

bool hasCurrentRow(const db::Dataset& view)
{
    return view.isActive() && !view.isEmpty();
}

// Re-reads the views and stays on the same rows; a view that is closed or being edited is
// left alone, so that nobody's unsaved row is thrown away.
void refreshViews(std::initializer_list<db::Dataset*> views)
{
    for (db::Dataset* view : views) {
        if (view->isActive() && !view->isEditing())
            view->refresh();
    }
}

// The detail views a record window shows, by its active form code.
void refreshGroup(data::TDmForm& dm, int code)
{
    switch (code) {
    case 1:
        refreshViews({ dm.AnamnesticaTable, dm.QuestAnswerTable, dm.FamilyFatherTable, dm.FamilyChildrenTable,
            dm.NonProtectedPatientsTable, dm.SessionsTable, dm.PatientEconomTable });
        break;
    case 15:
        refreshViews({ dm.SuppliersTable, dm.MaterialOrderItemsTable });
        break;
    case 16:
        refreshViews({ dm.SuppliersTable, dm.DeliveredMatItemsTable });
        break;
    case 17:
        refreshViews({ dm.DentalLabTable, dm.LabOrderItemsTable });
        break;
    case 18:
        refreshViews({ dm.DentalLabTable, dm.DeliveredLabOrderItemsTable });
        break;
    case 20:
        refreshViews({ dm.PrescrItemsTable });
        break;
    default:
        break;
    }
}

} // namespace

void bindMainWindow(TMainForm& mainWindow, data::TDmForm& module)
{
    data::TDmForm* dm = &module;
    db::Dataset* patients = dm->PatientsTable;
    mainWindow.setActiveSrc(dm->ActiveSrc);
    mainWindow.Hooks.hasPatients = [patients] { return hasCurrentRow(*patients); };
    mainWindow.Hooks.currentPatient = [patients]() -> std::optional<ImagingPatient> {
        if (!hasCurrentRow(*patients))
            return std::nullopt;
        ImagingPatient patient;
        patient.patientId = patients->value(u"PatientID").toInt();
        patient.firstName = patients->value(u"FirstName").toString();
        patient.lastName = patients->value(u"LastName").toString();
        patient.birthDate = patients->value(u"BirthDate").toDate();
        patient.sex = patients->value(u"Sex").toString();
        return patient;
    };
    mainWindow.Hooks.currentPatientInactive = [patients] { return hasCurrentRow(*patients) && patients->value(u"NotActive").toBool(); };
    mainWindow.Hooks.refreshGroups = [dm](int code) { refreshGroup(*dm, code); };
    // The commands that need a patient wait for the first one to be stored.
    QPointer<TMainForm> window(&mainWindow);
    QObject::connect(patients, &db::Dataset::afterPost, &mainWindow, [window] {
        if (window)
            window->EnablePatientCommands(true);
    });
}

} // namespace app
