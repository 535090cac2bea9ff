#include "app/LoginUnit.h"
#include "app/MainUnit.h"
#include "app/OrvaneApplication.h"
#include "app/ServerPathUnit.h"
#include "app/StartFailure.h"
#include "app/StartUp.h"
#include "app/StatusUnit.h"
#include "data/DataDirectory.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Query.h"
#include "db/ServerUnavailable.h"
#include "patients/PatientUnit.h"
#include "platform/Directories.h"
#include "platform/ExceptionLog.h"
#include "platform/IniFile.h"
#include "platform/Session.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"
#include "support/ReadOnlyDirectory.h"
#include "widgets/Language.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <iostream>

#include <unistd.h>

using platform::MultiUserType;
using platform::Settings;

Q_DECLARE_METATYPE(app::StartFailure)

namespace {

constexpr const char* kInstanceSwitch = "--start-instance";

// Run as a child: the whole start with the given settings directory; the login reports and
// waits until stdin closes, then gives up, so the guard is held meanwhile.
int runInstance(int argc, char* argv[])
{
    app::OrvaneApplication application(argc, argv);
    platform::setConfigDirOverride(QString::fromLocal8Bit(argv[2]));
    class Printer final : public platform::MessageService {
    public:
        Answer show(Kind, const QString&, const QString& text) override
        {
            std::cout << "message: " << text.toStdString() << std::endl;
            return Answer::Ok;
        }
    };
    platform::MessageService::install(std::make_unique<Printer>());
    app::StartUp startUp(application);
    startUp.login = [] {
        std::cout << "running" << std::endl;
        std::string line;
        std::getline(std::cin, line);
        return false;
    };
    return startUp.run();
}

} // namespace

class TestStartUp : public QObject {
    Q_OBJECT

    QTemporaryDir m_programDir; // no language file: the texts stay English
    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<QTemporaryDir> m_root;

    QString dataDir() const { return m_root->filePath(QStringLiteral("Orvane/Data")); }

    // A start that logs in at once and stops instead of running the message loop.
    struct Run {
        app::StartUp startUp;
        bool shown = false;
        explicit Run(app::OrvaneApplication& application)
            : startUp(application)
        {
            startUp.login = [] {
                platform::session().level = 255;
                return true;
            };
            startUp.runLoop = [this](app::TMainForm& main) {
                shown = main.isVisible();
                return 0;
            };
        }
    };

    static app::OrvaneApplication& application() { return *static_cast<app::OrvaneApplication*>(qApp); }

private Q_SLOTS:
    void initTestCase() { qputenv("ORVANE_PROGRAM_DIR", m_programDir.path().toUtf8()); }

    void init()
    {
        m_config = std::make_unique<QTemporaryDir>();
        m_root = std::make_unique<QTemporaryDir>();
        platform::setConfigDirOverride(m_config->path());
        platform::session() = platform::Session();
        data::DataDirectory(dataDir()).create();
    }

    void cleanup() { platform::setConfigDirOverride({}); }

    void secondStartWarnsAndEndsWhileTheFirstRuns()
    {
        QProcess first;
        first.start(QCoreApplication::applicationFilePath(), { QString::fromLatin1(kInstanceSwitch), m_config->path() });
        QVERIFY(first.waitForStarted());
        QVERIFY(first.waitForReadyRead(20000));
        QCOMPARE(first.readAll().trimmed(), QByteArray("running"));

        QProcess second;
        second.start(QCoreApplication::applicationFilePath(), { QString::fromLatin1(kInstanceSwitch), m_config->path() });
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(second.readAllStandardOutput()).trimmed(),
            QStringLiteral("message: ") + QString::fromUtf8(app::StartUp::kAlreadyRunning));
        QCOMPARE(first.state(), QProcess::Running);

        first.closeWriteChannel();
        QVERIFY(first.waitForFinished(20000));
    }

    void cancelledDataPathDialogEndsBeforeTheMainWindow()
    {
        testsupport::MessageRecorder messages;
        Run run(application());
        bool dialogSeen = false;
        QTimer watch; // the start lets events run before the dialog comes: wait for it
        watch.setInterval(20);
        connect(&watch, &QTimer::timeout, this, [&] {
            if (auto* dialog = qobject_cast<app::TServerPathForm*>(QApplication::activeModalWidget())) {
                dialogSeen = true;
                watch.stop();
                QTest::mouseClick(dialog->CancelBtn, Qt::LeftButton);
            }
        });
        watch.start();
        QCOMPARE(run.startUp.run(), 1); // no data directory stored: the dialog asks
        QVERIFY(dialogSeen);
        QVERIFY(!run.startUp.mainWindowShown());
        QVERIFY(!run.shown);
        QVERIFY(messages.shown().isEmpty());
    }

    void unreachableTablesEndTheStart_data()
    {
        testsupport::addRows<MultiUserType, QString>({ "type", "message" },
            {
                { "client", MultiUserType::Client, "Could not access Server Database!\nERROR: Appointments" },
                { "stand-alone", MultiUserType::StandAlone,
                    "Corrupt Data! Please try to run orvane --repair-data." },
                { "server", MultiUserType::Server, "Corrupt Data! Please try to run orvane --repair-data." },
            });
    }

    void unreachableTablesEndTheStart()
    {
        QFETCH(MultiUserType, type);
        QFETCH(QString, message);
        {
            db::ConnectionProfile profile;
            profile.dataDirectory = dataDir();
            auto connection = db::Connection::open(profile);
            db::Query::run(*connection, QStringLiteral("DROP TABLE Appointments"));
        }
        Settings settings(platform::Edition::Dental);
        settings.setMultiUserType(type);
        settings.setAliasPath(dataDir());
        testsupport::MessageRecorder messages;
        Run run(application());
        // the data directory of a client lies on the server
        const platform::DriveType drive = type == MultiUserType::Client ? platform::DriveType::Network : platform::DriveType::Local;
        run.startUp.driveType = [drive](const QString&) { return drive; };
        QCOMPARE(run.startUp.run(), 1);
        QCOMPARE(messages.texts(), QStringList { message });
        QVERIFY(!run.startUp.mainWindowShown());
    }

    // Each way the data can be out of reach gets its own words, and the exceptions log the
    // engine's own account of it.
    void startFailureSaysWhatIsWrong_data()
    {
        const QString missing = QStringLiteral("There is no practice database in the folder %1.\n"
                                               "Check that this is the right folder and that the disk or "
                                               "network drive holding it is connected.");
        const QString locked
            = QStringLiteral("The practice database is locked by another program.\n"
                             "Close that program, or wait until it has finished, and start again.");
        const QString denied
            = QStringLiteral("You have no permission to open the practice database in the folder %1.\n"
                             "Ask whoever looks after this computer to give you access to that folder.");
        // message: %1: the data directory
        testsupport::addRows<QString, MultiUserType, QString, QString>(
            { "fault", "type", "message", "logged" },
            {
                { "no folder", "no folder", MultiUserType::StandAlone, missing, "There is no database in" },
                { "empty folder", "empty folder", MultiUserType::StandAlone, missing,
                    "There is no database in" },
                { "damaged file", "damaged", MultiUserType::StandAlone,
                    "Corrupt Data! Please try to run orvane --repair-data.", "file is not a database" },
                { "locked file", "locked", MultiUserType::StandAlone, locked, "database is locked" },
                { "locked file, client", "locked", MultiUserType::Client,
                    QStringLiteral("Could not access Server Database!\nERROR: PallavorDB\n\n") + locked,
                    "database is locked" },
                { "unreadable folder", "unreadable", MultiUserType::Server, denied, "Opening PallavorDB in" },
                { "no record numbers", "no generators", MultiUserType::StandAlone,
                    "The file of the record numbers (PallavorGen.sqlite) is missing from the folder %1.\n"
                    "New records cannot be numbered without it. Run \"orvane --repair-data %1\" to rebuild "
                    "it "
                    "from the records.",
                    "The identifier store" },
                { "bad rate", "bad rate", MultiUserType::StandAlone,
                    "The setting Currency in section [EURO] of PV_INI has the value \"inf\", which cannot be "
                    "used.\n"
                    "Correct it or remove the line, then start again.",
                    "Currency" },
            });
    }

    void startFailureSaysWhatIsWrong()
    {
        QFETCH(QString, fault);
        QFETCH(MultiUserType, type);
        QFETCH(QString, message);
        QFETCH(QString, logged);
        if (fault == QLatin1String("unreadable") && ::geteuid() == 0)
            QSKIP("root reads every folder");

        QString dataDirectory = dataDir();
        QSqlDatabase locker; // another program holding the database
        const QString lockerName = QStringLiteral("locker");
        if (fault == QLatin1String("no folder")) {
            dataDirectory = m_root->filePath(QStringLiteral("Elsewhere/Data"));
        } else if (fault == QLatin1String("empty folder")) {
            dataDirectory = m_root->filePath(QStringLiteral("Empty"));
            QVERIFY(QDir().mkpath(dataDirectory));
        } else if (fault == QLatin1String("damaged")) {
            QFile file(QDir(dataDirectory).filePath(QString::fromLatin1(db::Connection::kSqliteFileName)));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QByteArray("This is a letter to the dentist, not a database.\n").repeated(100));
        } else if (fault == QLatin1String("locked")) {
            locker = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), lockerName);
            locker.setDatabaseName(QDir(dataDirectory).filePath(QString::fromLatin1(db::Connection::kSqliteFileName)));
            QVERIFY(locker.open());
            QSqlQuery hold(locker);
            for (const char* sql : { "PRAGMA locking_mode=EXCLUSIVE", "BEGIN EXCLUSIVE", "SELECT COUNT(*) FROM sqlite_master" })
                QVERIFY2(hold.exec(QString::fromLatin1(sql)), sql);
        } else if (fault == QLatin1String("no generators")) {
            QVERIFY(QFile::remove(QDir(dataDirectory).filePath(QString::fromLatin1(db::Connection::kSqliteGeneratorFileName))));
        } else if (fault == QLatin1String("bad rate")) {
            platform::IniFile pv(Settings(platform::Edition::Dental).mainFilePath());
            pv.writeString(QStringLiteral("EURO"), QStringLiteral("Currency"), QStringLiteral("inf"));
            pv.save();
        } else if (fault == QLatin1String("unreadable")) {
            QVERIFY(QFile::setPermissions(dataDirectory, QFileDevice::Permissions {}));
        }
        const auto restore = qScopeGuard([&] {
            QFile::setPermissions(dataDirectory, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            if (locker.isValid()) {
                locker.close();
                locker = QSqlDatabase();
                QSqlDatabase::removeDatabase(lockerName);
            }
        });

        Settings settings(platform::Edition::Dental);
        settings.setMultiUserType(type);
        settings.setAliasPath(dataDirectory);
        const QString log = QDir(m_programDir.path()).filePath(QString::fromLatin1(platform::exceptionLog::kFileName));
        QFile::remove(log);
        testsupport::MessageRecorder messages;
        Run run(application());
        const platform::DriveType drive = type == MultiUserType::Client ? platform::DriveType::Network : platform::DriveType::Local;
        run.startUp.driveType = [drive](const QString&) { return drive; };
        run.startUp.openDataModule = [](const db::ConnectionProfile& bound, app::TMainForm& main, const std::function<void(int)>& report) {
            db::ConnectionProfile profile = bound;
            profile.busyTimeoutMs = 200; // the lock is not let go: no need to wait long for it
            return app::openDataModuleOn(profile, main, report);
        };
        QCOMPARE(run.startUp.run(), 1);
        QVERIFY(!run.startUp.mainWindowShown());
        const QString expected = QString(message).replace(QStringLiteral("PV_INI"), settings.mainFilePath()).arg(QDir::cleanPath(dataDirectory));
        QCOMPARE(messages.texts(), QStringList { expected });

        QFile file(log);
        QVERIFY2(file.open(QIODevice::ReadOnly), "nothing was logged");
        const QString written = QString::fromUtf8(file.readAll());
        QVERIFY2(written.contains(logged), qPrintable(written));
        QVERIFY2(written.contains(QDir::cleanPath(dataDirectory)), qPrintable(written));
    }

    // On a server practice there is no folder to blame: a refusal or any other failure, nested
    // however deep, is the server's, in its words; a table that does not match is still a matter
    // for the repair.
    void serverFailuresAreTheServers_data()
    {
        testsupport::addRows<QString, QString, app::StartFailure>({ "engine", "cause", "failure" },
            {
                { "server down, on a server", "postgresql", "unavailable", app::StartFailure::ServerRefused },
                { "a user without rights, on a server", "postgresql", "denied",
                    app::StartFailure::ServerRefused },
                { "a table that does not match, on a server", "postgresql", "schema",
                    app::StartFailure::Damaged },
                { "no practice there, on a server", "postgresql", "other", app::StartFailure::ServerRefused },
                { "denied, in a folder", "sqlite", "denied", app::StartFailure::NoPermission },
            });
    }

    void serverFailuresAreTheServers()
    {
        QFETCH(QString, engine);
        QFETCH(QString, cause);
        QFETCH(app::StartFailure, failure);
        const QString address = QStringLiteral("postgresql://dentist@db.example:5433/practice");
        const db::ConnectionProfile profile = engine == QLatin1String("sqlite")
            ? db::ConnectionProfile::fromLocation(dataDir())
            : db::ConnectionProfile::fromLocation(address);
        const QString words = cause == QLatin1String("denied")
            ? QStringLiteral("permission denied for table Patient")
            : cause == QLatin1String("other")
            ? QStringLiteral(
                "The database %1 holds no practice: run orvane --init-data %1 to make one there.")
                  .arg(address)
            : QStringLiteral("password authentication failed for user \"dentist\"");
        try {
            try {
                if (cause == QLatin1String("unavailable"))
                    throw db::ServerUnavailable(
                        QStringLiteral("Cannot reach the database ") + address, words);
                if (cause == QLatin1String("denied"))
                    throw db::AccessDenied(QStringLiteral("Cannot open the database"), words);
                if (cause == QLatin1String("other"))
                    throw db::DatabaseError(words);
                throw db::SchemaError({ QStringLiteral("Patient: the column LastName is missing") });
            } catch (const db::DatabaseError& e) {
                std::throw_with_nested(data::DmOpenError(QStringLiteral("PallavorDB"), e.message()));
            }
        } catch (const std::exception& e) {
            QCOMPARE(app::classifyStartFailure(profile, e), failure);
            if (failure != app::StartFailure::ServerRefused)
                return;
            const widgets::TLanguage lang(nullptr);
            const QString shown = app::startFailureMessage(
                failure, MultiUserType::Client, QStringLiteral("PallavorDB"), profile.location(), lang, &e);
            const QString told = cause == QLatin1String("other")
                ? QStringLiteral("The database server at %1 could not carry this out:\n%2")
                : cause == QLatin1String("denied")
                ? QStringLiteral(
                    "The database server at %1 does not allow its user this:\n%2\n"
                    "Ask whoever looks after the server to give that user its rights on the practice's "
                    "tables.")
                : QStringLiteral(
                    "The database server at %1 cannot be reached, or it refuses this workstation:\n%2\n"
                    "Check that the server is running and can be reached from this computer, and the "
                    "user name and password it expects.");
            QCOMPARE(shown,
                QStringLiteral("Could not access Server Database!\nERROR: PallavorDB\n\n")
                    + told.arg(address, words));
        }
    }

    // The whole start on an address where nothing answers: the server's words, logged as well.
    void unreachableServerIsNamedAndLogged()
    {
        const QString address = QStringLiteral("postgresql://orvane@127.0.0.1:1/practice");
        Settings settings(platform::Edition::Dental);
        settings.setMultiUserType(MultiUserType::Server);
        settings.setAliasPath(address);
        const QString log
            = QDir(m_programDir.path()).filePath(QString::fromLatin1(platform::exceptionLog::kFileName));
        QFile::remove(log);
        testsupport::MessageRecorder messages;
        Run run(application());
        QCOMPARE(run.startUp.run(), 1);
        QVERIFY(!run.startUp.mainWindowShown());
        QCOMPARE(messages.texts().size(), 1);
        const QString shown = messages.texts().constFirst();
        QVERIFY2(shown.startsWith(QStringLiteral("The database server at %1 cannot be reached").arg(address)),
            qPrintable(shown));
        QVERIFY2(shown.contains(QStringLiteral("127.0.0.1\", port 1")),
            qPrintable(shown)); // the engine's own words
        QVERIFY2(!shown.contains(QStringLiteral("Corrupt")), qPrintable(shown));
        QFile file(log);
        QVERIFY2(file.open(QIODevice::ReadOnly), "nothing was logged");
        const QString written = QString::fromUtf8(file.readAll());
        QVERIFY2(written.contains(QStringLiteral("Opening PallavorDB in ") + address), qPrintable(written));
    }

    // A practice on a read-only share or disk: the start opens it for reading, says that nothing
    // can be saved, and the end (the data module's last write of its log) ends quietly.
    void readOnlyDataStartsWithANotice()
    {
        Settings(platform::Edition::Dental).setAliasPath(dataDir());
        {
            testsupport::ReadOnlyDirectory closed(dataDir());
            if (!closed.isReadOnly())
                QSKIP("this machine cannot close a directory to writing");
            testsupport::MessageRecorder messages;
            {
                Run run(application());
                QCOMPARE(run.startUp.run(), 0);
                QVERIFY(run.shown);
            } // the data module closes here
            // (this program folder has no symbol library, which the first show reports too)
            QCOMPARE(messages.texts().filter(QStringLiteral("can only be read")).size(), 1);
            QCOMPARE(messages.texts().filter(QStringLiteral("nothing you change can be saved")).size(), 1);
        }
    }

    // Another workstation holding the record numbers: the progress window says why the start
    // waits, the wait is bounded, and the start goes on with a word that new records must wait.
    void heldRecordNumbersAreWaitedForOnce()
    {
        Settings(platform::Edition::Dental).setAliasPath(dataDir());
        const QString holderName = QStringLiteral("record-numbers");
        {
            QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), holderName);
            holder.setDatabaseName(QDir(dataDir()).filePath(QString::fromLatin1(db::Connection::kSqliteGeneratorFileName)));
            QVERIFY(holder.open());
            QSqlQuery hold(holder);
            QVERIFY(hold.exec(QStringLiteral("BEGIN IMMEDIATE")));
            testsupport::MessageRecorder messages;
            QString shownWhileWaiting;
            {
                Run run(application());
                run.startUp.openDataModule = [&](const db::ConnectionProfile& bound, app::TMainForm& main, const std::function<void(int)>& report) {
                    for (QWidget* window : QApplication::topLevelWidgets()) {
                        if (auto* status = qobject_cast<app::TStatusFrm*>(window))
                            shownWhileWaiting = status->StatusLabel->text();
                    }
                    db::ConnectionProfile profile = bound;
                    profile.busyTimeoutMs = 300;
                    return app::openDataModuleOn(profile, main, report);
                };
                QElapsedTimer clock;
                clock.start();
                QCOMPARE(run.startUp.run(), 0);
                QVERIFY(clock.elapsed() < 5000);
                QVERIFY(run.shown);
            }
            QVERIFY2(shownWhileWaiting.startsWith(QStringLiteral("Waiting for the file of the record numbers")), qPrintable(shownWhileWaiting));
            QCOMPARE(messages.texts().filter(QStringLiteral("(PallavorGen.sqlite) is locked by another program or workstation")).size(), 1);
            hold.exec(QStringLiteral("ROLLBACK"));
            holder.close();
        }
        QSqlDatabase::removeDatabase(holderName);
    }

    // A settings folder closed to writing is said to be so, not taken for another instance.
    void unwritableSettingsFolderIsNamed()
    {
        testsupport::ReadOnlyDirectory closed(m_config->path());
        if (!closed.isReadOnly())
            QSKIP("this machine cannot close a directory to writing");
        testsupport::MessageRecorder messages;
        Run run(application());
        QCOMPARE(run.startUp.run(), 1);
        QCOMPARE(messages.texts(),
            QStringList { QStringLiteral("The settings folder %1 cannot be written.\n"
                                         "Ask whoever looks after this computer to give you access to that folder.")
                              .arg(m_config->path()) });
    }

    void normalStartOpensTheDataUnderProgress()
    {
        Settings settings(platform::Edition::Dental);
        settings.setAliasPath(dataDir());
        testsupport::MessageRecorder messages;
        Run run(application());
        QList<int> progress;
        QString opened;
        run.startUp.openDataModule = [&](const db::ConnectionProfile& profile, app::TMainForm& main, const std::function<void(int)>& report) {
            opened = profile.dataDirectory;
            return app::openDataModuleOn(profile, main, [&](int percent) {
                progress.append(percent);
                report(percent);
            });
        };
        QCOMPARE(run.startUp.run(), 0);
        QVERIFY(run.shown);
        QCOMPARE(opened, QDir::cleanPath(dataDir()));
        QCOMPARE(progress.first(), 0);
        QCOMPARE(progress.last(), 100);
        QVERIFY(std::is_sorted(progress.begin(), progress.end()));
        const platform::Session& session = platform::session();
        QCOMPARE(session.dataRoot, QDir::cleanPath(m_root->filePath(QStringLiteral("Orvane"))));
        QVERIFY(QFileInfo(QDir(session.dataRoot).filePath(QStringLiteral("xrays"))).isDir());
        QVERIFY(QFileInfo(dataDir() + QStringLiteral("/NET")).isDir());
        QCOMPARE(settings.lastAccess(), QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
        QCOMPARE(run.startUp.mainWindow()->windowTitle(), QStringLiteral("Quarn - Orvane"));
    }

    // The second password logs the same user in with the same role and commands, its amounts
    // the receipted ones; the audit trail, which shows every amount, is closed to it (its
    // command off, and the window not made when asked for by name).
    void receiptsOnlyClosesTheAuditTrail_data()
    {
        testsupport::addRows<QString, bool>({ "password", "full" },
            {
                { "first password", "first", true },
                { "second password", "receipts", false },
            });
    }
    void receiptsOnlyClosesTheAuditTrail()
    {
        QFETCH(QString, password);
        QFETCH(bool, full);
        Settings settings(platform::Edition::Dental);
        settings.setAliasPath(dataDir());
        Settings(settings).setUser(
            QStringLiteral("anna"), 0, QStringLiteral("first"), QStringLiteral("receipts"));
        testsupport::MessageRecorder messages;
        app::StartUp startUp(application());
        startUp.login = [&password] {
            app::TLoginForm login;
            login.show();
            login.UsernameEdt->setText(QStringLiteral("anna"));
            login.PasswordEdit->setText(password);
            QTest::mouseClick(login.OKBtn, Qt::LeftButton);
            return login.result() == QDialog::Accepted;
        };
        bool audit = false, auditCommand = false, operations = false, balance = false;
        startUp.runLoop = [&](app::TMainForm& main) {
            const auto enabled = [&main](const char* name) {
                const auto* action = main.findChild<QAction*>(QString::fromLatin1(name));
                return action && action->isEnabled();
            };
            auditCommand = enabled("AuditTrailMenu");
            operations = enabled("DentalOperationsMenu");
            audit = main.openWindow(QStringLiteral("AuditTrailForm")) != nullptr;
            if (auto* patient
                = qobject_cast<patients::TPatientForm*>(main.openWindow(QStringLiteral("PatientForm"))))
                balance = patient->BalanceLabel->isVisibleTo(patient);
            return 0;
        };
        QCOMPARE(startUp.run(), 0);
        QCOMPARE(platform::session().receiptsOnly, !full);
        QCOMPARE(auditCommand, full);
        QCOMPARE(audit, full);
        QVERIFY(operations); // the user's role is full either way
        QVERIFY(balance);
        QCOMPARE(platform::session().role, platform::UserRole::Full);
    }

    void exceptionReachingTheEventLoopIsLoggedAndNotShown_data()
    {
        // edition: empty: before the main window exists
        testsupport::addRows<QString, QString>({ "edition", "pattern" },
            {
                { "before the main window", QString(), R"(^Exception .+ ==> boom\r$)" },
                { "main window", "Orvane", R"(^Orvane: \d\d \S+ \d{4} - \d\d:\d\d:\d\d:\d{3}  \[boom\]\n$)" },
            });
    }

    void exceptionReachingTheEventLoopIsLoggedAndNotShown()
    {
        QFETCH(QString, edition);
        QFETCH(QString, pattern);
        const QString log = QDir(m_programDir.path()).filePath(QString::fromLatin1(platform::exceptionLog::kFileName));
        QFile::remove(log);
        testsupport::MessageRecorder messages;
        platform::exceptionLog::useMainWindowFormat(edition);
        application().installExceptionHandler();
        QTimer::singleShot(0, this, [] { throw std::runtime_error("boom"); });
        QTest::qWait(50);
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString written = QString::fromUtf8(file.readAll());
        QVERIFY2(QRegularExpression(pattern).match(written).hasMatch(), qPrintable(written));
        QVERIFY(messages.shown().isEmpty());
        platform::exceptionLog::useMainWindowFormat({});
    }
};

int main(int argc, char* argv[])
{
    if (argc >= 3 && std::strcmp(argv[1], kInstanceSwitch) == 0)
        return runInstance(argc, argv);
    app::OrvaneApplication application(argc, argv);
    TestStartUp test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
