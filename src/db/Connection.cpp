#include "db/Connection.h"

#include "db/ChangeFeed.h"
#include "db/Errors.h"
#include "db/ServerUnavailable.h"
#include "platform/DriveType.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QUrlQuery>
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

bool ConnectionProfile::isServerLocation(const QString& location)
{
    return location.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || location.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

ConnectionProfile ConnectionProfile::fromLocation(const QString& location, const QString& name)
{
    ConnectionProfile profile;
    profile.name = name;
    if (!isServerLocation(location)) {
        profile.dataDirectory = location;
        return profile;
    }
    const QUrl url(location);
    if (!url.isValid())
        throw DatabaseError(QStringLiteral("%1 is not a database address: write postgresql://user@host:port/database.").arg(location));
    const QUrlQuery query(url);
    profile.driver = Driver::PostgreSQL;
    profile.host = query.hasQueryItem(QStringLiteral("host")) ? query.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded) : url.host();
    profile.port = query.hasQueryItem(QStringLiteral("port")) ? query.queryItemValue(QStringLiteral("port")).toInt() : url.port(5432);
    profile.user = url.userName(QUrl::FullyDecoded);
    profile.database = url.path(QUrl::FullyDecoded).mid(1);
    profile.service = query.queryItemValue(QStringLiteral("service"), QUrl::FullyDecoded);
    if (profile.database.isEmpty() && profile.service.isEmpty())
        throw DatabaseError(QStringLiteral("The address %1 names no database: write postgresql://user@host:port/database.").arg(location));
    return profile;
}

QString ConnectionProfile::location() const
{
    if (driver == Driver::SQLite)
        return dataDirectory;
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setUserName(user);
    QUrlQuery query;
    if (host.startsWith(QLatin1Char('/')))
        query.addQueryItem(QStringLiteral("host"), host);
    else
        url.setHost(host);
    if (port != 5432) {
        if (host.startsWith(QLatin1Char('/')))
            query.addQueryItem(QStringLiteral("port"), QString::number(port));
        else
            url.setPort(port);
    }
    if (!service.isEmpty())
        query.addQueryItem(QStringLiteral("service"), service);
    url.setPath(QLatin1Char('/') + database);
    url.setQuery(query);
    return url.toString();
}

Connection::Connection(ConnectionProfile profile, QString qtName, std::unique_ptr<Dialect> dialect)
    : m_profile(std::move(profile))
    , m_qtName(std::move(qtName))
    , m_dialect(std::move(dialect))
{
}

namespace {

// Each reconnection opens a session under a Qt connection name of its own.
QString sessionName(const QString& first, quint64 session)
{
    return session == 0 ? first : QStringLiteral("%1#%2").arg(first).arg(session);
}

} // namespace

Connection::~Connection()
{
    m_beginStatement.reset();
    m_commitStatement.reset();
    m_changeMarkStatement.reset();
    m_keptStatements.clear();
    if (m_db.isOpen())
        m_db.close();
    m_db = QSqlDatabase();
    // The sessions before a reconnection are named after the first.
    for (quint64 session = 0; session <= m_generation; ++session)
        QSqlDatabase::removeDatabase(sessionName(m_qtName, session));
}

// SQLite's transaction statements, prepared once: a generator waiting for another
// workstation tries to begin many times a second.
bool Connection::execPrepared(std::unique_ptr<QSqlQuery>& statement, const QString& sql)
{
    if (!statement) {
        statement = std::make_unique<QSqlQuery>(m_db);
        if (!statement->prepare(sql))
            throwSqlError(QStringLiteral("The database refused a statement"), statement->lastError(), sql);
    }
    return statement->exec();
}

std::unique_ptr<Connection> Connection::open(const ConnectionProfile& profile)
{
    return openFile(profile, QString::fromLatin1(kSqliteFileName));
}

std::unique_ptr<Connection> Connection::openGeneratorStore(const ConnectionProfile& profile)
{
    auto store = openFile(profile, QString::fromLatin1(kSqliteGeneratorFileName));
    // Every number is a commit of its own: waiting for the disk each time would cost more
    // than the row that uses it. A committed number is seen by every workstation at once and
    // survives the program being killed (the log is in the system's cache); only a power cut
    // can lose the last few, and the start moves every series behind the numbers in use.
    if (store->usesWal()) {
        QSqlDatabase db = store->database();
        exec(db, QStringLiteral("PRAGMA synchronous=NORMAL"));
    }
    return store;
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
    connection->m_db = db;
    if (sqlite) {
        if (!QDir(profile.dataDirectory).exists())
            throw DatabaseError(QStringLiteral("The data directory %1 does not exist.").arg(profile.dataDirectory));
        const QString file = connection->sqliteFilePath();
        const QFileInfo folder(profile.dataDirectory);
        const bool folderWritable = folder.isWritable();
        // A file or folder closed to writing (a read-only share, a copy on a CD, permissions) is
        // read as it is: nothing is written to it, not even a journal.
        connection->m_readOnly = QFileInfo::exists(file) && (profile.readOnly || !QFileInfo(file).isWritable() || !folderWritable);
        if (!connection->m_readOnly)
            connection->m_presence
                = std::make_unique<PracticePresence>(profile.dataDirectory, PracticePresence::Mode::Shared);
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(profile.busyTimeoutMs);
        if (connection->m_readOnly) {
            // Without a writable folder no reader can leave a journal or lock file there, so
            // the file cannot change under us.
            const QString uri = QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)
                + (folderWritable ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=ro&immutable=1"));
            db.setDatabaseName(uri);
            options += QStringLiteral(";QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI");
        } else {
            db.setDatabaseName(file);
        }
        db.setConnectOptions(options);
    } else {
        db.setHostName(profile.host);
        db.setPort(profile.port);
        db.setDatabaseName(profile.database);
        db.setUserName(profile.user);
        db.setPassword(profile.password);
        // Bounded: an unreachable server is an error after some seconds, never a hang; a server
        // that goes away while a statement waits for it is given up after half a minute.
        QString options = QStringLiteral("connect_timeout=10;keepalives=1;keepalives_idle=10;keepalives_interval=5;keepalives_count=3;"
                                         "tcp_user_timeout=30000");
        if (!profile.service.isEmpty())
            options += QStringLiteral(";service=") + profile.service;
        db.setConnectOptions(options);
    }
    if (!db.open()) {
        if (!sqlite)
            throw ServerUnavailable(QStringLiteral("Cannot reach the database %1").arg(profile.location()),
                db.lastError().text());
        throwSqlError(QStringLiteral("Cannot open the database"), db.lastError(), {});
    }
    if (sqlite && connection->m_readOnly) {
        QSqlQuery check(db); // the engine reads the file only now: a damaged one fails here
        if (!check.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")))
            throwSqlError(QStringLiteral("Cannot open the database"), check.lastError(), {});
        connection->setLockWait(profile.busyTimeoutMs);
    } else if (sqlite) {
        connection->configureSqlite(profile.sharedDirectory || platform::isNetworkPath(profile.dataDirectory));
        if (fileName == QLatin1String(kSqliteFileName))
            connection->m_countedTables = changefeed::fedTables(*connection);
    }
    else
        connection->setLockWait(profile.busyTimeoutMs);
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
    setLockWait(m_profile.busyTimeoutMs);
    exec(db, QStringLiteral("PRAGMA foreign_keys=ON"));
}


QString Connection::sqliteFilePath() const
{
    return QDir(m_profile.dataDirectory).filePath(m_fileName);
}

void Connection::setLockWait(int milliseconds)
{
    QSqlDatabase db = database();
    exec(db, isSqlite() ? QStringLiteral("PRAGMA busy_timeout=%1").arg(milliseconds) : QStringLiteral("SET lock_timeout = %1").arg(milliseconds));
}

void Connection::flush()
{
    if (!m_wal || m_depth > 0)
        return;
    QSqlDatabase db = database();
    exec(db, QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
}

Connection::ChangeMark Connection::changeMark()
{
    if (!isSqlite() || m_depth > 0)
        return {};
    if (!execPrepared(m_changeMarkStatement,
            QStringLiteral("SELECT (SELECT data_version FROM pragma_data_version), (SELECT schema_version "
                           "FROM pragma_schema_version), total_changes()"))
        || !m_changeMarkStatement->next())
        return {};
    ChangeMark mark { m_changeMarkStatement->value(0).toLongLong(),
        m_changeMarkStatement->value(1).toLongLong(), m_changeMarkStatement->value(2).toLongLong(),
        m_writtenGeneration, m_written.size() };
    m_changeMarkStatement->finish();
    return mark;
}

void Connection::noteWritten(WrittenRow row)
{
    constexpr qsizetype kLogged = 256; // a view further behind reads its rows again
    if (m_written.size() >= kLogged)
        forgetWritten();
    m_written.append(std::move(row));
}

void Connection::forgetWritten()
{
    m_written.clear();
    ++m_writtenGeneration;
}

std::optional<QList<Connection::WrittenRow>> Connection::writtenSince(const ChangeMark& mark)
{
    if (!mark.isValid() || mark.generation != m_writtenGeneration)
        return std::nullopt;
    const ChangeMark now = changeMark();
    if (!now.isValid() || now.dataVersion != mark.dataVersion || now.schemaVersion != mark.schemaVersion
        || now.totalChanges - mark.totalChanges != changesOf(mark.logged))
        return std::nullopt;
    return m_written.mid(mark.logged);
}

std::shared_ptr<QSqlQuery> Connection::keptStatement(const QString& sql)
{
    constexpr qsizetype kKept = 64; // the updates of changed columns vary; a few tables' worth
    auto found = m_keptStatements.find(sql);
    if (found != m_keptStatements.end())
        return *found;
    if (m_keptStatements.size() >= kKept)
        m_keptStatements.clear();
    auto statement = std::make_shared<QSqlQuery>(m_db);
    if (!statement->prepare(m_dialect->adapt(sql)))
        throwSqlError(QStringLiteral("The database refused a statement"), statement->lastError(), sql);
    m_keptStatements.insert(sql, statement);
    return statement;
}

qint64 Connection::changesOf(qsizetype from) const
{
    qint64 changes = 0;
    for (qsizetype i = from; i < m_written.size(); ++i)
        changes += m_countedTables.contains(m_written[i].table.toLower()) ? 2 : 1;
    return changes;
}

std::optional<QList<Connection::WrittenRow>> Connection::writtenAfter(const LogPosition& position) const
{
    if (position.generation != m_writtenGeneration)
        return std::nullopt;
    return m_written.mid(position.logged);
}

void Connection::begin()
{
    if (!tryBegin())
        throw LockTimeout(QStringLiteral("Another workstation has held the data too long; please try again"));
}

bool Connection::tryBegin()
{
    if (m_depth > 0) {
        ++m_depth;
        return true;
    }
    QSqlDatabase db = database();
    if (isSqlite()) {
        // IMMEDIATE takes the write lock up front, so a busy database waits here (bounded by
        // the busy timeout) instead of failing half-way through the group.
        if (!execPrepared(m_beginStatement, QStringLiteral("BEGIN IMMEDIATE"))) {
            const QSqlError error = m_beginStatement->lastError();
            if (isLockError(error))
                return false;
            throwSqlError(QStringLiteral("A transaction could not be started"), error, m_beginStatement->lastQuery());
        }
    } else if (!db.transaction()) {
        // The server restarted since the last statement: nothing was begun, so open again once.
        if (!isConnectionLost(db.lastError()) || !reconnect() || !database().transaction())
            throwSqlError(QStringLiteral("A transaction could not be started"), database().lastError(), {});
    }
    m_depth = 1;
    m_rollbackOnly = false;
    return true;
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
        forgetWritten();
        throw DatabaseError(QStringLiteral("The transaction was rolled back by an inner failure."));
    }
    const bool committed = isSqlite() ? execPrepared(m_commitStatement, QStringLiteral("COMMIT")) : db.commit();
    if (!committed) {
        const QSqlError error = isSqlite() ? m_commitStatement->lastError() : db.lastError();
        db.rollback();
        forgetWritten();
        throwSqlError(QStringLiteral("The changes could not be stored"), error, {});
    }
}

bool Connection::reconnect()
{
    if (isSqlite())
        return true;
    if (m_depth > 0)
        return false; // the transaction ends first, with its failure
    // A new session under a name of its own: statements prepared on the old one end with it
    // and cannot touch the new one's. While the server is away the broken one stays current,
    // so that what runs on it meanwhile fails as a lost connection, not as a closed one.
    const QString name = sessionName(m_qtName, m_generation + 1);
    {
        QSqlDatabase next = QSqlDatabase::cloneDatabase(m_db, name);
        if (!next.open()) {
            next = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            return false;
        }
    }
    m_beginStatement.reset();
    m_commitStatement.reset();
    m_changeMarkStatement.reset();
    m_keptStatements.clear();
    forgetWritten();
    m_db.close();
    m_db = QSqlDatabase::database(name, false);
    ++m_generation;
    try {
        setLockWait(m_profile.busyTimeoutMs);
    } catch (const DatabaseError&) {
        return false;
    }
    return true;
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
    forgetWritten(); // what the log says was written is gone again
}

} // namespace db
