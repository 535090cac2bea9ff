#include "db/Dialect.h"

namespace db {

QString lowerQuotedNames(const QString& sql)
{
    if (!sql.contains(QLatin1Char('"')))
        return sql;
    QString out = sql;
    qsizetype i = 0;
    while (i < out.size()) {
        const QChar c = out[i];
        const QChar n = i + 1 < out.size() ? out[i + 1] : QChar();
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            qsizetype j = i + 1;
            while (j < out.size()) {
                if (out[j] == c) {
                    if (j + 1 < out.size() && out[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            if (c == QLatin1Char('"')) {
                for (qsizetype k = i + 1; k < j && k < out.size(); ++k)
                    out[k] = out[k].toLower();
            }
            i = j + 1;
        } else if (c == QLatin1Char('-') && n == QLatin1Char('-')) {
            const qsizetype end = out.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? out.size() : end;
        } else if (c == QLatin1Char('/') && n == QLatin1Char('*')) {
            const qsizetype end = out.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? out.size() : end + 2;
        } else {
            ++i;
        }
    }
    return out;
}

QString adaptFor(const QSqlDatabase& database, const QString& sql)
{
    return database.driverName() == QLatin1String("QPSQL") ? lowerQuotedNames(sql) : sql;
}

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

namespace {

const FieldDef* integerIdentifier(const TableDef& table)
{
    const FieldDef* field = table.identifierField.isEmpty() ? nullptr : table.field(table.identifierField);
    return field && (field->type == FieldType::Int32 || field->type == FieldType::Int16) ? field : nullptr;
}

} // namespace

QString PostgresDialect::rowLocator(const TableDef& table) const
{
    if (const FieldDef* key = integerIdentifier(table))
        return quoted(key->name);
    return quoted(QString::fromLatin1(kHiddenLocator));
}

QString PostgresDialect::hiddenLocatorColumn(const TableDef& table) const
{
    if (integerIdentifier(table))
        return {};
    // UNIQUE rather than PRIMARY KEY: a table keyed by a text identifier has its key already.
    return quoted(QString::fromLatin1(kHiddenLocator)) + QStringLiteral(" BIGINT GENERATED BY DEFAULT AS IDENTITY UNIQUE");
}

} // namespace db
