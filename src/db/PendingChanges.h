#pragma once

#include "db/TableDef.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>

namespace db {

class Connection;

// Writes single rows by locator. Only changed columns are updated, and only while they still
// hold what they held when read (`original`): a row another workstation changed meanwhile
// throws ChangedElsewhere, one it deleted DeletedElsewhere; nothing is overwritten silently.
// `recomputed` columns are exempt: rules compute them afresh from the database. Each row
// written goes into the connection's log.
namespace rowwriter {
qint64 insert(
    Connection& connection, const TableDef& table, const QStringList& columns, const QList<QVariant>& values);
void update(Connection& connection, const TableDef& table, const QStringList& columns,
    const QList<QVariant>& original, const QList<QVariant>& values, qint64 locator,
    const QStringList& recomputed = {});
// `columns` and `original`, the row as read, go to the connection's audit; a row changed since
// is not deleted (ChangedElsewhere), one already gone is no error.
void remove(Connection& connection, const TableDef& table, qint64 locator, const QStringList& columns = {},
    const QList<QVariant>& original = {}, const QStringList& recomputed = {});
} // namespace rowwriter

// The posted but not yet stored changes of a view with cached updates, one entry per row in
// the order the rows were first changed. New rows carry negative locators until written.
class PendingChanges {
public:
    enum class Kind { Insert, Update, Delete };
    struct Change {
        Kind kind;
        qint64 locator;
        QList<QVariant> values;
        QList<QVariant> original;
    };

    bool isEmpty() const { return m_changes.isEmpty(); }
    int size() const { return static_cast<int>(m_changes.size()); }
    qint64 nextNewLocator() { return --m_lastNewLocator; }
    void recordInsert(qint64 locator, const QList<QVariant>& values);
    void recordUpdate(qint64 locator, const QList<QVariant>& original, const QList<QVariant>& values);
    void recordDelete(qint64 locator, const QList<QVariant>& original);
    const Change* find(qint64 locator) const;
    // After a conflict: the change of `column` is now made against `stored`; `keepStored` gives
    // the change up (an update's value, or a delete as a whole).
    void rebase(qint64 locator, int column, const QVariant& stored, bool keepStored);
    const QList<Change>& changes() const { return m_changes; }
    void clear() { m_changes.clear(); }

    // Writes every change; returns the locators the new rows got, by their pending locators.
    QHash<qint64, qint64> write(Connection& connection, const TableDef& table, const QStringList& columns,
        const QStringList& recomputed = {}) const;

private:
    qsizetype indexOf(qint64 locator) const;

    QList<Change> m_changes;
    qint64 m_lastNewLocator = 0;
};

} // namespace db
