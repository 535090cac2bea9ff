#include "data/demo/RowWriter.h"

#include "data/schema/Schema.h"
#include "db/Dialect.h"
#include "db/Errors.h"
#include "db/Generators.h"
#include "db/Query.h"

namespace data::demo {

RowWriter::RowWriter(db::Connection& connection, db::Generators& generators)
    : m_connection(connection)
    , m_generators(generators)
{
}

RowWriter::~RowWriter() = default;

void RowWriter::insert(const QString& table, const Values& values)
{
    QStringList fields;
    for (const auto& value : values)
        fields.append(value.first);
    const QString key = table + QLatin1Char('|') + fields.join(QLatin1Char(','));
    std::shared_ptr<db::Query>& statement = m_statements[key];
    if (!statement) {
        QStringList columns;
        QStringList parameters;
        for (const QString& field : fields) {
            columns.append(db::Dialect::quoted(field));
            parameters.append(QLatin1Char(':') + field);
        }
        statement = std::make_shared<db::Query>(m_connection,
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(db::Dialect::quoted(table), columns.join(QStringLiteral(", ")), parameters.join(QStringLiteral(", "))));
    }
    for (const auto& value : values)
        statement->bind(value.first, value.second);
    statement->exec();
}

int RowWriter::take(const QString& table)
{
    const GeneratorDef* generator = generatorFor(table);
    if (!generator)
        throw db::DatabaseError(QStringLiteral("Table %1 takes no identifiers from a generator").arg(table));
    return m_generators.next(generator->table);
}

} // namespace data::demo
