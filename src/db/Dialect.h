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
    virtual QString tableExistsQuery() const = 0; // one bound parameter: the table name

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
};

class PostgresDialect final : public Dialect {
public:
    QString name() const override { return QStringLiteral("POSTGRESQL"); }
    QString binaryType() const override { return QStringLiteral("BYTEA"); }
    QString caseInsensitiveLike(const QString& column, const QString& placeholder) const override;
    QString tableExistsQuery() const override;
};

} // namespace db
