#include "data/DataCommands.h"

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
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    for (const auto& [option, command] : dataCommands) {
        if (parser.isSet(option))
            return data::runDataCommand(command, parser.value(option), out, err);
    }

    err << "The main window is not built yet: only --version, --help and the data commands work.\n";
    return 1;
}
