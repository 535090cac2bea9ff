#include "db/PendingChanges.h"

#include "db/Connection.h"
#include "db/Dialect.h"
#include "db/Errors.h"
#include "db/Field.h"
#include "db/SqlBuilder.h"

#include <QSqlError>
#include <QSqlQuery>

#include <optional>

namespace db {
namespace rowwriter {
namespace {

void run(QSqlQuery& query)
{
    if (!query.exec())
        throwSqlError(QStringLiteral("The record could not be stored"), query.lastError(), query.lastQuery());
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    return a.isNull() == b.isNull() && (a.isNull() || a == b);
}

// Runs a kept write statement; returns the rows it wrote.
int runWrite(Connection& connection, const QString& sql, const QVariantList& values)
{
    const std::shared_ptr<QSqlQuery> kept = connection.keptStatement(sql);
    QSqlQuery& query = *kept;
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
    run(query);
    const int affected = query.numRowsAffected();
    query.finish();
    return affected;
}

// The columns of the row as stored now, read as the views read them and held until the
// transaction ends; nothing when the row is gone.
std::optional<QList<QVariant>> storedNow(
    Connection& connection, const TableDef& table, const QStringList& columns, qint64 locator)
{
    QStringList selected;
    for (const QString& c : columns)
        selected << Dialect::quoted(c);
    if (selected.isEmpty())
        selected << QStringLiteral("1");
    const std::shared_ptr<QSqlQuery> kept
        = connection.keptStatement(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                                       .arg(selected.join(QStringLiteral(", ")), Dialect::quoted(table.name),
                                           connection.dialect().rowLocator(table))
            + connection.dialect().lockRows());
    QSqlQuery& query = *kept;
    query.bindValue(0, locator);
    run(query);
    if (!query.next()) {
        query.finish();
        return std::nullopt;
    }
    QList<QVariant> values;
    for (int i = 0; i < columns.size(); ++i) {
        const FieldDef* def = table.field(columns[i]);
        values << Field::fromStorage(query.value(i), def ? def->type : FieldType::String);
    }
    query.finish();
    return values;
}

// The columns a write checks are as this workstation read them.
struct Checked {
    QStringList columns;
    QVariantList original;
    QVariantList ours;
    bool deleting = false;

    void add(const QString& column, const QVariant& before, const QVariant& after)
    {
        columns << column;
        original << before;
        ours << after;
    }
    QStringList conditions(const Dialect& dialect) const
    {
        QStringList all;
        for (const QString& c : columns)
            all << dialect.holdsValue(Dialect::quoted(c));
        return all;
    }
    // The columns stored otherwise than read, unless as we would store them.
    QList<ChangedElsewhere::FieldChange> changedSince(const QList<QVariant>& stored) const
    {
        QList<ChangedElsewhere::FieldChange> changes;
        for (int i = 0; i < columns.size(); ++i) {
            if (sameValue(stored[i], original[i]) || (!deleting && sameValue(stored[i], ours[i])))
                continue;
            changes.append({ columns[i], {}, stored[i], ours[i] });
        }
        return changes;
    }
};

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
    const QList<QVariant>& original, const QList<QVariant>& values, qint64 locator,
    const QStringList& recomputed)
{
    QStringList changed;
    QVariantList bound;
    Checked checked;
    for (int i = 0; i < columns.size(); ++i) {
        const QVariant& before = original.value(i);
        const QVariant& after = values.value(i);
        if (sameValue(before, after))
            continue;
        changed << columns[i];
        bound << after;
        if (!recomputed.contains(columns[i], Qt::CaseInsensitive))
            checked.add(columns[i], before, after);
    }
    if (changed.isEmpty())
        return;
    const QString locatorColumn = connection.dialect().rowLocator(table);
    if (runWrite(connection,
            sql::updateRow(table.name, changed, locatorColumn, checked.conditions(connection.dialect())),
            bound + QVariantList { locator } + checked.original)
        == 0) {
        const std::optional<QList<QVariant>> stored = storedNow(connection, table, checked.columns, locator);
        if (!stored)
            throw DeletedElsewhere();
        QList<ChangedElsewhere::FieldChange> theirs = checked.changedSince(*stored);
        if (!theirs.isEmpty())
            throw ChangedElsewhere(
                ChangedElsewhere::Operation::Update, table.name, locator, std::move(theirs));
        // Stored in another spelling of the same values (an old import): the row is held now.
        runWrite(
            connection, sql::updateRow(table.name, changed, locatorColumn), bound + QVariantList { locator });
    }
    Connection::WrittenRow row { Connection::WrittenRow::Kind::Update, table.name, locator, columns, original,
        values };
    if (connection.rowAudit())
        connection.rowAudit()(row);
    connection.noteWritten(std::move(row));
}

void remove(Connection& connection, const TableDef& table, qint64 locator, const QStringList& columns,
    const QList<QVariant>& original, const QStringList& recomputed)
{
    Checked checked;
    checked.deleting = true;
    for (int i = 0; i < columns.size() && i < original.size(); ++i) {
        if (!recomputed.contains(columns[i], Qt::CaseInsensitive))
            checked.add(columns[i], original[i], {});
    }
    const QString locatorColumn = connection.dialect().rowLocator(table);
    int affected = runWrite(connection,
        sql::deleteRow(table.name, locatorColumn, checked.conditions(connection.dialect())),
        QVariantList { locator } + checked.original);
    if (affected == 0 && !checked.columns.isEmpty()) {
        const std::optional<QList<QVariant>> stored = storedNow(connection, table, checked.columns, locator);
        if (!stored)
            return; // gone already
        QList<ChangedElsewhere::FieldChange> theirs = checked.changedSince(*stored);
        if (!theirs.isEmpty())
            throw ChangedElsewhere(
                ChangedElsewhere::Operation::Delete, table.name, locator, std::move(theirs));
        affected = runWrite(connection, sql::deleteRow(table.name, locatorColumn), QVariantList { locator });
    }
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

void PendingChanges::rebase(qint64 locator, int column, const QVariant& stored, bool keepStored)
{
    const qsizetype i = indexOf(locator);
    if (i < 0)
        return;
    Change& change = m_changes[i];
    if (change.kind == Kind::Delete && keepStored) {
        m_changes.removeAt(i);
        return;
    }
    if (column < change.original.size())
        change.original[column] = stored;
    if (keepStored && column < change.values.size())
        change.values[column] = stored;
}

QHash<qint64, qint64> PendingChanges::write(Connection& connection, const TableDef& table,
    const QStringList& columns, const QStringList& recomputed) const
{
    QHash<qint64, qint64> written;
    for (const Change& c : m_changes) {
        switch (c.kind) {
        case Kind::Insert:
            written.insert(c.locator, rowwriter::insert(connection, table, columns, c.values));
            break;
        case Kind::Update:
            rowwriter::update(connection, table, columns, c.original, c.values, c.locator, recomputed);
            break;
        case Kind::Delete:
            rowwriter::remove(connection, table, c.locator, columns, c.original, recomputed);
            break;
        }
    }
    return written;
}

} // namespace db
