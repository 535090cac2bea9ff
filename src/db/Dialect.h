#pragma once

#include "db/TableDef.h"

#include <QSqlDatabase>
#include <QString>

namespace db {

// The few statements that differ between SQLite and PostgreSQL.
class Dialect {
public:
    virtual ~Dialect() = default;
    virtual QString name() const = 0;
    QString columnType(const FieldDef& field) const;
    virtual QString binaryType() const = 0;
    // A condition that matches `column` against a bound pattern without regard to letter case.
    virtual QString caseInsensitiveLike(const QString& column, const QString& placeholder) const = 0;
    virtual QString tableExistsQuery() const = 0; // bound parameter :table
    virtual QString indexExistsQuery() const = 0; // bound parameter :name, the physical name
    // The columns of a table in order as (name, declared type); bound parameter :table.
    virtual QString columnsQuery() const = 0;
    // The declared type columnsQuery() reports for a column created from `field`.
    virtual QString reportedType(const FieldDef& field) const = 0;
    // The type a column of the table's identifier field is declared with.
    QString identifierColumnType(const FieldDef& field) const;
    // What finds a row of the table again: SQLite's rowid; on PostgreSQL the table's integer
    // identifier, or for a table keyed otherwise a hidden column that the schema adds.
    virtual QString rowLocator(const TableDef& table) const = 0;
    // The definition of that hidden column in CREATE TABLE; empty when the engine needs none.
    virtual QString hiddenLocatorColumn(const TableDef& table) const = 0;
    // Whether an INSERT must say RETURNING to learn the new row's locator.
    virtual bool insertReturnsLocator() const = 0;
    // A condition that `column` (quoted) still holds a bound value, a missing value included.
    virtual QString holdsValue(const QString& column) const = 0;
    // Appended to a SELECT of rows about to be written, so no one else writes them meanwhile.
    virtual QString lockRows() const = 0;
    static constexpr const char* kHiddenLocator = "RowLocator";

    // The statement as this engine takes it (see lowerQuotedNames).
    virtual QString adapt(const QString& sql) const { return sql; }

    static QString quoted(const QString& identifier)
    {
        return QLatin1Char('"') + QString(identifier).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
    }
};

// PostgreSQL folds unquoted names to lower case while the statements write names as the record
// formats spell them, quoted or not: on PostgreSQL every table and column is made in lower case,
// and quoted names are lowered to match. String literals and comments are left as they are.
QString lowerQuotedNames(const QString& sql);
// The statement for the engine of `database`: a view's rows know only their Qt connection.
QString adaptFor(const QSqlDatabase& database, const QString& sql);

class SqliteDialect final : public Dialect {
public:
    QString name() const override { return QStringLiteral("SQLITE"); }
    QString binaryType() const override { return QStringLiteral("BLOB"); }
    QString caseInsensitiveLike(const QString& column, const QString& placeholder) const override;
    QString tableExistsQuery() const override;
    QString indexExistsQuery() const override { return QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = :name"); }
    QString columnsQuery() const override;
    QString reportedType(const FieldDef& field) const override;
    QString rowLocator(const TableDef&) const override { return QStringLiteral("rowid"); }
    QString hiddenLocatorColumn(const TableDef&) const override { return {}; }
    bool insertReturnsLocator() const override { return false; }
    // The write transaction already holds the whole database.
    QString holdsValue(const QString& column) const override { return column + QStringLiteral(" IS ?"); }
    QString lockRows() const override { return {}; }
};

class PostgresDialect final : public Dialect {
public:
    QString name() const override { return QStringLiteral("POSTGRESQL"); }
    QString binaryType() const override { return QStringLiteral("BYTEA"); }
    QString caseInsensitiveLike(const QString& column, const QString& placeholder) const override;
    QString tableExistsQuery() const override;
    QString indexExistsQuery() const override
    {
        return QStringLiteral("SELECT 1 FROM pg_indexes WHERE schemaname = current_schema() AND indexname = lower(:name)");
    }
    QString columnsQuery() const override;
    QString reportedType(const FieldDef& field) const override;
    QString rowLocator(const TableDef& table) const override;
    QString hiddenLocatorColumn(const TableDef& table) const override;
    bool insertReturnsLocator() const override { return true; }
    QString holdsValue(const QString& column) const override
    {
        return column + QStringLiteral(" IS NOT DISTINCT FROM ?");
    }
    QString lockRows() const override { return QStringLiteral(" FOR UPDATE"); }
    QString adapt(const QString& sql) const override { return lowerQuotedNames(sql); }
};

} // namespace db
