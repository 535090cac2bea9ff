#pragma once

#include "db/TableDef.h"

#include <QList>
#include <QStringList>

namespace db {

class Connection;

// Creates the tables of a new database from their record formats and checks an existing
// database against them.
class SchemaManager {
public:
    explicit SchemaManager(Connection& connection);

    // Creates every table (fields in order, primary key on the identifier field) and its
    // indexes in one transaction: either all tables exist afterwards or none. Throws
    // SchemaError for faulty definitions or tables that already exist.
    void create(const QList<TableDef>& tables);

    // Everything that keeps the database from matching the definitions: missing tables,
    // missing fields, fields of another type. Empty when it matches. Extra columns are
    // tolerated.
    QStringList problems(const QList<TableDef>& tables) const;
    // Throws SchemaError listing every problem.
    void verify(const QList<TableDef>& tables) const;

    // Drops and recreates the defined indexes (the repair command); one transaction.
    void rebuildIndexes(const QList<TableDef>& tables);

    bool tableExists(const QString& table) const;
    bool indexExists(const TableDef& table, const IndexDef& index) const;

    // Mistakes in the definitions themselves: an identifier or index field the table does
    // not have, a string without a size, a name given twice.
    static QStringList definitionProblems(const QList<TableDef>& tables);
    // Indexes are named per table in the definitions but per database in SQL.
    static QString physicalIndexName(const TableDef& table, const IndexDef& index);

private:
    QString createTableSql(const TableDef& table) const;
    QString createIndexSql(const TableDef& table, const IndexDef& index) const;

    Connection& m_connection;
};

} // namespace db
