#pragma once

#include "db/TableDef.h"

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
    // The columns of a table in order as (name, declared type); bound parameter :table.
    virtual QString columnsQuery() const = 0;
    // The declared type columnsQuery() reports for a column created from `field`.
    virtual QString reportedType(const FieldDef& field) const = 0;
    // The type a column of the table's identifier field is declared with.
    QString identifierColumnType(const FieldDef& field) const;

    static QString quoted(const QString& identifier)
    {
        return QLatin1Char('"') + QString(identifier).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
    }
};

class SqliteDialect final : public Dialect {
public:
    QString name() const override { return QStringLiteral("SQLITE"); }
    QString binaryType() const override { return QStringLiteral("BLOB"); }
    QString caseInsensitiveLike(const QString& column, const QString& placeholder) const override;
    QString tableExistsQuery() const override;
    QString columnsQuery() const override;
    QString reportedType(const FieldDef& field) const override;
};

class PostgresDialect final : public Dialect {
public:
    QString name() const override { return QStringLiteral("POSTGRESQL"); }
    QString binaryType() const override { return QStringLiteral("BYTEA"); }
    QString caseInsensitiveLike(const QString& column, const QString& placeholder) const override;
    QString tableExistsQuery() const override;
    QString columnsQuery() const override;
    QString reportedType(const FieldDef& field) const override;
};

} // namespace db
