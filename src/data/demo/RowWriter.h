#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <utility>

namespace db {
class Connection;
class Generators;
class Query;
} // namespace db

namespace data::demo {

// Inserts rows by field name, reusing one prepared statement per table and field list, and
// takes identifiers from the table's generator.
class RowWriter {
public:
    using Values = QList<std::pair<QString, QVariant>>;

    RowWriter(db::Connection& connection, db::Generators& generators);
    ~RowWriter();

    void insert(const QString& table, const Values& values);
    // The next identifier of the generator that serves `table`.
    int take(const QString& table);
    db::Connection& connection() { return m_connection; }

private:
    db::Connection& m_connection;
    db::Generators& m_generators;
    QHash<QString, std::shared_ptr<db::Query>> m_statements;
};

} // namespace data::demo
