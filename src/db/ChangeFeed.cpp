#include "db/ChangeFeed.h"

#include "db/Connection.h"
#include "db/Errors.h"
#include "db/Query.h"

#include <QSqlDriver>
#include <QSqlError>

#include <algorithm>

namespace db {
namespace changefeed {
namespace {

const char* const kSqliteEvents[] = {"INSERT", "UPDATE", "DELETE"};

QString sqliteTriggerName(const QString& table, const char* event)
{
    return QStringLiteral("%1_changed_%2").arg(table, QString::fromLatin1(event).toLower());
}

QString postgresTriggerName(const QString& table)
{
    return table + QStringLiteral("_changed");
}

QString literal(QString text)
{
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

} // namespace

QSet<QString> fedTables(const Connection& connection)
{
    QSet<QString> fed;
    if (connection.isSqlite()) {
        if (!Query(connection, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = :name"))
                 .bind(QStringLiteral("name"), QString::fromLatin1(kCounterTable))
                 .scalar()
                 .isValid())
            return fed;
        QSet<QString> triggers;
        Query names(connection, QStringLiteral("SELECT lower(name) FROM sqlite_master WHERE type = 'trigger'"));
        names.exec();
        while (names.next())
            triggers.insert(names.value(0).toString());
        Query counters(connection, QStringLiteral("SELECT TableName FROM %1").arg(Dialect::quoted(QString::fromLatin1(kCounterTable))));
        counters.exec();
        while (counters.next()) {
            const QString table = counters.value(0).toString();
            const bool complete = std::all_of(std::begin(kSqliteEvents), std::end(kSqliteEvents),
                [&](const char* event) { return triggers.contains(sqliteTriggerName(table, event).toLower()); });
            if (complete)
                fed.insert(table.toLower());
        }
        return fed;
    }
    Query triggers(connection,
        QStringLiteral("SELECT c.relname FROM pg_trigger t JOIN pg_class c ON c.oid = t.tgrelid "
                       "JOIN pg_namespace n ON n.oid = c.relnamespace "
                       "WHERE n.nspname = current_schema() AND t.tgname = c.relname || '_changed' AND NOT t.tgisinternal"));
    triggers.exec();
    while (triggers.next())
        fed.insert(triggers.value(0).toString().toLower());
    return fed;
}

void install(Connection& connection, const QStringList& tables)
{
    TransactionGuard transaction(connection);
    if (connection.isSqlite()) {
        const QString counters = Dialect::quoted(QString::fromLatin1(kCounterTable));
        Query::run(connection,
            QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (TableName VARCHAR(64) PRIMARY KEY, Changes INTEGER NOT NULL DEFAULT 0)").arg(counters));
        Query row(connection, QStringLiteral("INSERT OR IGNORE INTO %1 (TableName, Changes) VALUES (:table, 0)").arg(counters));
        for (const QString& table : tables) {
            row.bind(QStringLiteral("table"), table).exec();
            for (const char* event : kSqliteEvents) {
                Query::run(connection,
                    QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1 AFTER %2 ON %3 BEGIN UPDATE %4 SET Changes = Changes + 1 WHERE TableName = %5; END")
                        .arg(Dialect::quoted(sqliteTriggerName(table, event)), QString::fromLatin1(event), Dialect::quoted(table), counters,
                            literal(table)));
            }
        }
    } else {
        // NOTIFY is delivered at commit and dropped with a rollback: listeners hear of a change
        // exactly when it can be read. One notice per table and transaction, as the server
        // folds repeats; it names the writer's server process, so a workstation knows its own.
        Query::run(connection,
            QStringLiteral("CREATE OR REPLACE FUNCTION orvane_table_changed() RETURNS trigger LANGUAGE plpgsql AS "
                           "$$ BEGIN PERFORM pg_notify('%1', TG_TABLE_NAME || ' ' || pg_backend_pid()); RETURN NULL; END $$")
                .arg(QString::fromLatin1(kChannel)));
        const QSet<QString> fed = fedTables(connection);
        for (const QString& table : tables) {
            if (fed.contains(table.toLower()))
                continue;
            Query::run(connection,
                QStringLiteral("CREATE TRIGGER %1 AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON %2 FOR EACH STATEMENT EXECUTE FUNCTION "
                               "orvane_table_changed()")
                    .arg(Dialect::quoted(postgresTriggerName(table)), Dialect::quoted(table)));
        }
    }
    transaction.commit();
    connection.setCountedTables(fedTables(connection));
}

QStringList problems(const Connection& connection, const QStringList& tables)
{
    const QSet<QString> fed = fedTables(connection);
    QStringList missing;
    for (const QString& table : tables) {
        if (!fed.contains(table.toLower()))
            missing.append(table);
    }
    return missing;
}

} // namespace changefeed

ChangeWatcher::ChangeWatcher(Connection& connection, QStringList tables, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
{
    for (const QString& table : std::as_const(tables))
        m_byLowerName.insert(table.toLower(), table);
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ChangeWatcher::poll);
    m_heartbeat.setTimerType(Qt::CoarseTimer);
    m_heartbeat.setSingleShot(false);
    connect(&m_heartbeat, &QTimer::timeout, this, [this] {
        if (m_serverLost)
            tryServerAgain();
        else
            checkServer();
    });
}

void ChangeWatcher::listen()
{
    // A connection of its own that runs no statements but the heartbeat: a result left unread
    // on the data connection would hold back the notices behind it.
    m_ownProcess = Query(m_connection, QStringLiteral("SELECT pg_backend_pid()")).scalar().toLongLong();
    ConnectionProfile profile = m_connection.profile();
    profile.name += QStringLiteral("-listener");
    m_listener.reset();
    m_listener = Connection::open(profile);
    QSqlDriver* driver = m_listener->database().driver();
    if (!driver->subscribeToNotification(QString::fromLatin1(changefeed::kChannel)))
        throw DatabaseError(QStringLiteral("The server does not pass on other workstations' changes: %1")
                                .arg(driver->lastError().text()));
    connect(driver, &QSqlDriver::notification, this,
        [this](const QString& name, QSqlDriver::NotificationSource, const QVariant& payload) {
            const QStringList parts = payload.toString().split(QLatin1Char(' '));
            notified(name, parts.value(0), parts.value(1).toLongLong() == m_ownProcess);
        });
}

void ChangeWatcher::checkServer()
{
    if (!m_listener)
        return;
    QSqlQuery beat(m_listener->database());
    if (beat.exec(QStringLiteral("SELECT 1")))
        return;
    // Gone: its notices are lost with it, so what others change now is learnt on return.
    m_serverLost = true;
    m_retryMs = kHeartbeatMs;
    emit serverAvailabilityChanged(false);
}

void ChangeWatcher::tryServerAgain()
{
    if (m_connection.inTransaction())
        return; // a statement waiting for the server ends first
    try {
        if (!m_connection.reconnect() || (m_reconnectOthers && !m_reconnectOthers()))
            throw DatabaseError(QStringLiteral("The server does not answer yet."));
        listen();
    } catch (const DatabaseError&) {
        m_listener.reset();
        // Bounded: ever longer pauses, up to half a minute, while the server stays away.
        m_retryMs = std::min(m_retryMs * 2, kLongestRetryMs);
        m_heartbeat.start(m_retryMs);
        return;
    }
    m_serverLost = false;
    m_heartbeat.start(kHeartbeatMs);
    emit serverAvailabilityChanged(true);
    emit tablesChanged(QStringList(m_byLowerName.cbegin(), m_byLowerName.cend()));
}

ChangeWatcher::~ChangeWatcher()
{
    stop();
}

bool ChangeWatcher::start(int pollMs)
{
    stop();
    const QStringList missing = changefeed::problems(m_connection, m_byLowerName.values());
    for (const QString& table : missing)
        m_byLowerName.remove(table.toLower());
    if (m_byLowerName.isEmpty())
        return false;
    if (m_connection.isSqlite()) {
        const Connection::ChangeMark mark = m_connection.changeMark();
        m_dataVersion = mark.dataVersion;
        m_ownChanges = mark.totalChanges;
        readCounters(false);
        m_timer.start(pollMs);
    } else {
        listen();
        m_heartbeat.start(kHeartbeatMs);
    }
    m_watching = true;
    return true;
}

void ChangeWatcher::stop()
{
    if (!m_watching)
        return;
    m_watching = false;
    m_timer.stop();
    m_heartbeat.stop();
    m_listener.reset();
}

void ChangeWatcher::poll()
{
    if (!m_watching || !m_connection.isSqlite() || m_connection.inTransaction())
        return;
    ++m_polls;
    // data_version moves only with other connections' commits; total_changes with ours.
    const Connection::ChangeMark before = m_connection.changeMark();
    if (!before.isValid())
        return;
    if (before.dataVersion != m_dataVersion) {
        m_dataVersion = before.dataVersion;
        m_ownChanges = before.totalChanges;
        readCounters(true);
        return;
    }
    if (before.totalChanges == m_ownChanges)
        return;
    // Only our own writes moved the counters, unless someone committed while we read them:
    // then what moved is reported, ours included, rather than lose theirs.
    m_ownChanges = before.totalChanges;
    QHash<QString, qint64> previous = m_counters;
    readCounters(false);
    const Connection::ChangeMark after = m_connection.changeMark();
    if (after.isValid() && after.dataVersion != m_dataVersion) {
        m_dataVersion = after.dataVersion;
        m_counters = std::move(previous);
        readCounters(true);
    }
}

void ChangeWatcher::readCounters(bool report)
{
    Query counters(m_connection, QStringLiteral("SELECT TableName, Changes FROM %1").arg(Dialect::quoted(QString::fromLatin1(changefeed::kCounterTable))));
    counters.exec();
    QStringList changed;
    while (counters.next()) {
        const QString lower = counters.value(0).toString().toLower();
        const auto name = m_byLowerName.constFind(lower);
        if (name == m_byLowerName.cend())
            continue;
        const qint64 count = counters.value(1).toLongLong();
        auto known = m_counters.find(lower);
        if (known == m_counters.end()) {
            m_counters.insert(lower, count);
            continue;
        }
        if (*known != count) {
            *known = count;
            changed.append(*name);
        }
    }
    counters.finish();
    if (report && !changed.isEmpty())
        emit tablesChanged(changed);
}

void ChangeWatcher::notified(const QString& channel, const QString& table, bool fromHere)
{
    if (fromHere || channel.compare(QLatin1String(changefeed::kChannel), Qt::CaseInsensitive) != 0)
        return;
    if (!m_byLowerName.contains(table.toLower()))
        return;
    // The tables of one commit arrive one by one: report them together.
    if (m_notified.isEmpty())
        QTimer::singleShot(0, this, &ChangeWatcher::flushNotified);
    m_notified.insert(m_byLowerName.value(table.toLower()));
}

void ChangeWatcher::flushNotified()
{
    if (m_notified.isEmpty())
        return;
    const QStringList tables(m_notified.cbegin(), m_notified.cend());
    m_notified.clear();
    emit tablesChanged(tables);
}

} // namespace db
