#include "data/ImportTarget.h"

#include "data/DataDirectory.h"
#include "data/demo/RowWriter.h"
#include "data/schema/Schema.h"
#include "db/Connection.h"
#include "db/Generators.h"
#include "db/Query.h"

namespace data {

ImportTarget::ImportTarget(const QString& directory)
{
    const DataDirectory dir(directory);
    dir.create();
    m_connections = std::make_unique<DataConnections>(dir.open());
    m_writer = std::make_unique<demo::RowWriter>(*m_connections->data, *m_connections->generators);
}

ImportTarget::~ImportTarget()
{
    close();
}

void ImportTarget::beginTable(const QString&)
{
    m_connections->data->begin();
}

void ImportTarget::insert(const QString& table, const Values& values)
{
    m_writer->insert(table, values);
}

void ImportTarget::commitTable()
{
    m_connections->data->commit();
}

void ImportTarget::rollbackTable()
{
    if (m_connections && m_connections->data->inTransaction())
        m_connections->data->rollback();
}

qint64 ImportTarget::rowCount(const QString& table) const
{
    return db::Query(
        *m_connections->data, QStringLiteral("SELECT COUNT(*) FROM %1").arg(db::Dialect::quoted(table)))
        .scalar()
        .toLongLong();
}

QStringList ImportTarget::setGenerators(const QList<std::pair<QString, qint64>>& inUse)
{
    QStringList lines;
    db::Generators& generators = *m_connections->generators;
    for (const db::GeneratorDef& generator : generators.definitions()) {
        qint32 last = generators.setBehindHighestInUse(generator.name, *m_connections->data);
        for (const auto& [name, number] : inUse) {
            if (name.compare(generator.name, Qt::CaseInsensitive) == 0)
                last = generators.raiseTo(generator.name, number);
        }
        if (last > 0)
            lines.append(QStringLiteral("%1: %2").arg(generator.name).arg(last));
    }
    return lines;
}

void ImportTarget::close()
{
    rollbackTable();
    m_writer.reset();
    m_connections.reset();
}

} // namespace data
