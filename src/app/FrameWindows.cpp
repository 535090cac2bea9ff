#include "app/FrameWindows.h"

#include "app/ImagingBridge.h"
#include "app/ImagingCommand.h"
#include "app/MainUnit.h"
#include "app/PallavorAutomation.h"
#include "app/VisionClient.h"
#include "appointments/AppointmentWindows.h"
#include "audit/AuditWindows.h"
#include "clinical/ClinicalWindows.h"
#include "clinical/DentalChartUnit.h"
#include "data/DmUnit.h"
#include "data/PatientsArea.h"
#include "db/Dataset.h"
#include "finance/FinanceWindows.h"
#include "images/ImagesUnit.h"
#include "images/ImageWindows.h"
#include "images/ImagingLink.h"
#include "images/SlideShowUnit.h"
#include "lists/ListWindows.h"
#include "patients/PatientWindows.h"
#include "platform/ExceptionLog.h"
#include "platform/ImagingSettings.h"
#include "platform/MessageService.h"
#include "platform/Session.h"
#include "prescriptions/PrescriptionWindows.h"
#include "reminders/ReminderWindows.h"
#include "reminders/ShowReminderUnit.h"
#include "supplies/SuppliesWindows.h"
#include "widgets/Language.h"

#include <QApplication>
#include <QDate>
#include <QDBusConnection>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

namespace app {

namespace {

// Owns the imaging program's reference and the automation object for the main window's life.
class ImagingLinks : public QObject {
public:
    ImagingLinks(data::TDmForm& dm, TMainForm& main)
        : QObject(&main)
        , automation(new TPallavor99Auto(dm, main, this))
    {
        automation->releaseImaging = [this] { client.release(); };
        automation->redrawChart = [&main] {
            if (auto* chart = qobject_cast<clinical::TDentalChartForm*>(
                    main.findWindow(QStringLiteral("DentalChartForm"))))
                chart->Redraw();
            if (auto* window
                = qobject_cast<images::TImagesForm*>(main.findWindow(QStringLiteral("ImagesForm"))))
                window->ImagesChanged();
        };
        // Without a session bus (a console, a test) there is nobody to offer it to.
        if (QDBusConnection::sessionBus().isConnected() && !automation->registerOnBus())
            platform::exceptionLog::logException(
                QStringLiteral("The automation object is not on the session bus: "
                               "the imaging program cannot file images into this program"));
    }
    ~ImagingLinks() override { images::imagingHost() = {}; }

    VisionClient client;
    TPallavor99Auto* automation;
};

images::Acquisition acquisitionOf(clinical::TDentalChartForm::ToothImaging kind)
{
    switch (kind) {
    case clinical::TDentalChartForm::ToothImaging::XRay:
        return images::Acquisition::XRay;
    case clinical::TDentalChartForm::ToothImaging::Camera:
        return images::Acquisition::Camera;
    case clinical::TDentalChartForm::ToothImaging::Acquire:
        break;
    }
    return images::Acquisition::Scanner;
}

} // namespace

void endAfterImagingFailure(TMainForm& main)
{
    main.ClientArea->closeAllSubWindows();
    if (!main.ClientArea->subWindowList().isEmpty())
        return; // an edit the user keeps
    QCoreApplication::exit(1);
}

namespace {

// The chart's tooth pop-up: the imaging program asked for an X-ray, a capture or a scan of the
// chart's tooth.
void requestToothImages(data::TDmForm& dm, clinical::TDentalChartForm& chart,
    clinical::TDentalChartForm::ToothImaging kind, int tooth)
{
    const db::Dataset& patients = *dm.patients().PatientsTable;
    const QString name = patients.isActive() && !patients.isEmpty()
        ? patients.value(u"FirstName").toString() + QLatin1Char(' ') + patients.value(u"LastName").toString()
        : QString();
    images::ImagingRequests requests([&chart](const QString& text) { return chart.Lang->Message(text); },
        QString::fromLatin1(images::kParametersErrorImages));
    requests.acquire(acquisitionOf(kind), tooth, dm.patients().xRayFolder(), name);
}

// The imaging program's links and the automation object, for the main window's life.
void lendImaging(data::TDmForm& dm, TMainForm& main)
{
    auto* links = new ImagingLinks(dm, main);
    images::ImagingHost& host = images::imagingHost();
    host.program = [links]() -> images::ImagingProgram* { return &links->client; };
    host.minimiseSystem = [&main] { main.showMinimized(); };
    host.endProgram = [&main] { endAfterImagingFailure(main); };

    // An imaging program configured by its command line is started instead of asked.
    host.commandBridge = [&dm, &main](images::Acquisition kind, int tooth) {
        const QString commandTemplate = platform::imagingCommand(platform::session().settings());
        if (commandTemplate.trimmed().isEmpty())
            return false;
        const db::Dataset& patients = *dm.patients().PatientsTable;
        if (!patients.isActive() || patients.isEmpty())
            return true;
        const std::optional<QString> command
            = toothImagingCommand(commandTemplate, dm.patients().xRayFolder(),
                patients.value(u"FirstName").toString() + QLatin1Char(' ')
                    + patients.value(u"LastName").toString(),
                patients.value(u"PatientID").toInt(), tooth, kind);
        if (!command)
            platform::showError(main.Lang->Message(
                QStringLiteral("The command line of the imaging program is longer than 499 characters")));
        else if (!ImagingCommand::start(*command))
            platform::showError(
                main.Lang->Message(QStringLiteral("The imaging program could not be started:"))
                + QLatin1Char(' ') + *command);
        return true;
    };
    if (const QString folder = platform::imagingImportFolder(platform::session().settings());
        !folder.trimmed().isEmpty()) {
        auto* watcher = new ImportFolderWatcher(dm, folder, links);
        watcher->afterFiling = links->automation->redrawChart;
    }
}

} // namespace

void lendWindows(data::TDmForm& dm, TMainForm& main)
{
    clinical::registerClinicalWindows(dm, main,
        [&dm](clinical::TDentalChartForm& chart, clinical::TDentalChartForm::ToothImaging kind, int tooth) {
            requestToothImages(dm, chart, kind, tooth);
        });
    patients::registerPatientWindows(dm, main);
    finance::registerFinanceWindows(dm, main);
    audit::registerAuditWindows(dm, main);
    appointments::registerAppointmentWindows(dm, main);
    supplies::registerSuppliesWindows(dm, main);
    lists::registerListWindows(dm, main);
    reminders::registerReminderWindows(dm, main);
    prescriptions::registerPrescriptionWindows(dm, main);
    images::registerImageWindows(dm, main);
    lendImaging(dm, main);
    // Queued: the frame's first show finishes and the start goes on while the window is up.
    main.Hooks.showRemindersOfDay = [&dm, &main] {
        QTimer::singleShot(0, &main, [&dm, &main] {
            reminders::ShowRemindersOfDay(dm, QDate::currentDate(), main.isVisible(), &main);
        });
    };
    main.ApplyUserLevel();
}

} // namespace app
