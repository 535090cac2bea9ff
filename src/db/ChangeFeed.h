#pragma once

#include <QObject>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <memory>

namespace db {

class Connection;

// What lets every workstation learn which tables the others changed, kept by the database
// itself so that every writer is seen, plain statements included:
// - SQLite: a small table of change counters, one row per table, that triggers count up at
//   every row written; a watcher looks at it when PRAGMA data_version says another connection
//   committed.
// - PostgreSQL: a statement trigger on every table sends NOTIFY with the table's name, which
//   the server delivers when (and only when) the change commits.
namespace changefeed {
inline constexpr const char* kCounterTable = "TableChanges";
inline constexpr const char* kChannel = "orvane_changes";

// Sets the feed up for `tables`, leaving what is there already: a new database and the
// repair command call it.
void install(Connection& connection, const QStringList& tables);
// What of the feed is missing for `tables`, one sentence each; empty when complete.
QStringList problems(const Connection& connection, const QStringList& tables);
// The tables, by lower-case name, whose feed is complete.
QSet<QString> fedTables(const Connection& connection);
} // namespace changefeed

// Tells which tables other workstations changed, within about `pollMs` on SQLite and at once
// on PostgreSQL. Changes this connection made are not reported (SQLite: not where nobody
// else wrote meanwhile). Reports nothing while the connection is inside a transaction; they
// come after it.
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

signals:
    // Names as the tables were given; reported once per batch of changes.
    void tablesChanged(const QStringList& tables);

private:
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
};

} // namespace db
