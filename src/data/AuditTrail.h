#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace db {
class Connection;
}

namespace data {

// Who changed which row of the clinical and financial tables, when, from which workstation, and
// each changed field's old and new value. Written by the connection's row audit, inside the
// transaction of the change, so that a rolled-back change leaves no entry either.
class AuditTrail {
public:
    static constexpr const char* kTable = "AuditTrail";
    // The tables whose every post and delete is recorded.
    static const QStringList& auditedTables();

    // Makes the table when missing and starts recording on `connection` until destroyed.
    // A connection opened for reading only records nothing (it writes nothing either).
    explicit AuditTrail(db::Connection& connection);
    ~AuditTrail();
    AuditTrail(const AuditTrail&) = delete;
    AuditTrail& operator=(const AuditTrail&) = delete;

    struct Entry {
        QString changedAt; // ISO date and time, local
        QString user;
        QString workstation;
        QString table;
        qint64 row = 0; // the row's locator
        std::optional<qint64> patientId;
        QChar action; // 'I' insert, 'U' update, 'D' delete
        QString changes; // JSON: {"field": [old, new], ...}
    };
    struct Filter {
        std::optional<qint64> patientId;
        QString user; // empty: everyone
        QString table; // empty: every table
        QDate from; // null: open
        QDate to;
    };
    // Newest first.
    static QList<Entry> read(db::Connection& connection, const Filter& filter);
    // One header line, then one line per entry; fields quoted where needed.
    static QString toCsv(const QList<Entry>& entries);

private:
    struct Writer;
    db::Connection& m_connection;
    std::unique_ptr<Writer> m_writer;
};

} // namespace data
