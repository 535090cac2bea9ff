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

QString Dialect::identifierColumnType(const FieldDef& field) const
{
    // SQLite makes an INTEGER primary key the row id itself: key look-ups need no second index.
    return columnType(field) + QStringLiteral(" PRIMARY KEY");
}

QString SqliteDialect::columnsQuery() const
{
    return QStringLiteral("SELECT name, type FROM pragma_table_info(:table)");
}

QString SqliteDialect::reportedType(const FieldDef& field) const
{
    return columnType(field);
}

QString SqliteDialect::caseInsensitiveLike(const QString& column, const QString& placeholder) const
{
    // SQLite's LIKE folds ASCII only; lower() on both sides is no better for Greek, so the
    // engine registers no ICU: callers that need Greek folding filter in memory.
    return QStringLiteral("%1 LIKE %2").arg(column, placeholder);
}

QString SqliteDialect::tableExistsQuery() const
{
    return QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND lower(name) = lower(:table)");
}

QString PostgresDialect::caseInsensitiveLike(const QString& column, const QString& placeholder) const
{
    return QStringLiteral("%1 ILIKE %2").arg(column, placeholder);
}

QString PostgresDialect::tableExistsQuery() const
{
    return QStringLiteral("SELECT 1 FROM information_schema.tables WHERE lower(table_name) = lower(:table) AND table_schema = current_schema()");
}

QString PostgresDialect::columnsQuery() const
{
    return QStringLiteral(
        "SELECT a.attname, format_type(a.atttypid, a.atttypmod) FROM pg_attribute a "
        "JOIN pg_class c ON c.oid = a.attrelid JOIN pg_namespace n ON n.oid = c.relnamespace "
        "WHERE c.relkind = 'r' AND lower(c.relname) = lower(:table) AND n.nspname = current_schema() "
        "AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum");
}

QString PostgresDialect::reportedType(const FieldDef& field) const
{
    switch (field.type) {
    case FieldType::String:
        return QStringLiteral("character varying(%1)").arg(field.size);
    case FieldType::Time:
        return QStringLiteral("time without time zone");
    case FieldType::DateTime:
        return QStringLiteral("timestamp without time zone");
    default:
        return columnType(field).toLower();
    }
}

} // namespace db
