// orvane-imaging: offers the imaging program's automation object on the session bus.
//   orvane-imaging [--headless] [--log FILE]
#include "StandIn.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDBusConnection>
#include <QTextStream>

int main(int argc, char* argv[])
{
    bool headless = false;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--headless") == 0)
            headless = true;
    }
    if (headless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvane-imaging"));
    QApplication::setQuitOnLastWindowClosed(false);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Stand-in imaging program for Orvane"));
    parser.addHelpOption();
    const QCommandLineOption headlessOption(
        QStringLiteral("headless"), QStringLiteral("Log shown images instead of opening them."));
    const QCommandLineOption logOption(
        QStringLiteral("log"), QStringLiteral("Append every call to <file>."), QStringLiteral("file"));
    parser.addOptions({ headlessOption, logOption });
    parser.process(app);

    QTextStream err(stderr);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        err << "orvane-imaging: no session bus: " << bus.lastError().message() << '\n';
        return 1;
    }
    StandIn standIn(headless, parser.value(logOption));
    if (!bus.registerObject(
            QStringLiteral("/PallavorVision99Auto"), &standIn, QDBusConnection::ExportAllSlots)
        || !bus.registerService(QStringLiteral("org.orvane.PallavorVision99"))) {
        err << "orvane-imaging: cannot take the bus name: " << bus.lastError().message() << '\n';
        return 1;
    }
    return app.exec();
}
