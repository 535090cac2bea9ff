#include "app/ScreenshotTour.h"
#include "app/ImportTour.h"
#include "appointments/AppointmentTour.h"
#include "audit/AuditTour.h"
#include "clinical/ClinicalTour.h"
#include "finance/FinanceTour.h"
#include "images/ImagesTour.h"
#include "lists/ListsTour.h"
#include "patients/PatientTour.h"
#include "prescriptions/PrescriptionsTour.h"
#include "reminders/RemindersTour.h"
#include "supplies/SuppliesTour.h"
#include "widgets/TourPages.h"

#include "app/AboutUnit.h"
#include "app/DataModuleBinding.h"
#include "app/LoginUnit.h"
#include "app/MainUnit.h"
#include "app/ServerPathUnit.h"
#include "app/SplashUnit.h"
#include "app/StatusUnit.h"
#include "app/VisibleTexts.h"
#include "clinical/ClinicalWindows.h"
#include "data/DemoPractice.h"
#include "data/DmUnit.h"
#include "data/schema/Schema.h"
#include "db/DataSource.h"
#include "patients/PatientWindows.h"
#include "platform/Directories.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"
#include "platform/Session.h"
#include "platform/Settings.h"
#include "widgets/ProgramLocale.h"
#include "widgets/RecordWindow.h"

#include <QApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

namespace app {
namespace {

class StderrMessages final : public platform::MessageService {
public:
    Answer show(Kind, const QString& caption, const QString& text) override
    {
        QTextStream(stderr) << "message: " << (caption.isEmpty() ? QString() : caption + QStringLiteral(": ")) << text << '\n';
        return Answer::No; // a tour asks nothing and closes nothing
    }
};

class Camera final : public widgets::TourCamera {
public:
    Camera(QString outDir, bool scratch)
        : m_dir(std::move(outDir))
        , m_scratch(scratch)
    {
    }
    bool scratch() const override { return m_scratch; }
    void take(QWidget& window, const QString& name = {}) override
    {
        window.show();
        // Some windows fill themselves in the background (the directory tree): give them a moment.
        widgets::settleEvents(400);
        const QString picture = name.isEmpty() ? window.objectName() : name;
        const QString file = QDir(m_dir).filePath(picture + QStringLiteral(".png"));
        if (window.grab().save(file))
            written.append(file);
        recordVisibleTexts(window, m_dir, picture);
    }
    QStringList written;

private:
    QString m_dir;
    bool m_scratch;
};

// Every window folder's pages, each on the practice opened as the program opens it, inside a
// frame bound to it, with the first dentist as the default one.
void takeFolderPages(Camera& camera, const QString& dataDir)
{
    using Pages = widgets::TourPages<data::TDmForm>;
    Pages& pages = Pages::instance();
    // Once, however often the tour runs in one process.
    static const bool registered = [&pages] {
        patients::addPatientTourPages(pages);
        clinical::addClinicalTourPages(pages);
        appointments::addAppointmentTourPages(pages);
        finance::addFinanceTourPages(pages);
        supplies::addSuppliesTourPages(pages);
        reminders::addReminderTourPages(pages);
        lists::addListTourPages(pages);
        prescriptions::addPrescriptionTourPages(pages);
        images::addImageTourPages(pages);
        audit::addAuditTourPages(pages);
        return true;
    }();
    (void)registered;
    const platform::Session& session = platform::session();
    // ORVANE_TOUR_PAGES, a pattern of the pages' names, limits the tour to those pages (a test
    // that needs the chart's pictures only).
    const QRegularExpression only(qEnvironmentVariable("ORVANE_TOUR_PAGES"));
    for (const Pages::Page& page : pages.pages()) {
        if (!only.pattern().isEmpty() && !only.match(page.what).hasMatch())
            continue;
        // A page that cannot be shown (damaged artwork, say) is skipped with its reason.
        try {
            std::unique_ptr<data::TDmForm> dm
                = data::TDmForm::connect({ .name = QStringLiteral("tour"), .dataDirectory = dataDir });
            dm->openAtStart(session.settings());
            TMainForm main(session.edition);
            bindMainWindow(main, *dm);
            if (!dm->lists().DentistsTable->isEmpty())
                dm->setDefaultDentist(dm->lists().DentistsTable->value(u"DocID").toInt(), session.settings());
            page.show(*dm, camera);
            main.setActiveSrc(nullptr);
        } catch (const std::exception& e) {
            platform::exceptionLog::logException(e, QStringLiteral("Screenshot tour: %1").arg(page.what));
            QTextStream(stderr) << "skipped " << page.what << ": " << e.what() << '\n';
        }
    }
}

} // namespace

QStringList runScreenshotTour(const QString& outDir, const std::optional<QString>& dataDirectory)
{
    QDir().mkpath(outDir);
    widgets::useProgramLocale();
    QTemporaryDir scratch;
    // The workstation's rate, so that the practice's amounts show in its currencies; the demo
    // made here keeps euros only.
    double rate = 1.0;
    if (dataDirectory) {
        try {
            rate = platform::Settings().euroRate();
        } catch (const std::exception&) {
            rate = platform::Settings::kDefaultEuroRate; // the options window names a bad rate; a picture
                                                         // needs none
        }
    }
    platform::setConfigDirOverride(scratch.filePath(QStringLiteral("config")));
    platform::Settings().setEuroRate(rate);
    auto previous = platform::MessageService::install(std::make_unique<StderrMessages>());

    QString dataDir = dataDirectory.value_or(QString());
    if (dataDir.isEmpty()) {
        dataDir = scratch.filePath(QStringLiteral("Orvane/Data"));
        data::DemoPracticeOptions options;
        options.patients = 60;
        data::createDemoDirectory(dataDir, options);
    }
    platform::Session& session = platform::session();
    session.edition = platform::Edition::Dental;
    session.userName = QStringLiteral("demo");
    session.role = platform::UserRole::Full;
    session.level = 255;
    session.dataDirectory = dataDir;
    session.dataRoot = QFileInfo(QDir::cleanPath(dataDir)).absolutePath();
    Camera camera(outDir, !dataDirectory.has_value());

    {
        TSplashForm splash(session.edition);
        camera.take(splash);
    }
    {
        TLoginForm login;
        login.show();
        login.UsernameEdt->setText(QStringLiteral("demo"));
        login.PasswordEdit->setText(QStringLiteral("demo"));
        camera.take(login);
    }
    {
        TStatusFrm status;
        status.setProgress(60);
        camera.take(status);
    }
    {
        TServerPathForm dialog(platform::MultiUserType::StandAlone, dataDir);
        camera.take(dialog);
    }
    {
        TAboutBox about;
        camera.take(about);
    }
    {
        // The main window as a start leaves it: the data module open on the first patient.
        std::unique_ptr<data::TDmForm> dm = data::TDmForm::connect({.name = QStringLiteral("tour"), .dataDirectory = dataDir});
        dm->openAtStart(session.settings());
        TMainForm main(session.edition);
        bindMainWindow(main, *dm);
        // For this picture only: the entries go with this data module.
        clinical::registerClinicalWindows(*dm, main);
        patients::registerPatientWindows(*dm, main);
        main.ApplyUserLevel();
        dm->ActiveSrc->setDataset(dm->patients().PatientsTable);
        dm->ActiveSrc->setTag(widgets::tagOf(widgets::WindowCode::PatientFile));
        main.resize(1280, 800);
        camera.take(main);
        main.setActiveSrc(nullptr);
    }

    takeFolderPages(camera, dataDir);
    try {
        tourImportWindow([&camera](QWidget& window) { camera.take(window); });
    } catch (const std::exception& e) {
        platform::exceptionLog::logException(e, QStringLiteral("Screenshot tour: the import window"));
        QTextStream(stderr) << "skipped the import window: " << e.what() << '\n';
    }
    const QStringList written = camera.written;
    platform::MessageService::install(std::move(previous));
    platform::setConfigDirOverride({});
    return written;
}

} // namespace app
