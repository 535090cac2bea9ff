#include "data/DemoPractice.h"

#include "data/DataDirectory.h"
#include "data/demo/DemoBuilder.h"
#include "db/Connection.h"
#include "db/Generators.h"
#include "db/Query.h"

namespace data {

DemoPractice::DemoPractice(db::Connection& connection, db::Generators& generators, DemoPracticeOptions options)
    : m_connection(connection)
    , m_generators(generators)
    , m_options(options)
{
}

DemoPracticeCounts DemoPractice::generate()
{
    demo::RowWriter writer(m_connection, m_generators);
    demo::DemoBuilder builder(writer, m_options);
    db::TransactionGuard transaction(m_connection);
    // The order matters: later parts refer to what the earlier ones wrote.
    builder.referenceLists();
    builder.dentists();
    builder.operationsCatalogue();
    builder.supplyCatalogue();
    builder.officeLists();
    builder.patients();
    builder.treatments();
    builder.payments();
    builder.prescriptions();
    builder.labWork();
    builder.materialOrders();
    builder.practiceExpenses();
    builder.appointments();
    builder.clinicalNotes();
    transaction.commit();
    return builder.counts;
}

DemoPracticeCounts createDemoDirectory(const QString& path, DemoPracticeOptions options)
{
    const DataDirectory dir(path);
    dir.create();
    DataConnections connections = dir.open();
    // Every identifier is committed on its own; a fresh directory has nothing to lose if the
    // machine stops half-way, so the store need not wait for the disk each time.
    db::Query::run(*connections.generatorStore, QStringLiteral("PRAGMA synchronous = OFF"));
    return DemoPractice(*connections.data, *connections.generators, options).generate();
}

} // namespace data
