#include "platform/ExceptionLog.h"

#include "platform/Directories.h"

#include <QDir>
#include <QFile>
#include <QLocale>

namespace platform::exceptionLog {
namespace {

bool appendTo(const QString& directory, const QByteArray& bytes, QString* written)
{
    if (directory.isEmpty())
        return false;
    QFile file(findFileNoCase(directory, QString::fromLatin1(kFileName)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    if (file.write(bytes) != bytes.size())
        return false;
    *written = file.fileName();
    return true;
}

QString& mainWindowEdition()
{
    static QString edition;
    return edition;
}

} // namespace

QString startupRecord(const QString& message, const QDateTime& when)
{
    return QStringLiteral("Exception ") + QLocale::system().toString(when, QLocale::ShortFormat)
        + QStringLiteral(" ==> ") + message + u'\r';
}

QString mainWindowRecord(const QString& edition, const QString& message, const QDateTime& when)
{
    return edition + QStringLiteral(": ")
        + QLocale::system().toString(when, QStringLiteral("dd MMM yyyy - hh:mm:ss:zzz"))
        + QStringLiteral("  [") + message + QStringLiteral("]\n");
}

QString append(const QString& record)
{
    const QByteArray bytes = record.toUtf8();
    QString written;
    if (appendTo(programDir(), bytes, &written))
        return written;
    QDir().mkpath(configDir());
    if (appendTo(configDir(), bytes, &written))
        return written;
    return {};
}

void useMainWindowFormat(const QString& edition)
{
    mainWindowEdition() = edition;
}

QString logException(const QString& message)
{
    const QString& edition = mainWindowEdition();
    return append(edition.isEmpty() ? startupRecord(message) : mainWindowRecord(edition, message));
}

QString describe(const std::exception& error)
{
    QString text = QString::fromUtf8(error.what());
    try {
        std::rethrow_if_nested(error);
    } catch (const std::exception& cause) {
        text += QStringLiteral(" / caused by: ") + describe(cause);
    } catch (...) {
        text += QStringLiteral(" / caused by an unknown error");
    }
    return text;
}

QString logException(const std::exception& error, const QString& context)
{
    const QString text = describe(error);
    return logException(context.isEmpty() ? text : context + QStringLiteral(": ") + text);
}

} // namespace platform::exceptionLog
