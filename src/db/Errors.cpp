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

void throwSqlError(const QString& message, const QSqlError& error, const QString& sql)
{
    if (isLockError(error))
        throw LockTimeout(QStringLiteral("Another workstation has held the data too long; please try again"), error.text(), sql);
    throw DatabaseError(message, error.text(), sql);
}

} // namespace db
