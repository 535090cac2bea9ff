#pragma once

#include "db/Dialect.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <memory>

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
    int busyTimeoutMs = 10000; // how long a write waits for another workstation
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

    // How long a statement waits for a lock held by another workstation before it fails
    // with LockTimeout (the profile's busy timeout unless changed here).
    void setLockWait(int milliseconds);

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

    ConnectionProfile m_profile;
    QString m_qtName;
    QSqlDatabase m_db;
    std::unique_ptr<QSqlQuery> m_beginStatement;
    std::unique_ptr<QSqlQuery> m_commitStatement;
    std::unique_ptr<Dialect> m_dialect;
    QString m_fileName;
    bool m_wal = false;
    int m_depth = 0;
    bool m_rollbackOnly = false;
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
