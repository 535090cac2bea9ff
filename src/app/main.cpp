#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Orvane dental practice management"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);

    QTextStream(stderr) << "The main window is not built yet: only --version and --help work.\n";
    return 1;
}
