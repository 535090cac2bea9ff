#include "app/AutomationSwitches.h"

#include "app/AutomationNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

namespace app {

namespace {

bool g_startedByAutomation = false;

AutomationSwitch switchOf(QString word)
{
    while (word.startsWith(QLatin1Char('/')) || word.startsWith(QLatin1Char('-')))
        word.remove(0, 1);
    word = word.toUpper();
    if (word == QLatin1String("REGSERVER"))
        return AutomationSwitch::RegServer;
    if (word == QLatin1String("UNREGSERVER"))
        return AutomationSwitch::UnregServer;
    if (word == QLatin1String("AUTOMATION"))
        return AutomationSwitch::Automation;
    if (word == QLatin1String("EMBEDDING"))
        return AutomationSwitch::Embedding;
    return AutomationSwitch::None;
}

} // namespace

AutomationSwitch takeAutomationSwitch(int& argc, char* argv[])
{
    // Only where the bus's service file and the registration put it: a word further on is a
    // value (a folder called "regserver") or an argument of another command.
    const AutomationSwitch found
        = argc > 1 ? switchOf(QString::fromLocal8Bit(argv[1])) : AutomationSwitch::None;
    if (found == AutomationSwitch::None)
        return found;
    for (int i = 1; i < argc; ++i)
        argv[i] = argv[i + 1];
    --argc;
    if (found == AutomationSwitch::Automation || found == AutomationSwitch::Embedding)
        g_startedByAutomation = true;
    return found;
}

bool startedByAutomation()
{
    return g_startedByAutomation;
}

void setStartedByAutomation(bool value)
{
    g_startedByAutomation = value;
}

QString automationServiceFile()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(data).filePath(
        QStringLiteral("dbus-1/services/%1.service").arg(QLatin1String(automation::kService)));
}

int registerAutomationServer(bool install, const QString& program, QTextStream& out, QTextStream& err)
{
    const QString path = automationServiceFile();
    if (!install) {
        if (QFile::exists(path) && !QFile::remove(path)) {
            err << "Cannot remove " << path << '\n';
            return 1;
        }
        out << "Removed " << path << '\n';
        return 0;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        err << "Cannot write " << path << ": " << file.errorString() << '\n';
        return 1;
    }
    QTextStream text(&file);
    text << "[D-BUS Service]\nName=" << automation::kService << "\nExec=\""
         << QFileInfo(program).absoluteFilePath() << "\" AUTOMATION\n";
    text.flush();
    if (!file.commit()) {
        err << "Cannot write " << path << ": " << file.errorString() << '\n';
        return 1;
    }
    out << "Wrote " << path << '\n';
    return 0;
}

} // namespace app
