#pragma once

#include "db/Dialect.h"
#include "db/PracticePresence.h"

#include <QSqlDatabase>
#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace db {

// A named connection profile: the alias of the older platform.
struct ConnectionProfile {
    enum class Driver { SQLite, PostgreSQL };
    QString name;
    Driver driver = Driver::SQLite;
    QString dataDirectory; // SQLite: the directory holding the database file
    // SQLite: other workstations reach this directory over the network (the server of a
    // multi-user set-up) although it is local here; it then needs the rollback journal too.
    bool sharedDirectory = false;
    QString host; // PostgreSQL
    int port = 5432;
    QString database;
    QString user;
    QString password;
    QString service; // PostgreSQL: a service of pg_service.conf, in place of host and port
    int busyTimeoutMs = 10000; // how long a write waits for another workstation
    bool readOnly = false; // SQLite: open the file for reading only (a check), whatever may be written

    // A data location as the command line and the settings write it: a directory (SQLite) or a
    // server address postgresql://user@host:port/dbname (?host=/dir names a socket directory,
    // ?service=NAME a service). The password is never part of it: the PostgreSQL client library
    // takes it from PGPASSWORD, ~/.pgpass or the service file.
    static bool isServerLocation(const QString& location);
    static ConnectionProfile fromLocation(const QString& location, const QString& name = QStringLiteral("data"));
    // The location again, for messages and settings.
    QString location() const;
};

// One open database connection with its dialect. Owns the Qt SQL connection name.
class Connection {
public:
    static constexpr const char* kSqliteFileName = "PallavorDB.sqlite";
    static constexpr const char* kSqliteGeneratorFileName = "PallavorGen.sqlite";

    // Opens (and for SQLite creates) the database of the profile. Throws DatabaseError.
    static std::unique_ptr<Connection> open(const ConnectionProfile& profile);
    // A second, independent connection for the identifier generators (see Generators.h):
    // with SQLite a file of its own beside the database, with PostgreSQL the same database.
    static std::unique_ptr<Connection> openGeneratorStore(const ConnectionProfile& profile);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QSqlDatabase database() const { return m_db; }
    const Dialect& dialect() const { return *m_dialect; }
    const ConnectionProfile& profile() const { return m_profile; }
    QString sqliteFilePath() const;

    // Nested transactions collapse into the outermost one. SQLite takes the write lock at
    // once; begin() throws LockTimeout when the lock wait ran out, tryBegin() returns false.
    void begin();
    bool tryBegin();
    void commit();
    void rollback();
    bool inTransaction() const { return m_depth > 0; }
    bool usesWal() const { return m_wal; }
    bool isSqlite() const { return m_profile.driver == ConnectionProfile::Driver::SQLite; }
    // SQLite: the file or its folder may not be written by this user; the file was opened for
    // reading only and every write fails.
    bool isReadOnly() const { return m_readOnly; }

    // Where the database stands, to tell later whether anything changed since: by another
    // workstation, by this connection, in the schema. Not valid with PostgreSQL, nor inside a
    // transaction (which may still be rolled back).
    struct ChangeMark {
        qint64 dataVersion = -1; // moves with other connections' commits
        qint64 schemaVersion = -1;
        qint64 totalChanges = -1; // rows written by this connection, rolled back ones too
        quint64 generation = 0; // of the log of written rows
        qsizetype logged = 0; // rows in that log
        bool isValid() const { return dataVersion >= 0; }
        bool operator==(const ChangeMark&) const = default;
    };
    ChangeMark changeMark();

    // Single rows written through db::rowwriter are kept in a short log, so that a view can
    // follow our own writes without reading its rows again when nothing else changed.
    struct WrittenRow {
        enum class Kind { Insert, Update, Delete };
        Kind kind;
        QString table;
        qint64 locator;
        QStringList columns;
        QList<QVariant> original; // updates: the row as it was read
        QList<QVariant> values;
    };
    void noteWritten(WrittenRow row);
    // Called for every row written through db::rowwriter, inside the transaction of the write,
    // with the row as read (`original`; a delete's whole row) and as written (`values`). What
    // it throws rolls the write back with everything else of its transaction.
    using RowAudit = std::function<void(const WrittenRow& row)>;
    void setRowAudit(RowAudit audit) { m_rowAudit = std::move(audit); }
    const RowAudit& rowAudit() const { return m_rowAudit; }
    // The rows written since `mark` when they are everything that changed since: nothing from
    // another workstation, no write that is not in the log, nothing rolled back.
    std::optional<QList<WrittenRow>> writtenSince(const ChangeMark& mark);
    // Where the log stands, to take the rows written after it by this connection alone
    // (what a transaction of ours just committed); nothing when the log was cut meanwhile.
    struct LogPosition {
        quint64 generation = 0;
        qsizetype logged = 0;
    };
    LogPosition logPosition() const { return {m_writtenGeneration, m_written.size()}; }
    std::optional<QList<WrittenRow>> writtenAfter(const LogPosition& position) const;

    // SQLite: the tables whose rows the change feed counts (ChangeFeed.h), by lower-case name.
    // Its triggers write a row of their own for every row written there, which the log of
    // written rows must allow for.
    void setCountedTables(QSet<QString> lowerNames) { m_countedTables = std::move(lowerNames); }

    // A statement prepared once and kept for the life of the connection (the single-row writes):
    // on a server a statement prepared anew costs two more round trips than one run again.
    // Runs one at a time: bind, exec and finish() before the next use.
    std::shared_ptr<QSqlQuery> keptStatement(const QString& sql);

    // How long a statement waits for a lock held by another workstation before it fails
    // with LockTimeout (the profile's busy timeout unless changed here).
    void setLockWait(int milliseconds);

    // PostgreSQL: opens the connection again after the server went away (a restart); statements
    // prepared before are prepared again when next used (generation() tells they must be).
    // False while the server does not answer. The outermost begin() tries it once by itself.
    bool reconnect();
    quint64 generation() const { return m_generation; }

    // Makes every committed change durable in the database file itself (the engine's
    // "save to disk"). Commits are already durable (WAL with synchronous=FULL, the rollback
    // journal, PostgreSQL); in WAL mode this also copies the log into the database file
    // without waiting for anyone, so that a file-level backup of the directory sees it.
    // Does nothing inside a transaction.
    void flush();

private:
    Connection(ConnectionProfile profile, QString qtName, std::unique_ptr<Dialect> dialect);
    static std::unique_ptr<Connection> openFile(const ConnectionProfile& profile, const QString& fileName);
    void configureSqlite(bool rollbackJournal);
    bool execPrepared(std::unique_ptr<QSqlQuery>& statement, const QString& sql);
    void forgetWritten();
    qint64 changesOf(qsizetype from) const; // what the rows logged from `from` on count in total_changes()

    ConnectionProfile m_profile;
    QString m_qtName;
    QSqlDatabase m_db;
    std::unique_ptr<QSqlQuery> m_beginStatement;
    std::unique_ptr<QSqlQuery> m_commitStatement;
    std::unique_ptr<QSqlQuery> m_changeMarkStatement;
    QList<WrittenRow> m_written;
    QSet<QString> m_countedTables;
    QHash<QString, std::shared_ptr<QSqlQuery>> m_keptStatements;
    quint64 m_writtenGeneration = 0;
    std::unique_ptr<Dialect> m_dialect;
    RowAudit m_rowAudit;
    QString m_fileName;
    bool m_wal = false;
    bool m_readOnly = false;
    std::unique_ptr<PracticePresence> m_presence; // SQLite: this workstation has the practice open
    int m_depth = 0;
    bool m_rollbackOnly = false;
    quint64 m_generation = 0;
};

// Rolls back in its destructor unless committed: one funnel for every multi-statement write.
class TransactionGuard {
public:
    explicit TransactionGuard(Connection& connection)
        : m_connection(connection)
    {
        m_connection.begin();
    }
    // Takes over a transaction that tryBegin() has just started.
    struct Begun {};
    TransactionGuard(Connection& connection, Begun)
        : m_connection(connection)
    {
    }
    ~TransactionGuard()
    {
        if (!m_done)
            m_connection.rollback();
    }
    void commit()
    {
        m_done = true;
        m_connection.commit();
    }
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;

private:
    Connection& m_connection;
    bool m_done = false;
};

} // namespace db
