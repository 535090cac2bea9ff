#include "data/AuditTrail.h"

#include "data/AuditTrailChain.h"
#include "data/AuditTrailRows.h"
#include "data/schema/Schema.h"
#include "db/Connection.h"
#include "db/Errors.h"
#include "db/Field.h"
#include "db/Query.h"
#include "db/TableDef.h"
#include "platform/Session.h"

#include <QDateTime>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

#include <cmath>
#include <optional>
#include <QSysInfo>

namespace data {
namespace {

using Kind = db::Connection::WrittenRow::Kind;

// The changes are written as compact JSON text directly: a document built for every entry cost
// as much as storing the entry.
void appendJsonString(QString& out, const QString& text)
{
    out += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
}

void appendJsonValue(QString& out, const QVariant& value)
{
    if (value.isNull() || !value.isValid()) {
        out += QLatin1String("null");
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
        out += value.toBool() ? QLatin1String("true") : QLatin1String("false");
        return;
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        out += QString::number(value.toLongLong());
        return;
    case QMetaType::Float:
    case QMetaType::Double: {
        const double number = value.toDouble();
        out += std::isfinite(number) ? QString::number(number, 'g', QLocale::FloatingPointShortest)
                                     : QStringLiteral("null");
        return;
    }
    case QMetaType::QDate:
        appendJsonString(out, value.toDate().toString(Qt::ISODate));
        return;
    case QMetaType::QTime:
        appendJsonString(out, value.toTime().toString(Qt::ISODateWithMs));
        return;
    case QMetaType::QDateTime:
        appendJsonString(out, value.toDateTime().toString(Qt::ISODateWithMs));
        return;
    case QMetaType::QByteArray: // pictures: their size says enough
        appendJsonString(out, QStringLiteral("<%1 bytes>").arg(value.toByteArray().size()));
        return;
    default:
        appendJsonString(out, value.toString());
    }
}

bool differs(const QVariant& before, const QVariant& after)
{
    return before.isNull() != after.isNull() || before != after;
}

void exec(QSqlQuery& query, const QString& what)
{
    if (!query.exec())
        throw db::DatabaseError(what, query.lastError().text(), query.lastQuery());
}

// Entries of one millisecond keep the order they were written in: SQLite's rowid, a counted
// column on the server, where rows have no order of their own.
constexpr const char* kServerOrder = "EntryID";

// The rows `where` selects, whole and by their locators, as the data module reads them.
QList<db::Connection::WrittenRow> rowsOf(const db::Connection& connection, const db::TableDef& table,
    Kind kind, const QString& where, const QVariantMap& values)
{
    db::Connection::WrittenRow row { kind, table.name, 0, {}, {}, {} };
    QStringList selected { connection.dialect().rowLocator(table) };
    for (const db::FieldDef& field : table.fields) {
        row.columns << field.name;
        selected << db::Dialect::quoted(field.name);
    }
    db::Query select(connection,
        QStringLiteral("SELECT %1 FROM %2 WHERE %3")
            .arg(selected.join(QStringLiteral(", ")), db::Dialect::quoted(table.name), where));
    for (auto value = values.begin(); value != values.end(); ++value)
        select.bind(value.key(), value.value());
    select.exec();
    QList<db::Connection::WrittenRow> rows;
    while (select.next()) {
        row.locator = select.value(0).toLongLong();
        row.original.clear();
        for (int i = 0; i < table.fields.size(); ++i)
            row.original << db::Field::fromStorage(select.value(i + 1), table.fields[i].type);
        rows << row;
    }
    return rows;
}

void recordStatement(db::Connection& connection, const QString& tableName, Kind kind, const QString& where,
    const QVariantMap& values, const QVariantMap& set, const std::function<void()>& write)
{
    const db::TableDef* table = schemaTable(tableName);
    if (!connection.rowAudit() || !table
        || !AuditTrail::auditedTables().contains(tableName, Qt::CaseInsensitive)) {
        write();
        return;
    }
    QList<db::Connection::WrittenRow> rows = rowsOf(connection, *table, kind, where, values);
    write();
    for (db::Connection::WrittenRow& row : rows) {
        if (kind == Kind::Update) {
            row.values = row.original;
            for (auto value = set.begin(); value != set.end(); ++value) {
                for (int i = 0; i < table->fields.size(); ++i) {
                    if (table->fields[i].name.compare(value.key(), Qt::CaseInsensitive) == 0)
                        row.values[i] = db::Field::fromStorage(value.value(), table->fields[i].type);
                }
            }
            if (row.values == row.original)
                continue;
        }
        connection.rowAudit()(row);
    }
}

} // namespace

namespace audittrail {

QString writtenOrder(const db::Connection& connection)
{
    return connection.isSqlite() ? QStringLiteral("rowid") : QString::fromLatin1(kServerOrder);
}

const db::TableDef& copiedColumns()
{
    // RowLocator is a BIGINT; the copy reads and compares it as a whole number all the same.
    static const db::TableDef table { QString::fromLatin1(AuditTrail::kTable),
        { db::str(QStringLiteral("ChangedAt"), 23), db::str(QStringLiteral("UserName"), 40),
            db::str(QStringLiteral("Workstation"), 64), db::str(QStringLiteral("TableName"), 32),
            db::i32(QStringLiteral("RowLocator")), db::i32(QStringLiteral("PatientID")),
            db::str(QStringLiteral("Action"), 1), db::memo(QStringLiteral("Changes"), 0),
            db::str(QStringLiteral("PrevHash"), 64), db::str(QStringLiteral("EntryHash"), 64) },
        {}, {} };
    return table;
}

bool existsIn(const db::Connection& connection)
{
    return connection.database().tables().contains(
        QString::fromLatin1(AuditTrail::kTable), Qt::CaseInsensitive);
}

void makeTable(db::Connection& connection)
{
    chain::makeTables(connection);
}

void copyHead(const db::Connection& from, db::Connection& to)
{
    chain::copyHead(from, to);
}

void recordDelete(db::Connection& connection, const QString& table, const QString& where,
    const QVariantMap& values, const std::function<void()>& write)
{
    recordStatement(connection, table, Kind::Delete, where, values, {}, write);
}

void recordUpdate(db::Connection& connection, const QString& table, const QString& where,
    const QVariantMap& values, const QVariantMap& set, const std::function<void()>& write)
{
    recordStatement(connection, table, Kind::Update, where, values, set, write);
}

} // namespace audittrail

struct AuditTrail::Writer {
    explicit Writer(db::Connection& connection)
        : chain(connection)
    {
    }
    audittrail::chain::Appender chain;
    QString workstation = QSysInfo::machineHostName();
};

const QStringList& AuditTrail::auditedTables()
{
    static const QStringList tables { QStringLiteral("Patient"), QStringLiteral("CartAnamnestica"),
        QStringLiteral("History"), QStringLiteral("Sessions"), QStringLiteral("PatEconomics"),
        QStringLiteral("DentEconomics"), QStringLiteral("Appointments"), QStringLiteral("Prescriptions"),
        QStringLiteral("PrescrItems"), QStringLiteral("Photos") };
    return tables;
}

AuditTrail::AuditTrail(db::Connection& connection)
    : m_connection(connection)
{
    if (connection.isReadOnly())
        return;
    m_writer = std::make_unique<Writer>(connection);
    // A failed statement ends a PostgreSQL transaction, so the table cannot be made again in
    // the transaction whose first entry finds it rolled back: there it is made at once. Two
    // workstations opening the practice at once may both make it; the second finds it.
    if (!connection.isSqlite()) {
        try {
            m_writer->chain.prepare();
        } catch (const db::DatabaseError&) {
            m_writer->chain.prepare();
        }
    }
    connection.setRowAudit([this](const db::Connection::WrittenRow& row) {
        if (!auditedTables().contains(row.table, Qt::CaseInsensitive))
            return;
        QString changes = QStringLiteral("{");
        QVariant patient;
        for (int i = 0; i < row.columns.size(); ++i) {
            const QVariant before = row.kind == Kind::Insert ? QVariant() : row.original.value(i);
            const QVariant after = row.kind == Kind::Delete ? QVariant() : row.values.value(i);
            // The tables name their patient PatientID or PatID.
            if (row.columns[i].compare(QLatin1String("PatientID"), Qt::CaseInsensitive) == 0
                || row.columns[i].compare(QLatin1String("PatID"), Qt::CaseInsensitive) == 0)
                patient = row.kind == Kind::Delete ? before : after;
            if (!differs(before, after))
                continue;
            if (changes.size() > 1)
                changes += QLatin1Char(',');
            appendJsonString(changes, row.columns[i]);
            changes += QLatin1String(":[");
            appendJsonValue(changes, before);
            changes += QLatin1Char(',');
            appendJsonValue(changes, after);
            changes += QLatin1Char(']');
        }
        changes += QLatin1Char('}');
        // The table is made with the first entry, inside the transaction of the change: opening
        // a practice to read it writes nothing.
        m_writer->chain.append(
            { QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")),
                platform::session().userName, m_writer->workstation, row.table, row.locator, patient,
                QString(QLatin1Char(row.kind == Kind::Insert ? 'I'
                        : row.kind == Kind::Update           ? 'U'
                                                             : 'D')),
                changes });
    });
}

AuditTrail::~AuditTrail()
{
    if (m_writer)
        m_connection.setRowAudit({});
}

QList<AuditTrail::Entry> AuditTrail::read(db::Connection& connection, const Filter& filter)
{
    QStringList where;
    QVariantList values;
    if (filter.patientId) {
        where << QStringLiteral("PatientID = ?");
        values << *filter.patientId;
    }
    if (!filter.user.isEmpty()) {
        where << QStringLiteral("UserName = ?");
        values << filter.user;
    }
    if (!filter.table.isEmpty()) {
        where << QStringLiteral("TableName = ?");
        values << filter.table;
    }
    if (filter.from.isValid()) {
        where << QStringLiteral("ChangedAt >= ?");
        values << filter.from.toString(Qt::ISODate);
    }
    if (filter.to.isValid()) {
        where << QStringLiteral("ChangedAt < ?");
        values << filter.to.addDays(1).toString(Qt::ISODate);
    }
    // Nothing has been recorded in a practice whose trail was never written.
    if (!audittrail::existsIn(connection))
        return {};
    QString sql = QStringLiteral("SELECT ChangedAt, UserName, Workstation, TableName, RowLocator, PatientID, "
                                 "Action, Changes FROM AuditTrail");
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY ChangedAt DESC, %1 DESC").arg(audittrail::writtenOrder(connection));
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw db::DatabaseError(
            QStringLiteral("The audit trail cannot be read"), query.lastError().text(), sql);
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
    exec(query, QStringLiteral("The audit trail cannot be read"));
    QList<Entry> entries;
    while (query.next()) {
        Entry e;
        e.changedAt = query.value(0).toString();
        e.user = query.value(1).toString();
        e.workstation = query.value(2).toString();
        e.table = query.value(3).toString();
        e.row = query.value(4).toLongLong();
        if (!query.value(5).isNull())
            e.patientId = query.value(5).toLongLong();
        const QString action = query.value(6).toString();
        e.action = action.isEmpty() ? QChar() : action.front();
        e.changes = query.value(7).toString();
        entries << e;
    }
    return entries;
}

QString AuditTrail::toCsv(const QList<Entry>& entries)
{
    const auto field = [](const QString& text) {
        if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"'))
            && !text.contains(QLatin1Char('\n')))
            return text;
        return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\""))
            + QLatin1Char('"');
    };
    QString csv = QStringLiteral("ChangedAt,UserName,Workstation,TableName,Row,PatientID,Action,Changes\n");
    for (const Entry& e : entries) {
        csv += QStringList { field(e.changedAt), field(e.user), field(e.workstation), field(e.table),
            QString::number(e.row), e.patientId ? QString::number(*e.patientId) : QString(),
            QString(e.action), field(e.changes) }
                   .join(QLatin1Char(','));
        csv += QLatin1Char('\n');
    }
    return csv;
}

} // namespace data
