#pragma once

#include "db/TableDef.h"

#include <QList>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace db {

class Connection;
class Query;

// A field numbered from a generator's series.
struct ServedField {
    QString table;
    QString field;
    bool text = false; // the number is stored as text
};

// One identifier series: a generator table with one row whose one field is the last
// identifier issued. Several tables may share a series.
struct GeneratorDef {
    QString name; // the generator table, e.g. LastPat
    QList<ServedField> serves;
    QString field = QStringLiteral("LastID");
};

// The identifier generators (NextID). They live on a connection of their own
// (Connection::openGeneratorStore), so that:
//  - an identifier is committed the moment it is taken, and never reused, even when the
//    group of changes that was going to use it is rolled back (the number may already name
//    a patient's image folder);
//  - taking an identifier while a group transaction is open on the data connection does not
//    wait for that transaction's own write lock.
// Waiting for another workstation is bounded by the profile's busy timeout; then LockTimeout.
// With SQLite the wait is our own short, jittered retry rather than the engine's busy handler,
// whose sleeps grow to 100 ms: against a workstation taking numbers back to back that handler
// hardly ever finds the lock free and the waiter starves.
class Generators {
public:
    Generators(Connection& store, QList<GeneratorDef> definitions);
    ~Generators();
    Generators(const Generators&) = delete;
    Generators& operator=(const Generators&) = delete;

    const QList<GeneratorDef>& definitions() const { return m_definitions; }
    const GeneratorDef& definition(const QString& generator) const;
    static TableDef tableDef(const GeneratorDef& generator);

    // Creates the generator tables that do not exist yet, each holding its row at 0.
    void create();
    // Missing generator tables or fields, as SchemaManager::problems().
    QStringList problems() const;

    // Takes the next identifier of the series. A number taken is gone: a cancelled row
    // leaves a gap. An empty generator table starts the series at 1.
    qint32 next(const QString& generator);
    // The last identifier issued; 0 when none was.
    qint32 last(const QString& generator) const;

    // Repair: moves the series behind the highest identifier in use in the tables it serves
    // (read from `data`) and returns the last identifier afterwards. Never moves it back,
    // because numbers of deleted rows must not come again.
    qint32 setBehindHighestInUse(const QString& generator, const Connection& data);
    // Moves the series to `last` when it stands lower (never back); returns the last identifier.
    qint32 raiseTo(const QString& generator, qint64 last);

    // Test seam: called inside the taking transaction once the number has been read and before
    // it is stored, so that a test can hold this workstation there while another one tries to
    // take a number; taking it atomically means the other one cannot get one meanwhile.
    void setTakingHook(std::function<void()> hook) { m_takingHook = std::move(hook); }

private:
    std::optional<qint32> advance(const GeneratorDef& def); // nothing while another holds the lock

    Connection& m_store;
    QList<GeneratorDef> m_definitions;
    std::map<QString, std::unique_ptr<Query>> m_advanceQueries; // prepared once per generator
    std::function<void()> m_takingHook;
};

} // namespace db
