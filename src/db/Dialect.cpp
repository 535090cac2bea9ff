#include "db/Dialect.h"

namespace db {

QString Dialect::columnType(const FieldDef& field) const
{
    switch (field.type) {
    case FieldType::String:
        return QStringLiteral("VARCHAR(%1)").arg(field.size);
    case FieldType::Memo:
        return QStringLiteral("TEXT");
    case FieldType::Int16:
        return QStringLiteral("SMALLINT");
    case FieldType::Int32:
        return QStringLiteral("INTEGER");
    case FieldType::Float64:
        return QStringLiteral("DOUBLE PRECISION");
    case FieldType::Boolean:
        return QStringLiteral("BOOLEAN");
    case FieldType::Date:
        return QStringLiteral("DATE");
    case FieldType::Time:
        return QStringLiteral("TIME");
    case FieldType::DateTime:
        return QStringLiteral("TIMESTAMP");
    case FieldType::Binary:
        return binaryType();
    }
    return {};
}

QString SqliteDialect::caseInsensitiveLike(const QString& column, const QString& placeholder) const
{
    // SQLite's LIKE folds ASCII only; lower() on both sides is no better for Greek, so the
    // engine registers no ICU: callers that need Greek folding filter in memory.
    return QStringLiteral("%1 LIKE %2").arg(column, placeholder);
}

QString SqliteDialect::tableExistsQuery() const
{
    return QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND lower(name) = lower(?)");
}

QString PostgresDialect::caseInsensitiveLike(const QString& column, const QString& placeholder) const
{
    return QStringLiteral("%1 ILIKE %2").arg(column, placeholder);
}

QString PostgresDialect::tableExistsQuery() const
{
    return QStringLiteral("SELECT 1 FROM information_schema.tables WHERE lower(table_name) = lower(?)");
}

} // namespace db
