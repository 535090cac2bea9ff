#include "app/StartUp.h"
#include "patients/QuickPatientSearch.h"
#include "widgets/MessageBoxes.h"
#include <QMenuBar>

#include "app/DataModuleBinding.h"
#include "app/ExitBackup.h"
#include "app/FrameWindows.h"

#include "app/LoginUnit.h"
#include "app/MainUnit.h"
#include "app/OrvaneApplication.h"
#include "app/SplashUnit.h"
#include "app/StartFailure.h"
#include "app/StatusUnit.h"
#include "data/Backup.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Errors.h"
#include "patients/PatientSearch.h"
#include "patients/SearchDlgUnit.h"
#include "patients/SearchPatUnit.h"
#include "platform/Directories.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"
#include "platform/MessageTexts.h"
#include "platform/Session.h"
#include "platform/SingleInstance.h"
#include "widgets/Language.h"
#include "widgets/ProgramLocale.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>

namespace app {

using platform::MultiUserType;

namespace {

// Messages of the start before any window (and its translation) exists.
const platform::MessageTexts& startMessages()
{
    return platform::MessageTexts::program();
}

// Whether another program or workstation holds the record numbers at this moment. A file that
// is missing or cannot be opened is named by the open that follows.
bool recordNumbersHeld(const db::ConnectionProfile& profile)
{
    if (profile.driver != db::ConnectionProfile::Driver::SQLite
        || !QFile::exists(QDir(profile.dataDirectory).filePath(QString::fromLatin1(db::Connection::kSqliteGeneratorFileName))))
        return false;
    try {
        const std::unique_ptr<db::Connection> store = db::Connection::openGeneratorStore(profile);
        if (store->isReadOnly())
            return false;
        store->setLockWait(0);
        if (!store->tryBegin())
            return true;
        store->rollback();
    } catch (const db::DatabaseError& e) {
        platform::exceptionLog::logException(e, QStringLiteral("Looking at the record numbers"));
    }
    return false;
}

} // namespace

StartUp::StartUp(OrvaneApplication& application)
    : m_application(application)
{
}

StartUp::~StartUp()
{
    // The data module goes after the main window, which may still point at its views.
    m_main.reset();
    m_dataModule.reset();
}

int StartUp::run()
{
    platform::SingleInstanceGuard guard;
    if (!guard.acquire()) {
        if (guard.cannotWrite()) {
            const QString folder = QDir::toNativeSeparators(QFileInfo(guard.lockFilePath()).absolutePath());
            platform::exceptionLog::logException(QStringLiteral("Cannot create the lock file %1").arg(guard.lockFilePath()));
            platform::showError(startMessages().Message(QStringLiteral("The settings folder %1 cannot be written.")).arg(folder)
                + u'\n' + startMessages().Message(QStringLiteral("Ask whoever looks after this computer to give you access to that folder.")));
        } else {
            platform::showWarning(QString::fromUtf8(kAlreadyRunning));
        }
        return 1;
    }
    QDir::setCurrent(platform::programDir());
    widgets::useProgramLocale();

    std::optional<platform::Edition> edition;
    try {
        edition = platform::Settings::readEdition();
    } catch (const platform::SettingsError& e) {
        platform::exceptionLog::logException(e, QStringLiteral("Reading the edition"));
    }
    if (!edition)
        return 1; // an edition we do not know: nothing sensible can start
    platform::Session& session = platform::session();
    session.edition = *edition;

    const bool loggedIn = login ? login() : TLoginForm(platform::Settings(*edition)).exec() == QDialog::Accepted;
    if (!loggedIn)
        return 1;
    m_application.installExceptionHandler();

    widgets::setMessageCaption(QStringLiteral("Quarn"));
    m_splash = std::make_unique<TSplashForm>(*edition);
    m_splash->show();
    m_splash->repaint();
    QCoreApplication::processEvents();

    if (!createMainWindow(*edition))
        return 1;
    QCoreApplication::processEvents();
    if (!openData())
        return 1;

    m_splash.reset();
    m_main->setRefreshAllowed(true);
    m_main->showAtStart();
    m_mainShown = true;
    const int code = runLoop ? runLoop(*m_main) : QApplication::exec();
    if (!runLoop) // a driven run (state report, tests) is no working day to keep
        runExitBackup(m_binding.profile.location());
    startBackup();
    return code;
}

bool StartUp::createMainWindow(platform::Edition edition)
{
    platform::Session& session = platform::session();
    platform::exceptionLog::useMainWindowFormat(session.editionName());
    m_main = std::make_unique<TMainForm>(edition);
    platform::Settings settings(edition);
    try {
        try {
            settings.recordStart();
        } catch (const platform::SettingsError& e) {
            // A settings file closed to writing: the date of the last start is only a record.
            platform::exceptionLog::logException(e, QStringLiteral("Recording the start"));
        }
        session.multiUserType = settings.multiUserType();
        const bool external = settings.lumetrixLink() == 0;

        MultiUserBinding binding(settings);
        binding.dataOverride = dataOverride;
        binding.chooser = chooser;
        if (driveType)
            binding.driveType = driveType;
        m_binding = binding.bind();
        if (m_binding.outcome == MultiUserBinding::Outcome::Cancelled)
            return false;
        if (m_binding.outcome == MultiUserBinding::Outcome::NetworkDriveMissing) {
            platform::showError(MultiUserBinding::networkDriveMessage(m_binding.missingDrive));
            return false;
        }
        session.multiUserType = m_binding.type;
        session.dataDirectory = m_binding.profile.dataDirectory;
        // Never the old data with the new images: a restore stopped half-way is finished first.
        if (!session.dataDirectory.isEmpty())
            data::finishStoppedRestore(session.dataDirectory);
        session.dataRoot = m_binding.dataRoot;
        session.externalImaging = external;
        session.xRaysRoot = session.dataRoot;
        if (external) {
            const QString command = settings.visPathName();
            session.imagingCommand = command.isEmpty() ? platform::programDir() : command;
            session.xRaysRoot = settings.xRaysPath(session.dataRoot);
        }
        QDir().mkpath(QDir(session.dataRoot).filePath(QStringLiteral("xrays")));
        if (session.xRaysRoot != session.dataRoot)
            QDir().mkpath(QDir(session.xRaysRoot).filePath(QStringLiteral("xrays")));
    } catch (const std::exception& e) {
        platform::exceptionLog::logException(e, QStringLiteral("Binding the data directory"));
        platform::showError(QString::fromUtf8(kBindingFailed));
        return false;
    }
    widgets::setMessageCaption(QStringLiteral("Quarn - ") + session.editionName());
    return true;
}

namespace {

// The search dialog and the simple patient search are made at start and live with the main
// window; the main window's search commands run them.
void lendSearches(data::TDmForm& dm, TMainForm& mainWindow)
{
    auto* dialog = new patients::TSearchDlg(&mainWindow);
    patients::TSearchDlg::setShared(dialog);
    auto* searches = new patients::PatientSearch(dm, *dialog, dialog);
    mainWindow.Hooks.searchPatient = [searches] { return searches->searchPatient(); };
    mainWindow.Hooks.searchImage = [searches] { return searches->searchImage(); };
    auto* simple = new patients::TSearchPatForm(*dm.patients().PatientsTable, &mainWindow);
    simple->warnIfInactive = [&mainWindow] { mainWindow.WarnIfPatientInactive(); };
    // The search box at the right of the menu bar, as in most desktop programs.
    auto* box = new patients::QuickPatientSearch(dm, &mainWindow);
    mainWindow.menuBar()->setCornerWidget(box, Qt::TopRightCorner);
    QObject::connect(box, &patients::QuickPatientSearch::patientChosen, &mainWindow, [&mainWindow] {
        mainWindow.WarnIfPatientInactive();
        mainWindow.openWindow(QStringLiteral("PatientForm"));
    });
    mainWindow.ApplyUserLevel();
}

} // namespace

std::unique_ptr<QObject> openDataModuleOn(
    const db::ConnectionProfile& profile, TMainForm& mainWindow, const std::function<void(int)>& progress)
{
    std::unique_ptr<data::TDmForm> dm = data::TDmForm::connect(profile);
    dm->openAtStart(platform::session().settings(), progress);
    dm->watchOtherWorkstations();
    bindMainWindow(mainWindow, *dm);
    lendWindows(*dm, mainWindow);
    lendSearches(*dm, mainWindow);
    return dm;
}

bool StartUp::openData()
{
    TStatusFrm status;
    status.show();
    const QString working = status.StatusLabel->text();
    if (recordNumbersHeld(m_binding.profile)) {
        // The start waits for them once, at most the profile's lock wait: say so meanwhile.
        status.StatusLabel->setText(m_main->Lang->Message(QStringLiteral("Waiting for the file of the record numbers, which another "
                                                                         "program or workstation holds...")));
        status.repaint();
    }
    const auto progress = [&status, working](int percent) {
        status.StatusLabel->setText(working);
        status.setProgress(percent);
    };
    try {
        m_dataModule = openDataModule ? openDataModule(m_binding.profile, *m_main, progress)
                                      : openDataModuleOn(m_binding.profile, *m_main, progress);
    } catch (const std::exception& e) {
        status.close();
        m_dataModule.reset();
        const platform::Session& session = platform::session();
        const db::ConnectionProfile& profile = m_binding.profile;
        platform::exceptionLog::logException(
            e, QStringLiteral("Opening %1 in %2").arg(session.openingTable, profile.location()));
        const StartFailure failure = classifyStartFailure(profile, e);
        platform::showError(startFailureMessage(
            failure, session.multiUserType, session.openingTable, profile.location(), *m_main->Lang, &e));
        return false;
    }
    if (const auto* dm = qobject_cast<const data::TDmForm*>(m_dataModule.get()); dm && !dm->startNotices().isEmpty()) {
        status.close();
        platform::showWarning(dm->startNotices().join(QStringLiteral("\n\n")));
    }
    return true;
}

void StartUp::startBackup() const
{
    const QString backup = platform::programFile(QString::fromLatin1(kBackupProgram));
    if (QFile::exists(backup) && platform::session().settings().autoBackUp())
        QProcess::startDetached(backup, {});
}

} // namespace app
