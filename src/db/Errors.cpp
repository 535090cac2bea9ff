#include "db/Errors.h"

#include <QSqlError>

namespace db {

bool isLockError(const QSqlError& error)
{
    const QString code = error.nativeErrorCode();
    bool numeric = false;
    const int sqliteCode = code.toInt(&numeric);
    // SQLite: SQLITE_BUSY and its extended codes; PostgreSQL: lock_not_available.
    return numeric ? (sqliteCode & 0xff) == 5 : code == QLatin1String("55P03");
}

namespace {

enum class Cause { Other, Damaged, Denied };

Cause causeOf(const QSqlError& error)
{
    const QString code = error.nativeErrorCode();
    bool numeric = false;
    const int sqliteCode = code.toInt(&numeric) & 0xff;
    if (numeric) {
        // SQLITE_CORRUPT, SQLITE_NOTADB; SQLITE_PERM, SQLITE_READONLY, SQLITE_CANTOPEN, SQLITE_AUTH
        if (sqliteCode == 11 || sqliteCode == 26)
            return Cause::Damaged;
        if (sqliteCode == 3 || sqliteCode == 8 || sqliteCode == 14 || sqliteCode == 23)
            return Cause::Denied;
        return Cause::Other;
    }
    // PostgreSQL: data_corrupted, index_corrupted; insufficient_privilege, invalid_password
    if (code == QLatin1String("XX001") || code == QLatin1String("XX002"))
        return Cause::Damaged;
    if (code == QLatin1String("42501") || code == QLatin1String("28P01") || code == QLatin1String("28000"))
        return Cause::Denied;
    return Cause::Other;
}

} // namespace

void throwSqlError(const QString& message, const QSqlError& error, const QString& sql)
{
    if (isLockError(error))
        throw LockTimeout(QStringLiteral("Another workstation has held the data too long; please try again"), error.text(), sql);
    switch (causeOf(error)) {
    case Cause::Damaged:
        throw DamagedDatabase(message, error.text(), sql);
    case Cause::Denied:
        throw AccessDenied(message, error.text(), sql);
    case Cause::Other:
        break;
    }
    throw DatabaseError(message, error.text(), sql);
}

} // namespace db
