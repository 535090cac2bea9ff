#include "app/StartFailure.h"

#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Errors.h"
#include "platform/Settings.h"
#include "widgets/Language.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

namespace app {
namespace {

std::optional<StartFailure> failureOfDirectory(const QString& directory)
{
    const QFileInfo folder(directory);
    if (!folder.isDir())
        return StartFailure::NoDatabase;
    if (!folder.isReadable() || !folder.isExecutable())
        return StartFailure::NoPermission;
    const QFileInfo file(QDir(directory).filePath(QString::fromLatin1(db::Connection::kSqliteFileName)));
    if (!file.exists())
        return StartFailure::NoDatabase;
    // SQLite writes its journal beside the file: a folder closed to writing is as bad.
    if (!file.isReadable() || !file.isWritable() || !folder.isWritable())
        return StartFailure::NoPermission;
    return std::nullopt;
}

std::optional<StartFailure> failureOfError(const std::exception& error)
{
    if (dynamic_cast<const db::LockTimeout*>(&error))
        return StartFailure::Locked;
    if (dynamic_cast<const db::AccessDenied*>(&error))
        return StartFailure::NoPermission;
    if (dynamic_cast<const db::DamagedDatabase*>(&error))
        return StartFailure::Damaged;
    try {
        std::rethrow_if_nested(error);
    } catch (const std::exception& cause) {
        return failureOfError(cause);
    } catch (...) {
    }
    return std::nullopt;
}

} // namespace

StartFailure classifyStartFailure(const db::ConnectionProfile& profile, const std::exception& error)
{
    if (profile.driver == db::ConnectionProfile::Driver::SQLite) {
        if (const std::optional<StartFailure> failure = failureOfDirectory(profile.dataDirectory))
            return *failure;
    }
    // A table that is missing or does not match is mended by the repair command as well.
    return failureOfError(error).value_or(StartFailure::Damaged);
}

QString startFailureMessage(StartFailure failure, platform::MultiUserType type, const QString& table,
    const QString& dataDirectory, widgets::TLanguage& lang)
{
    const QString folder = QDir::toNativeSeparators(dataDirectory);
    QString reason;
    switch (failure) {
    case StartFailure::NoDatabase:
        reason = lang.Message(QStringLiteral("There is no practice database in the folder %1.")).arg(folder)
            + u'\n'
            + lang.Message(QStringLiteral("Check that this is the right folder and that the disk or network "
                                          "drive holding it is connected."));
        break;
    case StartFailure::Locked:
        reason = lang.Message(QStringLiteral("The practice database is locked by another program.")) + u'\n'
            + lang.Message(
                QStringLiteral("Close that program, or wait until it has finished, and start again."));
        break;
    case StartFailure::NoPermission:
        reason = lang.Message(QStringLiteral(
                                  "You have no permission to open the practice database in the folder %1."))
                     .arg(folder)
            + u'\n'
            + lang.Message(
                QStringLiteral("Ask whoever looks after this computer to give you access to that folder."));
        break;
    case StartFailure::Damaged:
        break;
    }
    const QString shown = data::openFailureMessage(type, table, lang.messageTexts());
    if (type == platform::MultiUserType::Client)
        return reason.isEmpty() ? shown : shown + QStringLiteral("\n\n") + reason;
    return reason.isEmpty() ? shown : reason;
}

} // namespace app
