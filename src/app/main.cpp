#include "app/ChartWindows.h"
#include "app/OrvaneApplication.h"
#include "app/PasswordLib.h"
#include "app/ScreenshotTour.h"
#include "app/StartUp.h"
#include "data/DataCommands.h"
#include "platform/Directories.h"

#include <QCommandLineParser>
#include <QCoreApplication>
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
    QCommandLineOption configDir { QStringLiteral("config-dir"),
        QStringLiteral("Use <dir> as the workstation settings directory (PV.INI and its companions)."), QStringLiteral("dir") };
    QCommandLineOption data { QStringLiteral("data"), QStringLiteral("Start on the data directory <dir> instead of the stored one."),
        QStringLiteral("dir") };
    QCommandLineOption addUser { QStringLiteral("add-user"), QStringLiteral("Write the user <name> into PV.INI (with --role and --password)."),
        QStringLiteral("name") };
    QCommandLineOption role { QStringLiteral("role"), QStringLiteral("Role of --add-user: 0 full, 1 restricted."), QStringLiteral("0|1"),
        QStringLiteral("1") };
    QCommandLineOption password { QStringLiteral("password"), QStringLiteral("First password of --add-user."), QStringLiteral("password") };
    QCommandLineOption secondPassword { QStringLiteral("second-password"),
        QStringLiteral("Second password of --add-user: logging in with it shows receipts only."), QStringLiteral("password") };
    QCommandLineOption chartReport { QStringLiteral("chart-report"),
        QStringLiteral("Write the treatment history report of patient <id>'s current session (with --data, --level, --pdf) and exit."),
        QStringLiteral("id") };
    QCommandLineOption level { QStringLiteral("level"), QStringLiteral("Treatment level of --chart-report: 0, 1 or 2."), QStringLiteral("n"),
        QStringLiteral("2") };
    QCommandLineOption pdf { QStringLiteral("pdf"), QStringLiteral("PDF file that --chart-report writes."), QStringLiteral("file") };
    QCommandLineOption screenshotTour { QStringLiteral("screenshot-tour"),
        QStringLiteral("Render every window to <dir>/<ComponentName>.png offscreen and exit."), QStringLiteral("dir") };

    Options()
    {
        parser.setApplicationDescription(QStringLiteral("Orvane dental practice management"));
        parser.addHelpOption();
        parser.addVersionOption();
        for (const auto& [option, command] : dataCommands)
            parser.addOption(option);
        parser.addOptions({ configDir, data, addUser, role, password, secondPassword, screenshotTour, chartReport, level, pdf });
    }
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

// The commands that need no window run without a display.
bool needsWindows(int argc, char* argv[])
{
    for (const char* name : { "--init-data", "--check-data", "--repair-data", "--demo-data", "--add-user", "--help", "-h",
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
    options.parser.process(app);
    if (options.parser.isSet(options.configDir))
        platform::setConfigDirOverride(options.parser.value(options.configDir));

    QTextStream out(stdout);
    QTextStream err(stderr);
    for (const auto& [option, command] : options.dataCommands) {
        if (options.parser.isSet(option))
            return data::runDataCommand(command, options.parser.value(option), out, err);
    }
    bool roleIsNumber = false;
    const app::NewUser user { options.parser.value(options.addUser), options.parser.value(options.role).toInt(&roleIsNumber),
        options.parser.value(options.password), options.parser.value(options.secondPassword) };
    const QString error = roleIsNumber ? app::addUser(user) : QStringLiteral("The role must be 0 or 1.");
    if (!error.isEmpty()) {
        err << error << '\n';
        return 1;
    }
    out << "User " << user.name << " written to " << platform::Settings().mainFilePath() << '\n';
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (!needsWindows(argc, argv))
        return runCommand(argc, argv);
    if (argumentGiven(argc, argv, "--screenshot-tour") || argumentGiven(argc, argv, "--chart-report"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    app::OrvaneApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));
    Options options;
    options.parser.process(app);
    if (options.parser.isSet(options.configDir))
        platform::setConfigDirOverride(options.parser.value(options.configDir));
    std::optional<QString> data;
    if (options.parser.isSet(options.data))
        data = options.parser.value(options.data);

    if (options.parser.isSet(options.screenshotTour)) {
        const QStringList files = app::runScreenshotTour(options.parser.value(options.screenshotTour), data);
        QTextStream out(stdout);
        for (const QString& file : files)
            out << file << '\n';
        return files.isEmpty() ? 1 : 0;
    }

    if (options.parser.isSet(options.chartReport)) {
        QTextStream err(stderr);
        if (!data || !options.parser.isSet(options.pdf)) {
            err << "--chart-report needs --data and --pdf.\n";
            return 2;
        }
        return app::writeChartReport(*data, options.parser.value(options.chartReport).toInt(), options.parser.value(options.level).toInt(),
            options.parser.value(options.pdf), err);
    }

    app::StartUp startUp(app);
    startUp.dataOverride = data;
    return startUp.run();
}
