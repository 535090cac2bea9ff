#include "data/DemoPractice.h"

#include "data/DataDirectory.h"
#include "data/demo/DemoBuilder.h"
#include "data/demo/DemoToday.h"
#include "data/demo/DemoImages.h"
#include "db/Connection.h"
#include "db/Generators.h"
#include "db/Query.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    demo::eventfulDay(writer, m_options.today);
    transaction.commit();
    return builder.counts;
}

DemoPracticeCounts createDemoDirectory(const QString& path, DemoPracticeOptions options)
{
    const DataDirectory dir(path);
    // A demo practice stopped half-way is made anew; any other database is left alone (create()
    // refuses it). The marker goes before the first file and after the last row.
    if (QFile::exists(dir.demoMarkerPath())) {
        for (const QString& file : {dir.databasePath(), dir.generatorStorePath(), dir.recallQueryPath()}) {
            for (const char* suffix : {"", "-wal", "-shm", "-journal"})
                QFile::remove(file + QLatin1String(suffix));
        }
    } else if (dir.hasDatabase() || QFile::exists(dir.generatorStorePath())) {
        dir.create(); // throws: the directory holds a practice
    }
    QDir().mkpath(path);
    QFile marker(dir.demoMarkerPath());
    if (!marker.open(QIODevice::WriteOnly))
        throw db::DatabaseError(QStringLiteral("Cannot write in %1: %2").arg(path, marker.errorString()));
    marker.close();
    dir.create();
    DemoPracticeCounts counts;
    {
        DataConnections connections = dir.open();
        // Every identifier is committed on its own; a fresh directory has nothing to lose if the
        // machine stops half-way, so the store need not wait for the disk each time.
        db::Query::run(*connections.generatorStore, QStringLiteral("PRAGMA synchronous = OFF"));
        counts = DemoPractice(*connections.data, *connections.generators, options).generate();
        demo::writeDemoImages(*connections.data, *connections.generators, QFileInfo(QDir::cleanPath(path)).absolutePath());
    }
    QFile::remove(dir.demoMarkerPath());
    return counts;
}

} // namespace data
