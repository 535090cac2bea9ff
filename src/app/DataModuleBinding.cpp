#include "app/DataModuleBinding.h"

#include "app/MainUnit.h"
#include "app/WindowRegistry.h"
#include "clinical/HistoryUnit.h"
#include "clinical/OperationsEntryUnit.h"
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

// The windows of the main window's commands that work on the data module's views.
void registerDataWindows(data::TDmForm& dm)
{
    WindowRegistry& registry = WindowRegistry::instance();
    registry.add(QStringLiteral("OperationsEntryForm"), WindowRegistry::Kind::Modal,
        [&dm](QWidget* parent) { return new clinical::TOperationsEntryForm(dm, parent); });
    // The medical edition's treatment history: the implementation of the current session.
    registry.add(QStringLiteral("HistoryForm"), WindowRegistry::Kind::Modal, [&dm](QWidget* parent) {
        auto* history = new clinical::THistoryForm(dm, parent);
        history->setLevel(2);
        history->setWindowTitle(QStringLiteral("Treatment History"));
        return history;
    });
    QObject::connect(&dm, &QObject::destroyed, [] {
        WindowRegistry::instance().remove(QStringLiteral("OperationsEntryForm"));
        WindowRegistry::instance().remove(QStringLiteral("HistoryForm"));
    });
}

} // namespace

void bindMainWindow(TMainForm& mainWindow, data::TDmForm& module)
{
    data::TDmForm* dm = &module;
    db::Dataset* patients = dm->PatientsTable;
    mainWindow.setActiveSrc(dm->ActiveSrc);
    registerDataWindows(module);
    mainWindow.ApplyUserLevel(); // the commands of the windows just registered
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
