#include "patients/SearchCondition.h"

#include "db/Dataset.h"
#include "patients/SearchSql.h"

namespace patients {
namespace {

template<std::size_t N>
QStringList captionsOf(const std::array<SearchOperator, N>& list)
{
    QStringList captions;
    for (const SearchOperator& op : list)
        captions.append(QString::fromUtf8(op.caption));
    return captions;
}

// The value as the field's type, so that the engine compares like with like.
QVariant boundValue(const db::Field& field, const QString& typed)
{
    switch (field.type()) {
    case db::FieldType::String:
    case db::FieldType::Memo:
        return typed;
    case db::FieldType::Date:
    case db::FieldType::DateTime: {
        const QVariant when = field.coerce(typed);
        return when.isNull() ? QVariant() : QVariant(when.toDate());
    }
    default:
        return field.coerce(typed);
    }
}

} // namespace

QStringList operatorCaptions()
{
    return captionsOf(kSearchOperators);
}

QStringList connectorCaptions()
{
    return captionsOf(kSearchConnectors);
}

SearchCondition buildCondition(const RestrictionRows& rows, const QList<const db::Field*>& fields)
{
    SearchCondition result;
    int number = 0;
    for (const platform::ViewRestriction& row : rows) {
        const bool named = row.field >= 0 && row.field < fields.size();
        const bool withOperator = row.op >= 0 && row.op < int(kSearchOperators.size());
        if (!row.on || !named || !withOperator)
            continue;
        const db::Field& field = *fields[row.field];
        const SearchOperator& op = kSearchOperators[std::size_t(row.op)];
        const QString param = QStringLiteral("Restriction%1").arg(++number);
        result.params.insert(param, boundValue(field, row.value));
        if (number > 1) {
            const bool known = row.connector >= 0 && row.connector < int(kSearchConnectors.size());
            const SearchOperator& connector = kSearchConnectors[known ? std::size_t(row.connector) : 0];
            result.sql += QString::fromLatin1(connector.sql);
            result.summary += u' ' + QString::fromUtf8(connector.caption) + u' ';
        }
        result.sql += searchsql::columnOf(field) + QString::fromLatin1(op.sql) + u':' + param;
        result.summary += field.label() + u' ' + QString::fromUtf8(op.caption) + u' ' + row.value;
    }
    return result;
}

} // namespace patients
