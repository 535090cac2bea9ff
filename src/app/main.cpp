#include "app/PasswordLib.h"
#include "data/DataCommands.h"
#include "platform/Directories.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <utility>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Orvane dental practice management"));
    parser.addHelpOption();
    parser.addVersionOption();
    const std::pair<QCommandLineOption, data::DataCommand> dataCommands[] = {
        {{QStringLiteral("init-data"), QStringLiteral("Create an empty database in <dir>."), QStringLiteral("dir")}, data::DataCommand::Init},
        {{QStringLiteral("check-data"), QStringLiteral("Check the database in <dir>."), QStringLiteral("dir")}, data::DataCommand::Check},
        {{QStringLiteral("repair-data"), QStringLiteral("Rebuild indexes and identifier generators in <dir>."), QStringLiteral("dir")},
            data::DataCommand::Repair},
        {{QStringLiteral("demo-data"), QStringLiteral("Create a database with a demo practice in <dir>."), QStringLiteral("dir")},
            data::DataCommand::Demo},
    };
    for (const auto& [option, command] : dataCommands)
        parser.addOption(option);
    const QCommandLineOption configDir(QStringLiteral("config-dir"),
        QStringLiteral("Use <dir> as the workstation settings directory (PV.INI and its companions)."), QStringLiteral("dir"));
    const QCommandLineOption addUser(QStringLiteral("add-user"),
        QStringLiteral("Write the user <name> into PV.INI (with --role and --password)."), QStringLiteral("name"));
    const QCommandLineOption role(QStringLiteral("role"), QStringLiteral("Role of --add-user: 0 full, 1 restricted."),
        QStringLiteral("0|1"), QStringLiteral("1"));
    const QCommandLineOption password(QStringLiteral("password"), QStringLiteral("First password of --add-user."),
        QStringLiteral("password"));
    const QCommandLineOption secondPassword(QStringLiteral("second-password"),
        QStringLiteral("Second password of --add-user: logging in with it shows receipts only."), QStringLiteral("password"));
    parser.addOptions({ configDir, addUser, role, password, secondPassword });
    parser.process(app);
    if (parser.isSet(configDir))
        platform::setConfigDirOverride(parser.value(configDir));

    QTextStream out(stdout);
    QTextStream err(stderr);
    for (const auto& [option, command] : dataCommands) {
        if (parser.isSet(option))
            return data::runDataCommand(command, parser.value(option), out, err);
    }

    if (parser.isSet(addUser)) {
        bool roleIsNumber = false;
        const app::NewUser user { parser.value(addUser), parser.value(role).toInt(&roleIsNumber), parser.value(password),
            parser.value(secondPassword) };
        const QString error = roleIsNumber ? app::addUser(user) : QStringLiteral("The role must be 0 or 1.");
        if (!error.isEmpty()) {
            err << error << '\n';
            return 1;
        }
        out << "User " << user.name << " written to " << platform::Settings().mainFilePath() << '\n';
        return 0;
    }

    err << "The main window is not built yet: only --version, --help and the data commands work.\n";
    return 1;
}
