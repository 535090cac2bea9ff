#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <memory>
#include <optional>

namespace db {
class Connection;
}

namespace data::audittrail::chain {

// The entries of the audit trail form a chain: each carries the hash of the entry before it
// (PrevHash) and the SHA-256 of that hash and of its own content (EntryHash). A head row
// (AuditTrailHead) holds the number of entries and the last hash, so that entries deleted at
// the end, or the whole trail emptied or dropped, show as well. Whoever writes an entry holds
// the head until the change commits (the write lock on SQLite, the head row's lock on a
// server), which puts the workstations' entries in one order.

constexpr const char* kHead = "AuditTrailHead";

// The columns of an entry's content, in the order of its values.
const QStringList& contentColumns();

// The hash that follows `previous` for an entry of `content` (values in contentColumns() order).
QString linkHash(const QString& previous, const QVariantList& content);

// The trail's table, its head and its indexes, made when missing; a trail an older version
// wrote without hashes is chained in the order it was written. Runs in the open transaction,
// or in one of its own.
void makeTables(db::Connection& connection);

// Appends entries to the chain on one connection, inside the transaction of the change.
class Appender {
public:
    explicit Appender(db::Connection& connection);
    ~Appender();
    Appender(const Appender&) = delete;
    Appender& operator=(const Appender&) = delete;

    // Writes the entry linked after the head and moves the head on; db::DatabaseError when
    // that fails twice (the first failure may be a table that a rolled-back transaction took
    // with it: the tables are made again once).
    void append(const QVariantList& content);
    // Makes the tables and prepares the statements now rather than at the first entry.
    void prepare();

private:
    struct Statements;
    bool tryAppend(const QVariantList& content, QString* error);

    db::Connection& m_connection;
    std::unique_ptr<Statements> m_statements; // prepared at the first entry
};

// The head as stored; nothing when its table or row is missing.
struct Head {
    qint64 entries = 0;
    QString lastHash;
};
std::optional<Head> headOf(const db::Connection& connection);
// Whether the trail's table has the chain's columns (an older version wrote it without).
bool hasHashes(const db::Connection& connection);

// What is wrong with the chain, one sentence each naming the entry: changed, entries deleted
// before it, out of order, entries missing at the end, the trail emptied or dropped. Empty
// when it is whole or nothing was ever recorded. (AuditTrailCheck.cpp)
QStringList problems(const db::Connection& connection);

// For a copy of the practice, after its entries: the head goes with them.
void copyHead(const db::Connection& from, db::Connection& to);

} // namespace data::audittrail::chain
