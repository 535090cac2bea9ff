#include "data/GeneratorSeries.h"

#include "db/Connection.h"
#include "db/Dialect.h"
#include "db/Query.h"

#include <algorithm>

namespace data {

GeneratorSeries::GeneratorSeries(db::Connection& connection, const GeneratorDef& generator)
    : m_connection(connection)
    , m_generator(generator)
{
}

int GeneratorSeries::lastIssued() const
{
    db::Query query(m_connection,
        QStringLiteral("SELECT MAX(%1) FROM %2").arg(db::Dialect::quoted(m_generator.field), db::Dialect::quoted(m_generator.table)));
    return query.scalar().toInt();
}

int GeneratorSeries::highestInUse() const
{
    int highest = 0;
    for (const QString& name : m_generator.servedTables) {
        const db::TableDef* table = schemaTable(name);
        const db::FieldDef* field = table->field(table->identifierField);
        QString column = db::Dialect::quoted(field->name);
        if (field->type == db::FieldType::String) // the materials keep their number as text
            column = QStringLiteral("CAST(%1 AS INTEGER)").arg(column);
        db::Query query(m_connection, QStringLiteral("SELECT MAX(%1) FROM %2").arg(column, db::Dialect::quoted(table->name)));
        highest = std::max(highest, query.scalar().toInt());
    }
    return highest;
}

void GeneratorSeries::setLastIssued(int value)
{
    const QString table = db::Dialect::quoted(m_generator.table);
    db::TransactionGuard transaction(m_connection);
    // A generator holds one row; a stray second one would make the series ambiguous.
    db::Query::run(m_connection, QStringLiteral("DELETE FROM %1").arg(table));
    db::Query insert(m_connection, QStringLiteral("INSERT INTO %1 (%2) VALUES (:value)").arg(table, db::Dialect::quoted(m_generator.field)));
    insert.bind(QStringLiteral("value"), value).exec();
    transaction.commit();
}

int GeneratorSeries::next()
{
    db::TransactionGuard transaction(m_connection);
    const int value = lastIssued() + 1;
    setLastIssued(value);
    transaction.commit();
    return value;
}

} // namespace data
