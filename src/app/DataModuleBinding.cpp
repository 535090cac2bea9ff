#include "app/DataModuleBinding.h"

#include "app/MainUnit.h"
#include "app/WindowRegistry.h"
#include "clinical/HistoryUnit.h"
#include "clinical/OperationsEntryUnit.h"
#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "widgets/Language.h"
#include "widgets/RecordFrame.h"

#include <QPointer>

namespace app {
namespace {


// The windows of the main window's commands that work on the data module's views.
void registerDataWindows(data::TDmForm& dm)
{
    WindowRegistry& registry = WindowRegistry::instance();
    registry.add(QStringLiteral("OperationsEntryForm"), WindowRegistry::Kind::Modal,
        [&dm](QWidget* parent) { return new clinical::TOperationsEntryForm(dm, parent); });
    // The medical edition's treatment history: the implementation of the current session.
    registry.add(QStringLiteral("HistoryForm"), WindowRegistry::Kind::Modal, [&dm](QWidget* parent) {
        auto* history = new clinical::THistoryForm(dm, parent);
        history->setLevel(data::TreatmentLevel::Implementation);
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
    db::Dataset* patients = dm->patients().PatientsTable;
    mainWindow.setActiveSrc(dm->ActiveSrc);
    // The record windows claim the commands through the frame; it lives as long as the views.
    auto* frame = new widgets::RecordFrame(dm->ActiveSrc, [dm](db::Dataset& view) { return dm->AskToPost(view); }, dm);
    frame->watchArea(mainWindow.ClientArea);
    QObject::connect(frame, &widgets::RecordFrame::holderChanged, mainWindow.Records, &RecordCommands::stateChanged);
    registerDataWindows(module);
    mainWindow.ApplyUserLevel(); // the commands of the windows just registered
    // A frame that is never shown (the tour's) speaks as the shown one does: its commands'
    // texts are what the windows' record buttons show.
    mainWindow.Lang->Translate();
    mainWindow.Hooks.hasPatients = [patients] { return data::hasRows(*patients); };
    mainWindow.Hooks.currentPatient = [patients]() -> std::optional<ImagingPatient> {
        if (!data::hasRows(*patients))
            return std::nullopt;
        ImagingPatient patient;
        patient.patientId = patients->value(u"PatientID").toInt();
        patient.firstName = patients->value(u"FirstName").toString();
        patient.lastName = patients->value(u"LastName").toString();
        patient.birthDate = patients->value(u"BirthDate").toDate();
        patient.sex = patients->value(u"Sex").toString();
        return patient;
    };
    mainWindow.Hooks.currentPatientInactive = [patients] { return data::hasRows(*patients) && patients->value(u"NotActive").toBool(); };
    // The commands that need a patient wait for the first one to be stored.
    QPointer<TMainForm> window(&mainWindow);
    QObject::connect(patients, &db::Dataset::afterPost, &mainWindow, [window] {
        if (window)
            window->EnablePatientCommands(true);
    });
}

} // namespace app
