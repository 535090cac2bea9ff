#pragma once

#include <QObject>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

namespace db {

class Connection;

// What lets every workstation learn which tables the others changed, kept by the database
// itself so that every writer is seen, plain statements included:
// - SQLite: a small table of change counters, one row per table, that triggers count up at
//   every row written; a watcher looks at it when PRAGMA data_version says another connection
//   committed.
// - PostgreSQL: a statement trigger on every table sends NOTIFY with the table's name and the
//   writer's server process, which the server delivers when (and only when) the change commits;
//   a watcher listens on a connection of its own.
namespace changefeed {
inline constexpr const char* kCounterTable = "TableChanges";
inline constexpr const char* kChannel = "orvane_changes";

// Sets the feed up for `tables`, leaving what is there already: a new database and the
// repair command call it.
void install(Connection& connection, const QStringList& tables);
// The tables among `tables` whose feed is missing or incomplete; empty when complete.
QStringList problems(const Connection& connection, const QStringList& tables);
// The tables, by lower-case name, whose feed is complete.
QSet<QString> fedTables(const Connection& connection);
} // namespace changefeed

// Tells which tables other workstations changed, within about `pollMs` on SQLite and at once
// on PostgreSQL. Changes this connection made are not reported (on SQLite they may be, when
// another workstation committed in the same moment). Reports nothing while the connection is
// inside a transaction; they come after it.
class ChangeWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kPollMs = 500;

    ChangeWatcher(Connection& connection, QStringList tables, QObject* parent = nullptr);
    ~ChangeWatcher() override;

    // Starts watching; false when the database carries no feed for any of the tables.
    bool start(int pollMs = kPollMs);
    void stop();
    bool isWatching() const { return m_watching; }

    // Looks at once (the timer calls it). SQLite only; on PostgreSQL the server tells.
    void poll();
    // How many times the database was asked so far (a measure of the idle cost).
    qint64 polls() const { return m_polls; }

    // PostgreSQL: how often the server is asked whether it still answers, and the longest
    // pause between attempts to reach it again once it stopped.
    static constexpr int kHeartbeatMs = 2000;
    static constexpr int kLongestRetryMs = 30000;
    // The owner's other connections to the same server, opened again with the data connection;
    // false leaves the server taken as still away.
    void setOtherConnections(std::function<bool()> reconnect) { m_reconnectOthers = std::move(reconnect); }

signals:
    // Names as the tables were given; reported once per batch of changes.
    void tablesChanged(const QStringList& tables);
    // PostgreSQL: the server stopped answering (false), or answers again (true): the
    // connections are open again and every table is then reported changed, since what others
    // did meanwhile went unannounced.
    void serverAvailabilityChanged(bool available);

private:
    void listen();
    void checkServer();
    void tryServerAgain();
    void readCounters(bool report);
    void notified(const QString& channel, const QString& table, bool fromHere);
    void flushNotified();

    Connection& m_connection;
    QHash<QString, QString> m_byLowerName; // lower-case name -> the name as given
    QHash<QString, qint64> m_counters;
    qint64 m_dataVersion = -1;
    qint64 m_ownChanges = -1;
    qint64 m_polls = 0;
    QTimer m_timer;
    QSet<QString> m_notified;
    bool m_watching = false;
    std::unique_ptr<Connection> m_listener; // PostgreSQL
    qint64 m_ownProcess = 0; // the server process of our connection
    QTimer m_heartbeat; // PostgreSQL
    bool m_serverLost = false;
    int m_retryMs = 0;
    std::function<bool()> m_reconnectOthers;
};

} // namespace db
