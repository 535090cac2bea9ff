#pragma once

#include <QString>

namespace db {
class Connection;
struct TableDef;
} // namespace db

namespace data::audittrail {

// For a copy of the practice: the columns an entry is made of (the order of writing is given
// again on the target by copying in that order), whether the table was made yet, the table made
// when missing, and the order the entries were written in.
const db::TableDef& copiedColumns();
bool existsIn(const db::Connection& connection);
void makeTable(const db::Connection& connection);
QString writtenOrder(const db::Connection& connection);

} // namespace data::audittrail
