#include "app/DataModuleBinding.h"

#include "app/MainUnit.h"
#include "clinical/ClinicalWindows.h"
#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "widgets/Language.h"
#include "widgets/RecordFrame.h"

#include "platform/MessageTexts.h"

#include <QLabel>
#include <QPointer>
#include <QStatusBar>

namespace app {

namespace {

// While the database server does not answer, the status bar says so; what the user typed
// waits in its window and is stored once the connection is back.
void showServerState(TMainForm& mainWindow, data::TDmForm& module)
{
    auto* state = new QLabel(mainWindow.statusBar());
    state->setObjectName(QStringLiteral("ServerStateLabel"));
    state->setStyleSheet(QStringLiteral("QLabel { color: white; background: #b00020; padding: 0 6px; }"));
    state->setText(platform::MessageTexts::program().Message(
        QStringLiteral("No connection to the database server: trying again...")));
    state->hide();
    mainWindow.statusBar()->addPermanentWidget(state);
    QObject::connect(&module, &data::TDmForm::serverAvailabilityChanged, state,
        [state](bool available) { state->setVisible(!available); });
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
    clinical::registerClinicalListWindows(module);
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
    showServerState(mainWindow, module);
    // The commands that need a patient wait for the first one to be stored.
    QPointer<TMainForm> window(&mainWindow);
    QObject::connect(patients, &db::Dataset::afterPost, &mainWindow, [window] {
        if (window)
            window->EnablePatientCommands(true);
    });
}

} // namespace app
