#include "platform/Directories.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace platform {
namespace {

QString& configOverride()
{
    static QString value;
    return value;
}

QString fromEnvironment(const char* name)
{
    return QDir::cleanPath(qEnvironmentVariable(name));
}

} // namespace

QString programDir()
{
    if (qEnvironmentVariableIsSet("ORVANE_PROGRAM_DIR") && !qEnvironmentVariableIsEmpty("ORVANE_PROGRAM_DIR"))
        return fromEnvironment("ORVANE_PROGRAM_DIR");
    return QCoreApplication::applicationDirPath();
}

QString configDir()
{
    if (!configOverride().isEmpty())
        return configOverride();
    if (!qEnvironmentVariableIsEmpty("ORVANE_CONFIG_DIR"))
        return fromEnvironment("ORVANE_CONFIG_DIR");
    // GenericConfigLocation honours $XDG_CONFIG_HOME and falls back to ~/.config.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("orvane"));
}

void setConfigDirOverride(const QString& directory)
{
    configOverride() = directory.isEmpty() ? QString() : QDir::cleanPath(QDir(directory).absolutePath());
}

QString findFileNoCase(const QString& directory, const QString& fileName)
{
    const QDir dir(directory);
    if (dir.exists(fileName))
        return dir.filePath(fileName);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return dir.filePath(fileName);
}

} // namespace platform
