#include "data/DataCopy.h"

#include "data/AuditTrail.h"
#include "data/AuditTrailRows.h"
#include "data/DataDirectory.h"
#include "data/schema/Schema.h"
#include "db/Connection.h"
#include "db/Errors.h"
#include "db/Generators.h"
#include "db/Query.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QTime>

#include <algorithm>

namespace data {
namespace {

QString columnList(const db::TableDef& table)
{
    QStringList columns;
    for (const db::FieldDef& f : table.fields)
        columns.append(db::Dialect::quoted(f.name));
    return columns.join(QStringLiteral(", "));
}

// One value as text that both engines give alike (SQLite keeps booleans as numbers, dates as text).
QByteArray canonical(const db::FieldDef& field, const QVariant& value)
{
    if (value.isNull())
        return QByteArrayLiteral("\\N");
    switch (field.type) {
    case db::FieldType::Boolean:
        return value.toBool() ? "t" : "f";
    case db::FieldType::Int16:
    case db::FieldType::Int32:
        return QByteArray::number(value.toLongLong());
    case db::FieldType::Float64:
        return QByteArray::number(value.toDouble(), 'g', 17);
    case db::FieldType::Date:
        return value.toDate().toString(Qt::ISODate).toUtf8();
    case db::FieldType::Time:
        return value.toTime().toString(Qt::ISODateWithMs).toUtf8();
    case db::FieldType::DateTime:
        return value.toDateTime().toString(Qt::ISODateWithMs).toUtf8();
    case db::FieldType::Binary:
        return value.toByteArray().toHex();
    default:
        return value.toString().toUtf8();
    }
}

QByteArray checksumOf(const db::Connection& connection, const db::TableDef& table, qint64* rows)
{
    db::Query select(connection, QStringLiteral("SELECT %1 FROM %2").arg(columnList(table), db::Dialect::quoted(table.name)));
    select.exec();
    QList<QByteArray> lines;
    while (select.next()) {
        QByteArray line;
        for (int i = 0; i < table.fields.size(); ++i)
            line += canonical(table.fields[i], select.value(i)) + '\x1f';
        lines.append(line);
    }
    std::sort(lines.begin(), lines.end());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QByteArray& line : std::as_const(lines))
        hash.addData(line + '\x1e');
    if (rows)
        *rows = lines.size();
    return hash.result().toHex();
}

} // namespace

QByteArray tableChecksum(const DataDirectory& directory, const QString& table)
{
    const DataConnections c = directory.open();
    const bool trail = table.compare(QLatin1String(AuditTrail::kTable), Qt::CaseInsensitive) == 0;
    return checksumOf(*c.data, trail ? audittrail::copiedColumns() : *schemaTable(table), nullptr);
}

namespace {

qint64 rowCount(const db::Connection& connection, const db::TableDef& table)
{
    return db::Query(connection, QStringLiteral("SELECT COUNT(*) FROM %1").arg(db::Dialect::quoted(table.name))).scalar().toLongLong();
}

// The practice's tables, and the audit trail where its first entry has made it.
QList<db::TableDef> tablesOf(const db::Connection& connection)
{
    QList<db::TableDef> tables = schemaTables();
    if (audittrail::existsIn(connection))
        tables.append(audittrail::copiedColumns());
    return tables;
}

// A target is new, or holds the empty practice --init-data makes (the usual first step on a
// server); rows there are never written over.
void prepareTarget(const DataDirectory& target)
{
    if (!target.hasDatabase()) {
        target.create();
        return;
    }
    const DataConnections existing = target.open();
    for (const db::TableDef& table : tablesOf(*existing.data)) {
        if (rowCount(*existing.data, table) > 0)
            throw db::DatabaseError(
                QStringLiteral("%1 already holds a practice (the table %2 has rows); it is left as it is.").arg(target.path(), table.name));
    }
}

void copyRows(const db::Connection& in, const db::Connection& out, const db::TableDef& table, const std::function<void()>& rowDone)
{
    QStringList marks;
    for (qsizetype i = 0; i < table.fields.size(); ++i)
        marks.append(QStringLiteral(":c%1").arg(i));
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(columnList(table), db::Dialect::quoted(table.name));
    // Entries of one millisecond keep their order on the target.
    if (table.name == QLatin1String(AuditTrail::kTable))
        sql += QStringLiteral(" ORDER BY ") + audittrail::writtenOrder(in);
    db::Query select(in, sql);
    db::Query insert(out,
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(db::Dialect::quoted(table.name), columnList(table), marks.join(QStringLiteral(", "))));
    select.exec();
    while (select.next()) {
        for (int i = 0; i < table.fields.size(); ++i) {
            QVariant value = select.value(i);
            // SQLite hands booleans back as numbers, which PostgreSQL refuses for a boolean column.
            if (!value.isNull() && table.fields[i].type == db::FieldType::Boolean)
                value = value.toBool();
            insert.bind(QStringLiteral("c%1").arg(i), value);
        }
        insert.exec();
        rowDone();
    }
}

} // namespace

QList<TableCopy> copyPractice(const QString& from, const QString& to, const std::function<void(qint64, qint64)>& progress)
{
    const DataDirectory source(from);
    const DataDirectory target(to);
    DataConnections in = source.open();
    if (audittrail::existsIn(*in.data))
        audittrail::makeTable(
            *in.data); // a trail an older version wrote is chained first: its hashes go along
    prepareTarget(target);
    DataConnections out = target.open();

    const QList<db::TableDef> tables = tablesOf(*in.data);
    qint64 total = 0;
    for (const db::TableDef& table : tables)
        total += rowCount(*in.data, table);

    qint64 done = 0;
    QList<TableCopy> copies;
    db::TransactionGuard transaction(*out.data);
    if (tables.size() > schemaTables().size())
        audittrail::makeTable(*out.data);
    for (const db::TableDef& table : tables) {
        copyRows(*in.data, *out.data, table, [&] {
            if (progress && (++done % 500 == 0 || done == total))
                progress(done, total);
        });
    }
    // Verified inside the transaction, so that a copy that differs is never committed.
    for (const db::TableDef& table : tables) {
        TableCopy copy{table.name, 0, {}};
        qint64 sourceRows = 0;
        const QByteArray sourceSum = checksumOf(*in.data, table, &sourceRows);
        copy.checksum = checksumOf(*out.data, table, &copy.rows);
        if (copy.rows != sourceRows || copy.checksum != sourceSum)
            throw db::DatabaseError(QStringLiteral("The copy of %1 differs from the original (%2 rows of %3); nothing was copied to %4.")
                                        .arg(table.name)
                                        .arg(copy.rows)
                                        .arg(sourceRows)
                                        .arg(to));
        copies.append(copy);
    }
    audittrail::copyHead(*in.data, *out.data);
    // The series go on where they stood, so that no number comes twice. The generators keep a
    // store of their own; set before the rows commit, a failure after leaves them ahead, which
    // only skips numbers.
    for (const db::GeneratorDef& generator : in.generators->definitions()) {
        const qint32 last = in.generators->last(generator.name);
        db::Query(*out.generatorStore,
            QStringLiteral("UPDATE %1 SET %2 = :last").arg(db::Dialect::quoted(generator.name), db::Dialect::quoted(generator.field)))
            .bind(QStringLiteral("last"), last)
            .exec();
    }
    transaction.commit();
    return copies;
}

} // namespace data
