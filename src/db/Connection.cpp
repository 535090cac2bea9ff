#include "db/Connection.h"

#include "db/Errors.h"
#include "platform/DriveType.h"

#include <QAtomicInt>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>

namespace db {
namespace {

QString nextQtConnectionName(const QString& profileName)
{
    static QAtomicInt counter;
    return QStringLiteral("orvane:%1:%2").arg(profileName).arg(counter.fetchAndAddRelaxed(1));
}

void exec(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        throwSqlError(QStringLiteral("The database refused a statement"), query.lastError(), sql);
}

} // namespace

Connection::Connection(ConnectionProfile profile, QString qtName, std::unique_ptr<Dialect> dialect)
    : m_profile(std::move(profile))
    , m_qtName(std::move(qtName))
    , m_dialect(std::move(dialect))
{
}

Connection::~Connection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_qtName, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_qtName);
}

std::unique_ptr<Connection> Connection::open(const ConnectionProfile& profile)
{
    return openFile(profile, QString::fromLatin1(kSqliteFileName));
}

std::unique_ptr<Connection> Connection::openGeneratorStore(const ConnectionProfile& profile)
{
    return openFile(profile, QString::fromLatin1(kSqliteGeneratorFileName));
}

std::unique_ptr<Connection> Connection::openFile(const ConnectionProfile& profile, const QString& fileName)
{
    const bool sqlite = profile.driver == ConnectionProfile::Driver::SQLite;
    const QString qtName = nextQtConnectionName(profile.name);
    std::unique_ptr<Dialect> dialect;
    if (sqlite)
        dialect = std::make_unique<SqliteDialect>();
    else
        dialect = std::make_unique<PostgresDialect>();
    std::unique_ptr<Connection> connection(new Connection(profile, qtName, std::move(dialect)));
    connection->m_fileName = fileName;

    QSqlDatabase db = QSqlDatabase::addDatabase(sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"), qtName);
    if (sqlite) {
        if (!QDir(profile.dataDirectory).exists())
            throw DatabaseError(QStringLiteral("The data directory %1 does not exist.").arg(profile.dataDirectory));
        db.setDatabaseName(connection->sqliteFilePath());
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(profile.busyTimeoutMs));
    } else {
        db.setHostName(profile.host);
        db.setPort(profile.port);
        db.setDatabaseName(profile.database);
        db.setUserName(profile.user);
        db.setPassword(profile.password);
        db.setConnectOptions(QStringLiteral("connect_timeout=10"));
    }
    if (!db.open())
        throw DatabaseError(QStringLiteral("Cannot open the database"), db.lastError().text());
    if (sqlite)
        connection->configureSqlite(profile.sharedDirectory || platform::isNetworkPath(profile.dataDirectory));
    else
        exec(db, QStringLiteral("SET lock_timeout = %1").arg(profile.busyTimeoutMs));
    return connection;
}

void Connection::configureSqlite(bool rollbackJournal)
{
    QSqlDatabase db = database();
    // WAL needs shared memory, which network file systems do not give: there (and on the
    // server whose directory the others reach over the network) the rollback journal keeps
    // several workstations safe.
    exec(db, rollbackJournal ? QStringLiteral("PRAGMA journal_mode=DELETE") : QStringLiteral("PRAGMA journal_mode=WAL"));
    m_wal = !rollbackJournal;
    exec(db, QStringLiteral("PRAGMA synchronous=FULL"));
    exec(db, QStringLiteral("PRAGMA busy_timeout=%1").arg(m_profile.busyTimeoutMs));
    exec(db, QStringLiteral("PRAGMA foreign_keys=ON"));
}

QSqlDatabase Connection::database() const
{
    return QSqlDatabase::database(m_qtName, false);
}

QString Connection::sqliteFilePath() const
{
    return QDir(m_profile.dataDirectory).filePath(m_fileName);
}

void Connection::flush()
{
    if (!m_wal || m_depth > 0)
        return;
    QSqlDatabase db = database();
    exec(db, QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
}

void Connection::begin()
{
    if (m_depth++ > 0)
        return;
    m_rollbackOnly = false;
    QSqlDatabase db = database();
    // IMMEDIATE takes the write lock up front, so a busy database waits here (bounded by the
    // busy timeout) instead of failing half-way through the group.
    if (m_dialect->name() == QLatin1String("SQLITE"))
        exec(db, QStringLiteral("BEGIN IMMEDIATE"));
    else if (!db.transaction())
        throwSqlError(QStringLiteral("A transaction could not be started"), db.lastError(), {});
}

void Connection::commit()
{
    if (m_depth == 0)
        throw DatabaseError(QStringLiteral("Commit without a transaction."));
    if (--m_depth > 0)
        return;
    QSqlDatabase db = database();
    if (m_rollbackOnly) {
        db.rollback();
        throw DatabaseError(QStringLiteral("The transaction was rolled back by an inner failure."));
    }
    if (!db.commit()) {
        const QSqlError error = db.lastError();
        db.rollback();
        throwSqlError(QStringLiteral("The changes could not be stored"), error, {});
    }
}

void Connection::rollback()
{
    if (m_depth == 0)
        return;
    if (--m_depth > 0) {
        m_rollbackOnly = true;
        return;
    }
    database().rollback();
}

} // namespace db
