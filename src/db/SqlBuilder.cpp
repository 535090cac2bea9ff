#include "db/SqlBuilder.h"

#include "db/Dialect.h"

namespace db::sql {
namespace {

QString columnList(const QStringList& columns)
{
    QStringList quoted;
    quoted.reserve(columns.size());
    for (const QString& c : columns)
        quoted << Dialect::quoted(c);
    return quoted.join(QStringLiteral(", "));
}

QString whereClause(const ViewSpec& view, const QStringList& extraKeys = {})
{
    QStringList parts;
    for (const ViewSpec::Condition& c : view.conditions) {
        // SQLite's "IS NOT" to a value is spelt the standard way, which both engines know.
        const QString op = c.op == QLatin1String("IS NOT") ? QStringLiteral("IS DISTINCT FROM") : c.op;
        parts << QStringLiteral("%1 %2 ?").arg(Dialect::quoted(c.field), op);
    }
    for (const QString& k : extraKeys)
        parts << QStringLiteral("%1 = ?").arg(Dialect::quoted(k));
    if (parts.isEmpty())
        return {};
    return QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
}

QString orderClause(const ViewSpec& view)
{
    // The locator breaks ties, so that every read of the view sees the rows in one order.
    const QString direction = view.descending ? QStringLiteral(" DESC") : QString();
    QStringList parts;
    for (const QString& f : view.order)
        parts << Dialect::quoted(f) + direction;
    if (!view.locator.isEmpty())
        parts << view.locator + direction;
    return parts.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + parts.join(QStringLiteral(", "));
}

QString from(const ViewSpec& view)
{
    return QStringLiteral(" FROM ") + Dialect::quoted(view.table);
}

} // namespace

QString selectRows(const ViewSpec& view)
{
    return QStringLiteral("SELECT ") + view.locator + QStringLiteral(", ") + columnList(view.columns) + from(view) + whereClause(view) + orderClause(view);
}

QString selectLocators(const ViewSpec& view)
{
    return QStringLiteral("SELECT ") + view.locator + from(view) + whereClause(view) + orderClause(view);
}

QString selectByLocators(const ViewSpec& view, int count)
{
    QStringList marks;
    for (int i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("SELECT ") + view.locator + QStringLiteral(", ") + columnList(view.columns) + from(view) + QStringLiteral(" WHERE ") + view.locator + QStringLiteral(" IN (") + marks.join(QLatin1Char(',')) + QLatin1Char(')');
}

QString selectFirstRow(const ViewSpec& view, const QStringList& keyFields)
{
    return QStringLiteral("SELECT ") + view.locator + QStringLiteral(", ") + columnList(view.columns) + from(view) + whereClause(view, keyFields) + orderClause(view) + QStringLiteral(" LIMIT 1");
}

QString selectLookup(const ViewSpec& view, const QStringList& keyFields, const QString& resultField)
{
    return QStringLiteral("SELECT ") + Dialect::quoted(resultField) + from(view) + whereClause(view, keyFields) + orderClause(view) + QStringLiteral(" LIMIT 1");
}

QVariantList conditionValues(const ViewSpec& view)
{
    QVariantList values;
    for (const ViewSpec::Condition& c : view.conditions)
        values << c.value;
    return values;
}

QString insertRow(const QString& table, const QStringList& columns, const QString& returning)
{
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(Dialect::quoted(table), columnList(columns), marks.join(QStringLiteral(", ")));
    if (!returning.isEmpty())
        sql += QStringLiteral(" RETURNING ") + returning;
    return sql;
}

namespace {

QString andAlso(const QStringList& conditions)
{
    QString sql;
    for (const QString& c : conditions)
        sql += QStringLiteral(" AND ") + c;
    return sql;
}

} // namespace

QString updateRow(
    const QString& table, const QStringList& columns, const QString& locator, const QStringList& conditions)
{
    QStringList sets;
    for (const QString& c : columns)
        sets << Dialect::quoted(c) + QStringLiteral(" = ?");
    return QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
               .arg(Dialect::quoted(table), sets.join(QStringLiteral(", ")), locator)
        + andAlso(conditions);
}

QString deleteRow(const QString& table, const QString& locator, const QStringList& conditions)
{
    return QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(Dialect::quoted(table), locator)
        + andAlso(conditions);
}

} // namespace db::sql
