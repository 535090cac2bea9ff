#include "db/Errors.h"

#include <QSqlError>

namespace db {

namespace {

// SQLite's result code (extended when the driver gives it); -1 for PostgreSQL, whose five
// character SQLSTATE may be all digits too ("23505").
int sqliteCodeOf(const QString& code)
{
    bool numeric = false;
    const int value = code.toInt(&numeric);
    return numeric && code.size() < 5 ? value : -1;
}

} // namespace

bool isLockError(const QSqlError& error)
{
    const QString code = error.nativeErrorCode();
    const int sqliteCode = sqliteCodeOf(code);
    // SQLite: SQLITE_BUSY and its extended codes; PostgreSQL: lock_not_available.
    return sqliteCode >= 0 ? (sqliteCode & 0xff) == 5 : code == QLatin1String("55P03");
}

bool isConnectionLost(const QSqlError& error)
{
    const QString code = error.nativeErrorCode();
    if (sqliteCodeOf(code) >= 0)
        return false; // a file has no connection to lose
    if (error.type() == QSqlError::ConnectionError)
        return true;
    // PostgreSQL: connection_exception, and the server shutting down or restarting.
    if (code.startsWith(QLatin1String("08")) || code == QLatin1String("57P01")
        || code == QLatin1String("57P02") || code == QLatin1String("57P03"))
        return true;
    // libpq's own words when the socket broke: no SQLSTATE comes with them.
    const QString text = error.databaseText() + error.driverText();
    for (const char* broken : { "server closed the connection", "no connection to the server",
             "terminating connection", "could not receive data from server", "could not send data to server",
             "connection to server was lost", "SSL connection has been closed" }) {
        if (text.contains(QLatin1String(broken), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

namespace {

enum class Cause { Other, Damaged, Denied, Duplicate, Referenced };

Cause causeOf(const QSqlError& error)
{
    const QString code = error.nativeErrorCode();
    const int extended = sqliteCodeOf(code);
    const int sqliteCode = extended & 0xff;
    if (extended >= 0) {
        // SQLITE_CONSTRAINT: its extended code, or the engine's words when only the primary came
        if (sqliteCode == 19) {
            const QString text = error.databaseText();
            if (extended == 2067 || extended == 1555 || text.contains(QLatin1String("UNIQUE")))
                return Cause::Duplicate;
            if (extended == 787 || text.contains(QLatin1String("FOREIGN KEY")))
                return Cause::Referenced;
            return Cause::Other;
        }
        // SQLITE_CORRUPT, SQLITE_NOTADB; SQLITE_PERM, SQLITE_READONLY, SQLITE_CANTOPEN, SQLITE_AUTH
        if (sqliteCode == 11 || sqliteCode == 26)
            return Cause::Damaged;
        if (sqliteCode == 3 || sqliteCode == 8 || sqliteCode == 14 || sqliteCode == 23)
            return Cause::Denied;
        return Cause::Other;
    }
    // PostgreSQL: unique_violation, foreign_key_violation
    if (code == QLatin1String("23505"))
        return Cause::Duplicate;
    if (code == QLatin1String("23503"))
        return Cause::Referenced;
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
    if (isConnectionLost(error))
        throw ConnectionLost(
            QStringLiteral("The connection to the database server was lost."), error.text(), sql);
    switch (causeOf(error)) {
    case Cause::Damaged:
        throw DamagedDatabase(message, error.text(), sql);
    case Cause::Denied:
        throw AccessDenied(message, error.text(), sql);
    case Cause::Duplicate:
        throw KeyConflict(KeyConflict::Kind::Duplicate, message, error.text(), sql);
    case Cause::Referenced:
        throw KeyConflict(KeyConflict::Kind::Referenced, message, error.text(), sql);
    case Cause::Other:
        break;
    }
    throw DatabaseError(message, error.text(), sql);
}

} // namespace db
