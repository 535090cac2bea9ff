#include "app/ImageWindows.h"

#include "app/ImagingBridge.h"
#include "app/ImagingCommand.h"
#include "app/MainUnit.h"
#include "app/PallavorAutomation.h"
#include "app/VisionClient.h"
#include "app/WindowRegistry.h"
#include "clinical/DentalChartUnit.h"
#include "data/DmUnit.h"
#include "data/PatientsArea.h"
#include "db/Dataset.h"
#include "images/ImagesUnit.h"
#include "images/ImagingLink.h"
#include "images/SlideShowUnit.h"
#include "platform/ExceptionLog.h"
#include "platform/ImagingSettings.h"
#include "platform/MessageService.h"
#include "platform/Session.h"
#include "widgets/Language.h"

#include <QApplication>
#include <QDBusConnection>
#include <QMdiArea>
#include <QMdiSubWindow>

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

void lendImageWindows(data::TDmForm& dm, TMainForm& main)
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

    WindowRegistry::instance().add(QStringLiteral("ImagesForm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) { return new images::TImagesForm(dm, parent); });
    WindowRegistry::instance().add(QStringLiteral("SlideShowForm"), WindowRegistry::Kind::Modal,
        [&dm](QWidget* parent) { return new images::TSlideShowForm(dm, parent); });
}

} // namespace app
