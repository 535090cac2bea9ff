#include "db/PendingChanges.h"

#include "db/Connection.h"
#include "db/Errors.h"
#include "db/SqlBuilder.h"

#include <QSqlError>
#include <QSqlQuery>

namespace db {
namespace rowwriter {
namespace {

void run(QSqlQuery& query)
{
    if (!query.exec())
        throwSqlError(QStringLiteral("The record could not be stored"), query.lastError(), query.lastQuery());
}

} // namespace

qint64 insert(
    Connection& connection, const TableDef& table, const QStringList& columns, const QList<QVariant>& values)
{
    const Dialect& dialect = connection.dialect();
    const bool returning = dialect.insertReturnsLocator();
    const std::shared_ptr<QSqlQuery> kept = connection.keptStatement(sql::insertRow(table.name, columns, returning ? dialect.rowLocator(table) : QString()));
    QSqlQuery& query = *kept;
    for (int i = 0; i < columns.size(); ++i)
        query.bindValue(i, values.value(i));
    run(query);
    const qint64 locator = returning ? (query.next() ? query.value(0).toLongLong() : 0) : query.lastInsertId().toLongLong();
    query.finish();
    Connection::WrittenRow row { Connection::WrittenRow::Kind::Insert, table.name, locator, columns, {}, values };
    if (connection.rowAudit())
        connection.rowAudit()(row);
    connection.noteWritten(std::move(row));
    return locator;
}

void update(Connection& connection, const TableDef& table, const QStringList& columns,
    const QList<QVariant>& original, const QList<QVariant>& values, qint64 locator)
{
    QStringList changed;
    QVariantList bound;
    for (int i = 0; i < columns.size(); ++i) {
        const QVariant& before = original.value(i);
        const QVariant& after = values.value(i);
        if (before.isNull() != after.isNull() || before != after) {
            changed << columns[i];
            bound << after;
        }
    }
    if (changed.isEmpty())
        return;
    const std::shared_ptr<QSqlQuery> kept = connection.keptStatement(sql::updateRow(table.name, changed, connection.dialect().rowLocator(table)));
    QSqlQuery& query = *kept;
    for (int i = 0; i < bound.size(); ++i)
        query.bindValue(i, bound[i]);
    query.bindValue(static_cast<int>(bound.size()), locator);
    run(query);
    const int affected = query.numRowsAffected();
    query.finish();
    if (affected == 0)
        throw DeletedElsewhere();
    Connection::WrittenRow row { Connection::WrittenRow::Kind::Update, table.name, locator, columns, original,
        values };
    if (connection.rowAudit())
        connection.rowAudit()(row);
    connection.noteWritten(std::move(row));
}

void remove(Connection& connection, const TableDef& table, qint64 locator, const QStringList& columns,
    const QList<QVariant>& original)
{
    const std::shared_ptr<QSqlQuery> kept = connection.keptStatement(sql::deleteRow(table.name, connection.dialect().rowLocator(table)));
    QSqlQuery& query = *kept;
    query.bindValue(0, locator);
    run(query);
    const int affected = query.numRowsAffected();
    query.finish();
    if (affected != 1)
        return;
    if (connection.rowAudit())
        connection.rowAudit()(
            { Connection::WrittenRow::Kind::Delete, table.name, locator, columns, original, {} });
    connection.noteWritten({ Connection::WrittenRow::Kind::Delete, table.name, locator, {}, {}, {} });
}

} // namespace rowwriter

qsizetype PendingChanges::indexOf(qint64 locator) const
{
    for (qsizetype i = 0; i < m_changes.size(); ++i) {
        if (m_changes[i].locator == locator)
            return i;
    }
    return -1;
}

const PendingChanges::Change* PendingChanges::find(qint64 locator) const
{
    const qsizetype i = indexOf(locator);
    return i < 0 ? nullptr : &m_changes[i];
}

void PendingChanges::recordInsert(qint64 locator, const QList<QVariant>& values)
{
    m_changes.append({Kind::Insert, locator, values, {}});
}

void PendingChanges::recordUpdate(qint64 locator, const QList<QVariant>& original, const QList<QVariant>& values)
{
    const qsizetype i = indexOf(locator);
    if (i < 0) {
        m_changes.append({Kind::Update, locator, values, original});
        return;
    }
    // A new row edited again stays a new row; an updated row keeps its first original.
    m_changes[i].values = values;
}

void PendingChanges::recordDelete(qint64 locator, const QList<QVariant>& original)
{
    const qsizetype i = indexOf(locator);
    if (i >= 0 && m_changes[i].kind == Kind::Insert) {
        m_changes.removeAt(i); // never stored: nothing to delete
        return;
    }
    if (i >= 0) {
        m_changes[i].kind = Kind::Delete;
        return;
    }
    m_changes.append({Kind::Delete, locator, {}, original});
}

QHash<qint64, qint64> PendingChanges::write(
    Connection& connection, const TableDef& table, const QStringList& columns) const
{
    QHash<qint64, qint64> written;
    for (const Change& c : m_changes) {
        switch (c.kind) {
        case Kind::Insert:
            written.insert(c.locator, rowwriter::insert(connection, table, columns, c.values));
            break;
        case Kind::Update:
            rowwriter::update(connection, table, columns, c.original, c.values, c.locator);
            break;
        case Kind::Delete:
            rowwriter::remove(connection, table, c.locator, columns, c.original);
            break;
        }
    }
    return written;
}

} // namespace db
