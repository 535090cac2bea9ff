#include "app/AutomationSwitches.h"
#include "app/OrvaneApplication.h"
#include "app/ReportCommands.h"
#include "app/ScreenshotTour.h"
#include "app/StartUp.h"
#include "app/StateReport.h"
#include "app/UserCommand.h"
#include "data/DataCommands.h"
#include "db/Connection.h"
#include "finance/LedgerReport.h"
#include "import/ImportCommand.h"
#include "platform/Directories.h"
#include "platform/MessageService.h"
#include "platform/Settings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QTextStream>

#include <cstring>
#include <utility>

namespace {

struct Options {
    QCommandLineParser parser;
    std::pair<QCommandLineOption, data::DataCommand> dataCommands[4] = {
        { { QStringLiteral("init-data"), QStringLiteral("Create an empty database in <dir>."), QStringLiteral("dir") }, data::DataCommand::Init },
        { { QStringLiteral("check-data"), QStringLiteral("Check the database in <dir>."), QStringLiteral("dir") }, data::DataCommand::Check },
        { { QStringLiteral("repair-data"), QStringLiteral("Rebuild indexes and identifier generators in <dir>."), QStringLiteral("dir") },
            data::DataCommand::Repair },
        { { QStringLiteral("demo-data"), QStringLiteral("Create a database with a demo practice in <dir>."), QStringLiteral("dir") },
            data::DataCommand::Demo },
    };
    QCommandLineOption importParadox { QStringLiteral("import-paradox"),
        QStringLiteral("Import the old installation's Paradox tables of <old-dir> into the new data directory <data> given after it."),
        QStringLiteral("old-dir") };
    QCommandLineOption keepGoing { QStringLiteral("keep-going"),
        QStringLiteral("With --import-paradox: import the readable tables when some cannot be read.") };
    QCommandLineOption copyData { QStringLiteral("copy-data"),
        QStringLiteral("Copy the whole practice at <from> (a directory or a postgresql:// address) to the location given after it."),
        QStringLiteral("from") };
    QCommandLineOption configDir { QStringLiteral("config-dir"),
        QStringLiteral("Use <dir> as the workstation settings directory (PV.INI and its companions)."), QStringLiteral("dir") };
    QCommandLineOption data { QStringLiteral("data"), QStringLiteral("Start on the data directory <dir> instead of the stored one."),
        QStringLiteral("dir") };
    QCommandLineOption addUser { QStringLiteral("add-user"),
        QStringLiteral(
            "Write the user <name> into PV.INI (with --role); its passwords are asked for at the terminal, "
            "or read from "
            "standard input, one per line (the second, which shows receipts only, may be left out)."),
        QStringLiteral("name") };
    QCommandLineOption role { QStringLiteral("role"), QStringLiteral("Role of --add-user: 0 full, 1 restricted."), QStringLiteral("0|1"),
        QStringLiteral("1") };
    QCommandLineOption replace { QStringLiteral("replace"),
        QStringLiteral("Let --add-user write over a user already there.") };
    // Refused: on the command line a password is in sight of every user of the computer.
    QCommandLineOption passwordGiven { { QStringLiteral("password"), QStringLiteral("second-password") }, {},
        QStringLiteral("password") };
    QCommandLineOption chartReport { QStringLiteral("chart-report"),
        QStringLiteral("Write the treatment history report of patient <id>'s current session (with --data, --level, --pdf) and exit."),
        QStringLiteral("id") };
    QCommandLineOption level { QStringLiteral("level"), QStringLiteral("Treatment level of --chart-report: 0, 1 or 2."), QStringLiteral("n"),
        QStringLiteral("2") };
    QCommandLineOption pdf { QStringLiteral("pdf"), QStringLiteral("PDF file that --chart-report writes."), QStringLiteral("file") };
    QCommandLineOption ledgerReport { QStringLiteral("ledger-report"),
        QStringLiteral("Write the ledger of <source> (patient, supplier, lab or other) and the ID after it (with --data, --pdf) and exit."),
        QStringLiteral("source") };
    QCommandLineOption backup { QStringLiteral("backup"),
        QStringLiteral("Back up the data directory <dir> and its images into the new folder named after it, checked, and exit."),
        QStringLiteral("dir") };
    QCommandLineOption restore { QStringLiteral("restore"),
        QStringLiteral("Restore the backup folder <dir> into the data directory named after it, checked, and exit."), QStringLiteral("dir") };
    QCommandLineOption force { QStringLiteral("force"), QStringLiteral("Let --restore replace a data directory that is not empty.") };
    QCommandLineOption screenshotTour { QStringLiteral("screenshot-tour"),
        QStringLiteral("Render every window to <dir>/<ComponentName>.png offscreen and exit."), QStringLiteral("dir") };
    QCommandLineOption reportState { QStringLiteral("report-state"),
        QStringLiteral("After the start, open the patient file and the dental chart, write what the windows show to <file> "
                       "(JSON) and exit."),
        QStringLiteral("file") };
    // The values of these are paths, made absolute against the directory the program was started
    // in: the start moves into the program's directory.
    QHash<QString, QString> paths;

    Options()
    {
        parser.setApplicationDescription(QStringLiteral("Orvane dental practice management"));
        parser.addHelpOption();
        parser.addVersionOption();
        for (const auto& [option, command] : dataCommands)
            parser.addOption(option);
        passwordGiven.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOptions({ importParadox, keepGoing, copyData, configDir, data, addUser, role, replace,
            passwordGiven, screenshotTour, chartReport, level, pdf, reportState, ledgerReport });
        parser.addOptions({ backup, restore, force });
    }

    void process(const QCoreApplication& app)
    {
        parser.process(app);
        QList<const QCommandLineOption*> pathOptions { &importParadox, &configDir, &data, &screenshotTour, &pdf, &reportState, &copyData, &backup, &restore };
        for (const auto& [option, command] : dataCommands)
            pathOptions.append(&option);
        for (const QCommandLineOption* option : pathOptions) {
            const QString name = option->names().constFirst();
            if (parser.isSet(name))
                paths.insert(name, absolute(parser.value(name)));
        }
        if (isSet(configDir))
            platform::setConfigDirOverride(path(configDir));
    }
    // A server address is no path.
    static QString absolute(const QString& location)
    {
        return db::ConnectionProfile::isServerLocation(location) ? location : QDir::cleanPath(QDir::current().absoluteFilePath(location));
    }
    bool isSet(const QCommandLineOption& option) const { return parser.isSet(option); }
    QString path(const QCommandLineOption& option) const { return paths.value(option.names().constFirst()); }
};

bool argumentGiven(int argc, char* argv[], const char* name)
{
    const size_t length = std::strlen(name);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], name, length) == 0 && (argv[i][length] == '\0' || argv[i][length] == '='))
            return true;
    }
    return false;
}

// A practice made today keeps its amounts in euros only (rate 1), unless this workstation
// already has a rate of its own, the second currency of drachma-era data.
void keepEurosOnly(QTextStream& out, QTextStream& err)
{
    platform::Settings settings;
    if (settings.hasEuroRate())
        return;
    try {
        settings.setEuroRate(1.0);
        out << "Amounts are kept in euros only (1 EURO = 1 in " << settings.mainFilePath() << ").\n";
    } catch (const std::exception& e) {
        err << "The workstation's settings could not be written: " << e.what() << '\n';
    }
}

// The commands that need no window run without a display.
bool needsWindows(int argc, char* argv[])
{
    for (const char* name : { "--import-paradox", "--init-data", "--check-data", "--repair-data", "--demo-data", "--copy-data", "--add-user", "--backup", "--restore", "--help", "-h",
             "--version", "-v", "--help-all" }) {
        if (argumentGiven(argc, argv, name))
            return false;
    }
    return true;
}

int runCommand(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));
    Options options;
    options.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    for (const auto& [option, command] : options.dataCommands) {
        if (!options.isSet(option))
            continue;
        const int status = data::runDataCommand(command, options.path(option), out, err);
        if (status == 0 && (command == data::DataCommand::Init || command == data::DataCommand::Demo))
            keepEurosOnly(out, err);
        return status;
    }
    if (options.isSet(options.importParadox)) {
        const QStringList rest = options.parser.positionalArguments();
        if (rest.size() != 1) {
            err << "--import-paradox needs the old data directory and then the new one: orvane --import-paradox OLD_DIR DATA.\n";
            return 2;
        }
        // The import builds a folder and moves it into place: a server address would become one.
        if (db::ConnectionProfile::isServerLocation(rest.constFirst())) {
            err << "--import-paradox writes a data folder, not a database server (" << rest.constFirst()
                << "): import into a folder, then use orvane --copy-data FOLDER " << rest.constFirst()
                << ".\n";
            return 2;
        }
        return import::runImportCommand(options.path(options.importParadox), QDir::current().absoluteFilePath(rest.constFirst()),
            options.isSet(options.keepGoing), out, err);
    }
    if (options.isSet(options.copyData)) {
        if (options.parser.positionalArguments().size() != 1) {
            err << "Write orvane --copy-data FROM TO.\n";
            return 2;
        }
        return data::runCopyCommand(options.path(options.copyData), Options::absolute(options.parser.positionalArguments().constFirst()), out, err);
    }
    if (options.isSet(options.backup) || options.isSet(options.restore)) {
        const QStringList rest = options.parser.positionalArguments();
        if (rest.size() != 1) {
            err << (options.isSet(options.backup) ? "Usage: orvane --backup DATA OUT\n" : "Usage: orvane --restore BACKUP DATA [--force]\n");
            return 2;
        }
        const QString second = Options::absolute(rest.constFirst());
        if (options.isSet(options.backup))
            return data::runBackupCommand(options.path(options.backup), second, out, err);
        return data::runRestoreCommand(options.path(options.restore), second, options.isSet(options.force), out, err);
    }
    if (!options.isSet(options.addUser)) {
        err << "Nothing to do: see orvane --help.\n";
        return 2;
    }
    if (options.isSet(options.passwordGiven)) {
        err << "Passwords are not taken from the command line, where every user of the computer sees them: "
               "type them "
               "when --add-user asks, or give them on standard input, one per line.\n";
        return 2;
    }
    return app::runAddUserCommand(options.parser.value(options.addUser), options.parser.value(options.role),
        options.isSet(options.replace), out, err);
}

} // namespace

int main(int argc, char* argv[])
{
    if (const app::AutomationSwitch automation = app::takeAutomationSwitch(argc, argv);
        automation == app::AutomationSwitch::RegServer || automation == app::AutomationSwitch::UnregServer) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return app::registerAutomationServer(automation == app::AutomationSwitch::RegServer, QCoreApplication::applicationFilePath(), out, err);
    }
    if (!needsWindows(argc, argv))
        return runCommand(argc, argv);
    if (argumentGiven(argc, argv, "--screenshot-tour") || argumentGiven(argc, argv, "--chart-report") || argumentGiven(argc, argv, "--ledger-report"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    app::OrvaneApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));
    Options options;
    options.process(app);
    std::optional<QString> data;
    if (options.isSet(options.data))
        data = options.path(options.data);

    if (options.isSet(options.screenshotTour)) {
        const QStringList files = app::runScreenshotTour(options.path(options.screenshotTour), data);
        QTextStream out(stdout);
        for (const QString& file : files)
            out << file << '\n';
        return files.isEmpty() ? 1 : 0;
    }

    if (options.parser.isSet(options.chartReport)) {
        QTextStream err(stderr);
        if (!data || !options.isSet(options.pdf)) {
            err << "--chart-report needs --data and --pdf.\n";
            return 2;
        }
        bool patientIsNumber = false;
        bool levelIsNumber = false;
        const int patient = options.parser.value(options.chartReport).toInt(&patientIsNumber);
        const int level = options.parser.value(options.level).toInt(&levelIsNumber);
        if (!patientIsNumber || patient <= 0) {
            err << "--chart-report needs the number of a patient, not \"" << options.parser.value(options.chartReport) << "\".\n";
            return 2;
        }
        if (!levelIsNumber || level < 0 || level > 2) {
            err << "--level must be 0 (initial), 1 (plan) or 2 (done), not \"" << options.parser.value(options.level) << "\".\n";
            return 2;
        }
        // Nobody is there to close a message box: what the report has to say goes to stderr.
        platform::MessageService::setDefault(nullptr);
        return app::writeChartReport(
            *data, patient, data::TreatmentLevel(level), options.path(options.pdf), err);
    }

    if (options.parser.isSet(options.ledgerReport)) {
        QTextStream err(stderr);
        const QStringList ids = options.parser.positionalArguments();
        if (!data || !options.isSet(options.pdf)) {
            err << "--ledger-report needs --data and --pdf.\n";
            return 2;
        }
        const QString source = options.parser.value(options.ledgerReport);
        const std::optional<finance::LedgerSource> ledger = finance::ledgerSourceNamed(source);
        bool idIsNumber = false;
        const int id = ids.value(0).toInt(&idIsNumber);
        if (ledger && *ledger != finance::LedgerSource::Other
            && (ids.size() != 1 || !idIsNumber || id <= 0)) {
            err << "--ledger-report " << source << " needs the number of a " << source << " after it, not \""
                << ids.join(u' ') << "\".\n";
            return 2;
        }
        // Nobody is there to close a message box: what the report has to say goes to stderr.
        platform::MessageService::setDefault(nullptr);
        return app::writeLedgerReport(
            *data, source, ledger == finance::LedgerSource::Other ? 0 : id, options.path(options.pdf), err);
    }

    app::StartUp startUp(app);
    startUp.dataOverride = data;
    if (options.isSet(options.reportState))
        startUp.runLoop = [&startUp, file = options.path(options.reportState)](app::TMainForm& window) {
            return app::reportStateAndQuit(window, startUp.dataModule(), file);
        };
    return startUp.run();
}
