#pragma once

#include <QString>
#include <QVariantMap>

#include <functional>

namespace db {
class Connection;
struct TableDef;
} // namespace db

namespace data::audittrail {

// Plain statements write past the connection's row audit. `write` deletes, or updates with the
// new values `set`, the rows of `table` that `where` selects (with `values` bound); the rows are
// read first, in one statement of the same transaction, and go to the row audit as a dataset's
// rows would (an updated row left as it was is not recorded). Without a row audit, or for a
// table not recorded, `write` runs alone.
void recordDelete(db::Connection& connection, const QString& table, const QString& where,
    const QVariantMap& values, const std::function<void()>& write);
void recordUpdate(db::Connection& connection, const QString& table, const QString& where,
    const QVariantMap& values, const QVariantMap& set, const std::function<void()>& write);

// For a copy of the practice: the columns an entry is made of (the order of writing is given
// again on the target by copying in that order), whether the table was made yet, the table made
// when missing (an older one chained), the order the entries were written in, and the chain's
// head, copied after the entries.
const db::TableDef& copiedColumns();
bool existsIn(const db::Connection& connection);
void makeTable(db::Connection& connection);
QString writtenOrder(const db::Connection& connection);
void copyHead(const db::Connection& from, db::Connection& to);

} // namespace data::audittrail
