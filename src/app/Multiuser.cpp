#include "app/Multiuser.h"

#include "app/ServerPathUnit.h"
#include "data/Backup.h"
#include "platform/Directories.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QStorageInfo>
#include <QUuid>

namespace app {

using platform::DriveType;
using platform::MultiUserType;

bool holdsOurDatabase(const QString& directory)
{
    const QString file = QDir(directory).filePath(QString::fromLatin1(db::Connection::kSqliteFileName));
    if (directory.isEmpty() || !QFileInfo(file).isFile())
        return false;
    // Opened read-only under a name of its own: looking must not create or change anything.
    const QString name = QStringLiteral("probe-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool found = false;
    {
        QSqlDatabase probe = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        probe.setDatabaseName(file);
        probe.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (probe.open()) {
            const QStringList tables = probe.tables();
            const auto has = [&tables](const QString& table) { return tables.contains(table, Qt::CaseInsensitive); };
            found = has(QStringLiteral("Patient")) && has(QStringLiteral("History"));
            probe.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return found;
}

bool driveSuits(MultiUserType type, DriveType drive)
{
    if (type == MultiUserType::Client)
        return drive == DriveType::Network;
    return drive == DriveType::Local;
}

MultiUserBinding::MultiUserBinding(platform::Settings settings)
    : m_settings(std::move(settings))
{
}

QString MultiUserBinding::networkDriveMessage(const QString& drive)
{
    return QStringLiteral("Network drive '") + drive + QStringLiteral("' not available\n\n")
        + QStringLiteral("Make sure the Server PC is ON and that\nthe network mappings on this Client PC are valid");
}

// A local directory does not suit a Client, nor a network one anything but a Client. A
// directory that is not there at all is left to the opening of the data, which says so. A
// server address is no directory: every workstation type reaches it over the network.
bool MultiUserBinding::accepted(MultiUserType type, const QString& directory) const
{
    if (directory.isEmpty())
        return false;
    if (db::ConnectionProfile::isServerLocation(directory))
        return true;
    const DriveType drive = driveType(directory);
    if (drive == DriveType::Local && type == MultiUserType::Client)
        return false;
    if (drive == DriveType::Network && type != MultiUserType::Client)
        return false;
    return true;
}

MultiUserBinding::Result MultiUserBinding::bind()
{
    Result result;
    result.type = m_settings.multiUserType();
    std::optional<QString> directory = dataOverride ? dataOverride : m_settings.aliasPath();

    if (!directory || !accepted(result.type, *directory)) {
        if (directory && !dataOverride)
            m_settings.deleteAlias();
        const Chooser choose = chooser ? chooser : [](MultiUserType current, const QString& start) {
            return TServerPathForm::choose(current, start);
        };
        const std::optional<DataPathChoice> choice = choose(result.type, directory.value_or(QString()));
        if (!choice) {
            result.outcome = Outcome::Cancelled;
            return result;
        }
        m_settings.setMultiUserType(choice->type);
        m_settings.setAliasPath(choice->directory);
        result.type = choice->type;
        directory = choice->directory;
    }

    // A database server: every workstation reaches it over the network, no folder is shared.
    if (db::ConnectionProfile::isServerLocation(*directory)) {
        result.privateDirectory = QDir(platform::configDir()).filePath(QStringLiteral("PRIVATE"));
        preparePrivateDirectory(result.privateDirectory);
        result.profile = db::ConnectionProfile::fromLocation(*directory, m_settings.section());
        result.dataRoot = data::practiceRootOf(*directory);
        return result;
    }
    const QString dataDirectory = QDir::cleanPath(QFileInfo(*directory).absoluteFilePath());
    result.controlDirectory = QDir(dataDirectory).filePath(QStringLiteral("NET"));
    // A folder that is missing or closed to us is left to the opening of the data, which says
    // so; making it here would only hide a wrong path.
    const QFileInfo folder(dataDirectory);
    const bool usable = folder.isDir() && folder.isWritable() && folder.isExecutable();
    if (result.type != MultiUserType::Client && usable && !QDir().mkpath(result.controlDirectory))
        throw platform::SettingsError(QStringLiteral("Cannot create ") + result.controlDirectory);
    if (result.type == MultiUserType::Client && driveType(result.controlDirectory) != DriveType::Network) {
        const QStorageInfo volume(dataDirectory);
        result.outcome = Outcome::NetworkDriveMissing;
        result.missingDrive = volume.isValid() ? volume.rootPath() : dataDirectory;
        return result;
    }

    result.privateDirectory = QDir(platform::programDir()).filePath(QStringLiteral("PRIVATE"));
    if (!QDir().mkpath(result.privateDirectory)) // an installation the user cannot write to
        result.privateDirectory = QDir(platform::configDir()).filePath(QStringLiteral("PRIVATE"));
    preparePrivateDirectory(result.privateDirectory);

    result.dataRoot = data::practiceRootOf(dataDirectory);
    result.profile.name = m_settings.section();
    result.profile.driver = db::ConnectionProfile::Driver::SQLite;
    result.profile.dataDirectory = dataDirectory;
    result.profile.sharedDirectory = result.type != MultiUserType::StandAlone;
    return result;
}

void MultiUserBinding::preparePrivateDirectory(const QString& directory) const
{
    QDir dir(directory);
    if (!dir.exists() && !QDir().mkpath(directory))
        throw platform::SettingsError(QStringLiteral("Cannot create ") + directory);
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& file : files) {
        QFile f(file.absoluteFilePath());
        f.setPermissions(f.permissions() | QFile::WriteOwner);
        f.remove();
    }
}

} // namespace app
