// Runs one scenario of a practice's day in the real program: a demo practice (on SQLite, or on
// the test cluster when ORVANE_TEST_PGHOST is set), a display of its own, the program started
// as main() starts it, and a user working in it through the X server's input only. After the
// program has ended, the database is asked what it holds.
//
//     orvane-scenario NAME     exit 0 when the scenario held, 1 with its failures on stderr
//     orvane-scenario --workstation LOCATION SQL
//                              another workstation: runs one statement, prints a query's value

#include "Scenario.h"
#include "support/TestEngine.h"
#include "support/XvfbDisplay.h"

#include "app/OrvaneApplication.h"
#include "app/PasswordLib.h"
#include "app/StartUp.h"
#include "data/DataCommands.h"
#include "db/Connection.h"
#include "platform/Directories.h"
#include "platform/ExceptionLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

constexpr int kScreenWidth = 1400;
constexpr int kScreenHeight = 900;

// The program's own folder as seen by this run: the build's artwork and language file, and an
// exceptions log of this run alone.
QString programFolder(const QString& work, const QString& built)
{
    const QString folder = QDir(work).filePath(QStringLiteral("program"));
    QDir().mkpath(folder);
    const QFileInfoList files = QDir(built).entryInfoList(QDir::Files);
    for (const QFileInfo& file : files) {
        if (!file.isExecutable() && file.fileName() != QLatin1String(platform::exceptionLog::kFileName))
            QFile::link(file.absoluteFilePath(), QDir(folder).filePath(file.fileName()));
    }
    return folder;
}

// The demo practice and a workstation with the demo user; the practice's location.
QString makePractice(const QString& work)
{
    const QString data = QDir(work).filePath(QStringLiteral("Orvane/Data"));
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    if (data::runDataCommand(data::DataCommand::Demo, data, outStream, errStream) != 0)
        qFatal("demo practice: %s", qPrintable(err));
    const QString config = QDir(work).filePath(QStringLiteral("config"));
    platform::setConfigDirOverride(config);
    const QString refused = app::addUser({ QStringLiteral("demo"), 0, QStringLiteral("demo"), QStringLiteral("receipts") });
    if (!refused.isEmpty())
        qFatal("demo user: %s", qPrintable(refused));
    QFile ini(QDir(config).filePath(QStringLiteral("PV.INI")));
    if (!ini.open(QIODevice::Append))
        qFatal("PV.INI");
    // The first dentist is the workstation's; the reminders of the day wait for "All Reminders";
    // the demo keeps euros only.
    ini.write("\n[Orvane]\nDefaultDocIDEdit_Text=1\nShowAllRemindersAtStartUp=0\n[Advanced]\nProgNotesOn=y\n["
              "EURO]\nCurrency=1\n");
    ini.close();
    if (!testsupport::onPostgres())
        return data;
    testsupport::makePostgresDatabase(work);
    const QString database = testsupport::postgresDatabaseFor(work);
    const QString server = testsupport::postgresProfile(QStringLiteral("scenario"), database).location();
    if (data::runCopyCommand(data, server, outStream, errStream) != 0)
        qFatal("practice on the server: %s", qPrintable(err));
    return server;
}

} // namespace

// Another workstation of the practice, in a process of its own.
int otherWorkstation(const QString& location, const QString& sql)
{
    const std::unique_ptr<db::Connection> connection
        = db::Connection::open(db::ConnectionProfile::fromLocation(location, QStringLiteral("other")));
    QSqlQuery query(connection->database());
    if (!query.exec(sql)) {
        std::fprintf(stderr, "%s\n", qPrintable(query.lastError().text()));
        return 1;
    }
    if (query.next())
        std::printf("%s\n", qPrintable(query.value(0).toString()));
    return 0;
}

int main(int argc, char** argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--workstation") == 0) {
        QCoreApplication application(argc, argv);
        return otherWorkstation(QString::fromLocal8Bit(argv[2]), QString::fromUtf8(argv[3]));
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SCENARIO\n", argv[0]);
        return 2;
    }
    const QString name = QString::fromLocal8Bit(argv[1]);
    const scenarios::Scenario* scenario = nullptr;
    for (const scenarios::Scenario& s : scenarios::allScenarios()) {
        if (s.name == name)
            scenario = &s;
    }
    if (!scenario) {
        std::fprintf(stderr, "no scenario %s\n", argv[1]);
        return 2;
    }
    if (!testsupport::XvfbDisplay::available()) {
        std::fprintf(stderr, "needs Xvfb and xdotool (scripts/install-deps.sh installs them)\n");
        return 1;
    }
    testsupport::XvfbDisplay xvfb;
    const QString display = xvfb.start(kScreenWidth, kScreenHeight);
    if (display.isEmpty())
        qFatal("Xvfb did not start");
    qputenv("DISPLAY", display.toLocal8Bit());
    // A Greek keyboard beside the Latin one, as at a Greek practice.
    if (QProcess::execute(QStringLiteral("setxkbmap"), { QStringLiteral("-display"), display, QStringLiteral("-layout"), QStringLiteral("us,gr") }) != 0)
        qFatal("setxkbmap could not give the display a Greek keyboard");
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("WAYLAND_DISPLAY");

    QTemporaryDir work;
    work.setAutoRemove(qEnvironmentVariableIsEmpty("ORVANE_KEEP_SCENARIO"));
    const QString built = qEnvironmentVariable("ORVANE_PROGRAM_DIR", QFileInfo(QString::fromLocal8Bit(argv[0])).absolutePath());
    const QString program = programFolder(work.path(), built);
    qputenv("ORVANE_PROGRAM_DIR", program.toLocal8Bit());

    int code = 0;
    scenarios::Checks checks;
    QVariantMap notes;
    QString location;
    {
        app::OrvaneApplication application(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("orvane"));
        location = makePractice(work.path());
        notes[QStringLiteral("location")] = location;
        if (scenario->before) {
            const std::unique_ptr<db::Connection> connection = db::Connection::open(db::ConnectionProfile::fromLocation(location, QStringLiteral("before")));
            scenario->before(scenarios::Stored(*connection), notes);
        }
        app::StartUp startUp(application);
        startUp.dataOverride = location;

        std::atomic<bool> userDone = false;
        std::thread user([&] {
            const auto done = qScopeGuard([&userDone] { userDone = true; });
            scenarios::User u(checks, display, work.path());
            try {
                scenarios::login(u);
                scenario->drive(u, notes);
                scenarios::quitProgram(u);
            } catch (const scenarios::Stuck& stuck) {
                checks.fail(QString::fromStdString(stuck.what()));
                checks.fail(QStringLiteral("the screen then: ") + u.screenshot(QStringLiteral("stuck")));
                // The program is ended from outside; a second chance, then for good.
                QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(3); }, Qt::QueuedConnection);
                QThread::sleep(10);
                std::fprintf(stderr, "%s\n", qPrintable(checks.failures().join(u'\n')));
                std::_Exit(1);
            }
        });
        code = startUp.run();
        if (application.escapedErrors() > 0)
            checks.fail(QStringLiteral("%1 error(s) travelled through Qt to the application's handler (see %2)")
                            .arg(application.escapedErrors())
                            .arg(QDir(program).filePath(QLatin1String(platform::exceptionLog::kFileName))));
        // The user may still be looking at the screen while the program ends.
        while (!userDone) {
            QCoreApplication::processEvents();
            QThread::msleep(10);
        }
        user.join();
        if (code != 0)
            checks.fail(QStringLiteral("the program ended with %1").arg(code));
        const std::unique_ptr<db::Connection> connection = db::Connection::open(db::ConnectionProfile::fromLocation(location, QStringLiteral("check")));
        if (scenario->check)
            scenario->check(scenarios::Stored(*connection), notes, checks);
    }
    const QStringList failures = checks.failures();
    if (!failures.isEmpty()) {
        work.setAutoRemove(false);
        std::fprintf(stderr, "%s: %lld failure(s) (work folder %s)\n%s\n", argv[1], qlonglong(failures.size()), qPrintable(work.path()),
            qPrintable(failures.join(u'\n')));
        return 1;
    }
    std::printf("%s: held\n", argv[1]);
    return 0;
}
