#include "patients/SearchSql.h"

#include "db/Dataset.h"
#include "db/Dialect.h"

#include <QRegularExpression>

namespace patients::searchsql {
namespace {

qsizetype findWord(const QString& text, const QString& word, qsizetype from = 0)
{
    const QRegularExpression pattern(QStringLiteral("\\b%1\\b").arg(word), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(text, from);
    return match.hasMatch() ? match.capturedStart() : -1;
}

QString bracketed(const QString& condition)
{
    if (findWord(condition, QStringLiteral("OR")) < 0)
        return condition;
    return u'(' + condition + u')';
}

} // namespace

QString fromPart(const db::Dataset& source)
{
    if (!source.isQuery())
        return source.tableDef().name;
    const QString& sql = source.statement();
    const qsizetype from = findWord(sql, QStringLiteral("FROM"));
    if (from < 0)
        return {};
    const qsizetype start = from + 4;
    qsizetype end = findWord(sql, QStringLiteral("WHERE"), start);
    if (end < 0)
        end = findWord(sql, QStringLiteral("ORDER\\s+BY"), start);
    return (end < 0 ? sql.mid(start) : sql.mid(start, end - start)).trimmed();
}

bool isRestrictable(const db::Field& field)
{
    return field.kind() == db::FieldKind::Data && field.isVisible() && field.type() != db::FieldType::Binary;
}

bool isListable(const db::Field& field)
{
    return isRestrictable(field) && field.type() != db::FieldType::Memo;
}

QList<const db::Field*> listableFields(const db::Dataset& source)
{
    QList<const db::Field*> fields;
    for (int i = 0; i < source.fieldCount(); ++i) {
        if (isListable(source.field(i)))
            fields.append(&source.field(i));
    }
    return fields;
}

QList<const db::Field*> restrictableFields(const db::Dataset& source)
{
    QList<const db::Field*> fields;
    for (int i = 0; i < source.fieldCount(); ++i) {
        if (isRestrictable(source.field(i)))
            fields.append(&source.field(i));
    }
    return fields;
}

QString columnOf(const db::Field& field)
{
    const db::Dataset& view = field.dataset();
    QString table = field.definition().origin;
    if (table.isEmpty() && !view.isQuery())
        table = view.tableDef().name;
    const QString name = db::Dialect::quoted(field.name());
    return table.isEmpty() ? name : table + u'.' + name;
}

QString selectList(const QList<const db::Field*>& fields)
{
    QStringList columns;
    for (const db::Field* f : fields)
        columns.append(columnOf(*f));
    return columns.join(u',');
}

QString selectList(const db::Dataset& source)
{
    return selectList(listableFields(source));
}

QStringList splitItems(const QString& list)
{
    QStringList items;
    QString item;
    bool quoted = false;
    for (const QChar c : list) {
        if (c == u'"')
            quoted = !quoted;
        if (c == u',' && !quoted) {
            items.append(item.trimmed());
            item.clear();
            continue;
        }
        item += c;
    }
    if (!item.trimmed().isEmpty())
        items.append(item.trimmed());
    return items;
}

QString fieldNameOf(const QString& item)
{
    qsizetype start = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < item.size(); ++i) {
        if (item[i] == u'"')
            quoted = !quoted;
        else if (item[i] == u'.' && !quoted)
            start = i + 1;
    }
    QString name = item.mid(start).trimmed();
    if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"'))
        name = name.mid(1, name.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return name;
}

QString bothConditions(const QString& first, const QString& second)
{
    if (first.isEmpty())
        return second;
    if (second.isEmpty())
        return first;
    return bracketed(first) + QStringLiteral(" AND ") + bracketed(second);
}

} // namespace patients::searchsql
