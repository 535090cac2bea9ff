#include "db/Generators.h"

#include "db/Connection.h"
#include "db/Errors.h"
#include "db/Query.h"
#include "db/SchemaManager.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QThread>

#include <functional>
#include <limits>

namespace db {
namespace {

constexpr qint64 kLargestIdentifier = std::numeric_limits<qint32>::max();

QString quoted(const QString& name) { return Dialect::quoted(name); }

// Runs `work` (one short transaction on the store) again while another workstation holds the
// lock (work returns nothing or throws LockTimeout), until the profile's busy timeout has passed.
qint32 retryingOnLock(const Connection& store, const QString& generator, const std::function<std::optional<qint32>()>& work)
{
    const int bound = store.profile().busyTimeoutMs;
    const QDeadlineTimer deadline(bound);
    QString engineMessage;
    for (;;) {
        try {
            if (const std::optional<qint32> done = work())
                return *done;
        } catch (const LockTimeout& e) {
            engineMessage = e.engineMessage();
            if (!store.isSqlite()) // PostgreSQL has already waited in its lock queue for the whole bound
                break;
        }
        if (deadline.hasExpired())
            break;
        QThread::usleep(QRandomGenerator::global()->bounded(200, 1000));
    }
    throw LockTimeout(QStringLiteral("The next number of %1 could not be taken: another workstation has held it "
                                     "for more than %2 seconds. Please try again.")
                          .arg(generator)
                          .arg(bound / 1000.0),
        engineMessage);
}

} // namespace

Generators::Generators(Connection& store, QList<GeneratorDef> definitions)
    : m_store(store)
    , m_definitions(std::move(definitions))
{
    if (m_store.isSqlite())
        m_store.setLockWait(0); // next() waits itself
}

Generators::~Generators() = default;

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
    retryingOnLock(m_store, missing[0].name, [&] {
        TransactionGuard transaction(m_store);
        schema.create(missing);
        for (const TableDef& table : std::as_const(missing))
            Query::run(m_store, QStringLiteral("INSERT INTO %1 (%2) VALUES (0)").arg(quoted(table.name), quoted(table.fields[0].name)));
        transaction.commit();
        return std::optional<qint32>(0);
    });
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
    return retryingOnLock(m_store, def.name, [&] { return advance(def); });
}

std::optional<qint32> Generators::advance(const GeneratorDef& def)
{
    std::unique_ptr<Query>& advance = m_advanceQueries[def.name];
    if (!advance)
        advance = std::make_unique<Query>(m_store, QStringLiteral("UPDATE %1 SET %2 = COALESCE(%2, 0) + 1 RETURNING %2").arg(quoted(def.name), quoted(def.field)));
    // On a server the statement alone is the transaction and its row lock serialises the
    // workstations: one round trip. An empty or exhausted generator takes the long way below.
    if (!m_store.isSqlite() && !m_takingHook && !m_store.inTransaction()) {
        const QVariant advanced = advance->scalar();
        if (advanced.isValid() && advanced.toLongLong() <= kLargestIdentifier)
            return static_cast<qint32>(advanced.toLongLong());
    }
    // A short write transaction of its own: the engine's lock serialises workstations.
    if (!m_store.tryBegin())
        return std::nullopt;
    TransactionGuard transaction(m_store, TransactionGuard::Begun {});
    const QVariant advanced = advance->scalar();
    qint64 id = 1;
    if (m_takingHook)
        m_takingHook();
    if (advanced.isValid())
        id = advanced.toLongLong();
    else // an empty generator: nothing was issued yet
        Query::run(m_store, QStringLiteral("INSERT INTO %1 (%2) VALUES (1)").arg(quoted(def.name), quoted(def.field)));
    if (id > kLargestIdentifier)
        throw DatabaseError(QStringLiteral("The identifiers of %1 are exhausted").arg(def.name));
    transaction.commit();
    return static_cast<qint32>(id);
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
    return raiseTo(generator, highest);
}

qint32 Generators::raiseTo(const QString& generator, qint64 highest)
{
    const GeneratorDef& def = definition(generator);
    if (highest > kLargestIdentifier)
        throw DatabaseError(QStringLiteral("The identifiers of %1 are exhausted").arg(def.name));
    const QString table = quoted(def.name);
    const QString field = quoted(def.field);
    retryingOnLock(m_store, def.name, [&] {
        TransactionGuard transaction(m_store);
        Query raise(m_store, QStringLiteral("UPDATE %1 SET %2 = :highest WHERE COALESCE(%2, 0) < :highest").arg(table, field));
        raise.bind(QStringLiteral("highest"), highest).exec();
        if (!Query(m_store, QStringLiteral("SELECT 1 FROM %1").arg(table)).scalar().isValid()) {
            Query insert(m_store, QStringLiteral("INSERT INTO %1 (%2) VALUES (:highest)").arg(table, field));
            insert.bind(QStringLiteral("highest"), highest).exec();
        }
        transaction.commit();
        return std::optional<qint32>(0);
    });
    return last(generator);
}

} // namespace db
