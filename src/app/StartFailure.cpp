#include "app/StartFailure.h"

#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Errors.h"
#include "db/ErrorWords.h"
#include "db/ServerUnavailable.h"
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
    // A file or folder closed to writing is opened for reading only; one that cannot be read
    // at all cannot be opened.
    if (!file.isReadable())
        return StartFailure::NoPermission;
    if (!QFileInfo::exists(QDir(directory).filePath(QString::fromLatin1(db::Connection::kSqliteGeneratorFileName))))
        return StartFailure::GeneratorsMissing;
    return std::nullopt;
}

// What `take` makes of the first error of type E among the error and the errors it was raised
// from, if there is one.
template<class E, class Take>
auto firstInChain(const std::exception& error, const Take& take)
    -> std::optional<decltype(take(std::declval<const E&>()))>
{
    if (const auto* found = dynamic_cast<const E*>(&error))
        return take(*found);
    try {
        std::rethrow_if_nested(error);
    } catch (const std::exception& cause) {
        return firstInChain<E>(cause, take);
    } catch (...) {
    }
    return std::nullopt;
}

template<class E> bool inChain(const std::exception& error)
{
    return firstInChain<E>(error, [](const E&) { return true; }).has_value();
}

struct SettingAt {
    QString file, section, key, value;
};

std::optional<SettingAt> badSettingOf(const std::exception& error)
{
    return firstInChain<platform::BadSetting>(error, [](const platform::BadSetting& bad) {
        return SettingAt { bad.file(), bad.section(), bad.key(), bad.value() };
    });
}

std::optional<StartFailure> failureOfError(const std::exception& error)
{
    if (dynamic_cast<const platform::BadSetting*>(&error))
        return StartFailure::BadSetting;
    if (dynamic_cast<const data::MissingGeneratorStore*>(&error))
        return StartFailure::GeneratorsMissing;
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
    // A bad setting is what it is wherever the data lies.
    if (badSettingOf(error))
        return StartFailure::BadSetting;
    if (profile.driver == db::ConnectionProfile::Driver::SQLite) {
        if (const std::optional<StartFailure> failure = failureOfDirectory(profile.dataDirectory))
            return *failure;
    } else {
        // No folder of ours: a refusal is the server's, and a lost connection no damage.
        if (inChain<db::ServerUnavailable>(error) || inChain<db::AccessDenied>(error))
            return StartFailure::ServerRefused;
        if (const std::optional<StartFailure> failure = failureOfError(error))
            return *failure;
        // Only a table that does not match is for the repair; the rest the server names.
        return inChain<db::SchemaError>(error) ? StartFailure::Damaged : StartFailure::ServerRefused;
    }
    // A table that is missing or does not match is mended by the repair command as well.
    return failureOfError(error).value_or(StartFailure::Damaged);
}

QString startFailureMessage(StartFailure failure, platform::MultiUserType type, const QString& table,
    const QString& location, const widgets::TLanguage& lang, const std::exception* error)
{
    const QString folder = QDir::toNativeSeparators(location);
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
    case StartFailure::GeneratorsMissing:
        reason = lang.Message(QStringLiteral("The file of the record numbers (%1) is missing from the folder %2.")).arg(
                     QString::fromLatin1(db::Connection::kSqliteGeneratorFileName), folder)
            + u'\n'
            + lang.Message(QStringLiteral("New records cannot be numbered without it. Run \"orvane --repair-data %1\" to rebuild it from the records.")).arg(folder);
        break;
    case StartFailure::BadSetting: {
        const std::optional<SettingAt> setting = error ? badSettingOf(*error) : std::nullopt;
        if (!setting)
            break;
        reason = lang.Message(QStringLiteral("The setting %1 in section [%2] of %3 has the value \"%4\", which cannot be used."))
                     .arg(setting->key, setting->section, QDir::toNativeSeparators(setting->file), setting->value)
            + u'\n' + lang.Message(QStringLiteral("Correct it or remove the line, then start again."));
        break;
    }
    case StartFailure::ServerRefused:
        reason = db::serverFailureInWords(
            error ? *error : static_cast<const std::exception&>(db::ServerUnavailable(QString())), location);
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
