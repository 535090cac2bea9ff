#include "db/Generators.h"

#include "db/Connection.h"
#include "db/Errors.h"
#include "db/Query.h"
#include "db/SchemaManager.h"

#include <limits>

namespace db {
namespace {

constexpr qint64 kLargestIdentifier = std::numeric_limits<qint32>::max();

QString quoted(const QString& name) { return Dialect::quoted(name); }

} // namespace

Generators::Generators(Connection& store, QList<GeneratorDef> definitions)
    : m_store(store)
    , m_definitions(std::move(definitions))
{
}

const GeneratorDef& Generators::definition(const QString& generator) const
{
    for (const GeneratorDef& def : m_definitions) {
        if (def.name.compare(generator, Qt::CaseInsensitive) == 0)
            return def;
    }
    throw DatabaseError(QStringLiteral("There is no identifier generator %1").arg(generator));
}

TableDef Generators::tableDef(const GeneratorDef& generator)
{
    return {generator.name, {i32(generator.field)}, {}, {}};
}

void Generators::create()
{
    SchemaManager schema(m_store);
    QList<TableDef> missing;
    for (const GeneratorDef& def : std::as_const(m_definitions)) {
        if (!schema.tableExists(def.name))
            missing.append(tableDef(def));
    }
    if (missing.isEmpty())
        return;
    TransactionGuard transaction(m_store);
    schema.create(missing);
    for (const TableDef& table : std::as_const(missing))
        Query::run(m_store, QStringLiteral("INSERT INTO %1 (%2) VALUES (0)").arg(quoted(table.name), quoted(table.fields[0].name)));
    transaction.commit();
}

QStringList Generators::problems() const
{
    QList<TableDef> tables;
    for (const GeneratorDef& def : m_definitions)
        tables.append(tableDef(def));
    return SchemaManager(m_store).problems(tables);
}

qint32 Generators::next(const QString& generator)
{
    const GeneratorDef& def = definition(generator);
    const QString table = quoted(def.name);
    const QString field = quoted(def.field);
    try {
        // A short write transaction of its own: the engine's lock serialises workstations.
        TransactionGuard transaction(m_store);
        QVariant advanced = Query(m_store, QStringLiteral("UPDATE %1 SET %2 = COALESCE(%2, 0) + 1 RETURNING %2").arg(table, field)).scalar();
        qint64 id = 1;
        if (advanced.isValid())
            id = advanced.toLongLong();
        else
            Query::run(m_store, QStringLiteral("INSERT INTO %1 (%2) VALUES (1)").arg(table, field));
        if (id > kLargestIdentifier)
            throw DatabaseError(QStringLiteral("The identifiers of %1 are exhausted").arg(def.name));
        transaction.commit();
        return static_cast<qint32>(id);
    } catch (const LockTimeout& e) {
        throw LockTimeout(QStringLiteral("The next number of %1 could not be taken: another workstation has held it "
                                         "for more than %2 seconds. Please try again.")
                              .arg(def.name)
                              .arg(m_store.profile().busyTimeoutMs / 1000.0),
            e.engineMessage(), e.sql());
    }
}

qint32 Generators::last(const QString& generator) const
{
    const GeneratorDef& def = definition(generator);
    return Query(m_store, QStringLiteral("SELECT MAX(%1) FROM %2").arg(quoted(def.field), quoted(def.name))).scalar().toInt();
}

qint32 Generators::setBehindHighestInUse(const QString& generator, const Connection& data)
{
    const GeneratorDef& def = definition(generator);
    qint64 highest = 0;
    for (const ServedField& served : def.serves) {
        const QString column = served.text ? QStringLiteral("CAST(%1 AS INTEGER)").arg(quoted(served.field)) : quoted(served.field);
        const QString sql = QStringLiteral("SELECT MAX(%1) FROM %2").arg(column, quoted(served.table));
        highest = std::max(highest, Query(data, sql).scalar().toLongLong());
    }
    TransactionGuard transaction(m_store);
    const QString table = quoted(def.name);
    const QString field = quoted(def.field);
    Query raise(m_store, QStringLiteral("UPDATE %1 SET %2 = :highest WHERE COALESCE(%2, 0) < :highest").arg(table, field));
    raise.bind(QStringLiteral("highest"), highest).exec();
    if (!Query(m_store, QStringLiteral("SELECT 1 FROM %1").arg(table)).scalar().isValid()) {
        Query insert(m_store, QStringLiteral("INSERT INTO %1 (%2) VALUES (:highest)").arg(table, field));
        insert.bind(QStringLiteral("highest"), highest).exec();
    }
    transaction.commit();
    return last(generator);
}

} // namespace db
