#include "data/DataDirectory.h"

#include "data/ImportTargetLog.h"
#include "data/schema/Schema.h"
#include "db/ChangeFeed.h"
#include "db/Connection.h"
#include "db/Errors.h"
#include "db/Generators.h"
#include "db/Query.h"
#include "db/SchemaManager.h"
#include "platform/ExceptionLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace data {
namespace {

db::ConnectionProfile profileFor(const QString& path, bool readOnly = false)
{
    db::ConnectionProfile profile = db::ConnectionProfile::fromLocation(path, QStringLiteral("data-directory"));
    profile.readOnly = readOnly;
    return profile;
}

QString noPracticeOnServer(const QString& address)
{
    return QStringLiteral("The database %1 holds no practice: run orvane --init-data %1 to make one there.").arg(address);
}

DataConnections connect(const QString& path, bool readOnly = false)
{
    DataConnections connections;
    connections.data = db::Connection::open(profileFor(path, readOnly));
    connections.generatorStore = db::Connection::openGeneratorStore(profileFor(path, readOnly));
    connections.generators = std::make_unique<db::Generators>(*connections.generatorStore, generatorDefinitions());
    return connections;
}

QStringList integrityProblems(const db::Connection& connection, const QString& what)
{
    db::Query query(connection, QStringLiteral("PRAGMA integrity_check"));
    query.exec();
    QStringList faults;
    while (query.next()) {
        const QString line = query.value(0).toString();
        if (line != QLatin1String("ok"))
            faults.append(line);
    }
    if (faults.isEmpty())
        return {};
    // The engine's own account is for whoever mends it; the user is told what to do.
    platform::exceptionLog::logException(QStringLiteral("%1 %2: %3").arg(what, connection.sqliteFilePath(), faults.join(QStringLiteral("; "))));
    return {QStringLiteral("%1 is damaged (%2 faults found, listed in exceptions.log): run orvane --repair-data, which mends "
                           "damaged indexes; if the damage remains, restore the folder from a backup")
                .arg(what)
                .arg(faults.size())};
}

// The highest identifier the served tables hold (text identifiers count by their number).
qint64 highestInUse(const db::Connection& data, const db::GeneratorDef& generator)
{
    qint64 highest = 0;
    for (const db::ServedField& served : generator.serves) {
        QString column = db::Dialect::quoted(served.field);
        if (served.text)
            column = QStringLiteral("CAST(%1 AS INTEGER)").arg(column);
        db::Query query(data, QStringLiteral("SELECT MAX(%1) FROM %2").arg(column, db::Dialect::quoted(served.table)));
        highest = std::max(highest, query.scalar().toLongLong());
    }
    return highest;
}

QStringList schemaProblems(db::Connection& data)
{
    db::SchemaManager schema(data);
    QStringList problems = schema.problems(schemaTables());
    for (const db::TableDef& table : schemaTables()) {
        if (!schema.tableExists(table.name))
            continue;
        for (const db::IndexDef& index : table.indexes) {
            if (!schema.indexExists(table, index))
                problems.append(QStringLiteral("Table %1: index %2 is missing").arg(table.name, index.name));
        }
    }
    return problems;
}

QStringList schemaTableNames()
{
    QStringList names;
    for (const db::TableDef& table : schemaTables())
        names.append(table.name);
    return names;
}

// The tables whose changes other workstations would not see without pressing Refresh.
QStringList changeFeedProblems(db::Connection& data, const QString& path)
{
    QStringList present;
    QStringList missing;
    try {
        db::SchemaManager schema(data);
        for (const QString& table : schemaTableNames()) {
            if (schema.tableExists(table))
                present.append(table);
        }
        missing = db::changefeed::problems(data, present);
    } catch (const db::DatabaseError&) {
        return {}; // a database that cannot be read is reported for that
    }
    if (missing.isEmpty())
        return {};
    return {QStringLiteral("Changes to %1 do not show on the other workstations by themselves (only on Refresh): run orvane "
                           "--repair-data %2")
                .arg(missing.size() == present.size() ? QStringLiteral("every table") : missing.join(QStringLiteral(", ")), path)};
}

QStringList generatorProblems(const DataConnections& connections)
{
    QStringList problems = connections.generators->problems();
    db::SchemaManager schema(*connections.data);
    db::SchemaManager store(*connections.generatorStore);
    for (const db::GeneratorDef& generator : connections.generators->definitions()) {
        // A missing table or field is reported above or with the schema.
        const bool complete = std::all_of(generator.serves.begin(), generator.serves.end(), [&](const db::ServedField& served) {
            return schema.tableExists(served.table);
        });
        if (!complete || !store.tableExists(generator.name))
            continue;
        qint64 highest = 0;
        try {
            highest = highestInUse(*connections.data, generator);
        } catch (const db::DatabaseError&) {
            continue;
        }
        const qint32 last = connections.generators->last(generator.name);
        if (last < highest) {
            QStringList tables;
            for (const db::ServedField& served : generator.serves)
                tables.append(served.table);
            problems.append(QStringLiteral("Generator %1 stands at %2, but %3 already uses %4: new rows would get taken identifiers")
                                .arg(generator.name)
                                .arg(last)
                                .arg(tables.join(QStringLiteral(" / ")))
                                .arg(highest));
        }
    }
    return problems;
}

// Rows that name a patient the patient table does not hold: a lost patient row, or a table
// brought back from elsewhere. Every table with a patient field is looked at; 0 and negative
// numbers stand for no patient (an appointment of someone not registered). Patients an import
// did not bring are its own account, not damage.
QStringList orphanProblems(db::Connection& data, const std::optional<ImportLog>& import)
{
    QStringList problems;
    db::SchemaManager schema(data);
    if (!schema.tableExists(QStringLiteral("Patient")))
        return problems;
    for (const db::TableDef& table : schemaTables()) {
        if (table.name == QLatin1String("Patient") || !schema.tableExists(table.name))
            continue;
        for (const db::FieldDef& field : table.fields) {
            if (field.name != QLatin1String("PatientID") && field.name != QLatin1String("PatID"))
                continue;
            const QString column = db::Dialect::quoted(field.name);
            const QString sql = QStringLiteral("SELECT t.%2 FROM %1 t WHERE t.%2 > 0 AND NOT EXISTS "
                                               "(SELECT 1 FROM Patient p WHERE p.PatientID = t.%2)")
                                    .arg(db::Dialect::quoted(table.name), column);
            try {
                db::Query query(data, sql);
                query.exec();
                qint64 orphans = 0;
                while (query.next()) {
                    if (!import
                        || !import->notBrought(QStringLiteral("Patient"), query.value(0).toLongLong()))
                        ++orphans;
                }
                if (orphans > 0)
                    problems.append(QStringLiteral("%1 rows of %2 belong to no patient (their %3 is not in the patient table): "
                                                   "patients have been lost; restore the database from a backup")
                                        .arg(orphans)
                                        .arg(table.name, field.name));
            } catch (const db::DatabaseError&) {
                // a missing field is reported with the schema
            }
            break;
        }
    }
    return problems;
}

// The tables a practice cannot have lost without noticing: empty although numbers were
// issued for them, their rows are gone (a zero-byte file, a table dropped and made again).
QStringList emptyCoreProblems(const DataConnections& connections, const std::optional<ImportLog>& import)
{
    QStringList problems;
    db::SchemaManager schema(*connections.data);
    db::SchemaManager store(*connections.generatorStore);
    const std::pair<const char*, const char*> core[] = {{"Patient", "LastPat"}, {"History", "LastHist"}, {"Sessions", "LastSession"},
        {"Operations", "LastOper"}};
    for (const auto& [table, generator] : core) {
        const QString name = QString::fromLatin1(table);
        if (!schema.tableExists(name) || !store.tableExists(QString::fromLatin1(generator))
            || (import && import->leftEmpty(name)))
            continue;
        try {
            const bool empty = !db::Query(*connections.data, QStringLiteral("SELECT 1 FROM %1 LIMIT 1").arg(db::Dialect::quoted(name))).scalar().isValid();
            const qint32 issued = connections.generators->last(QString::fromLatin1(generator));
            if (empty && issued > 0)
                problems.append(QStringLiteral("The table %1 is empty, although %2 numbers were given out for it: its rows have "
                                               "been lost; restore the database from a backup")
                                    .arg(name)
                                    .arg(issued));
        } catch (const db::DatabaseError&) {
        }
    }
    return problems;
}

// Opens for reading only; when that fails because a program stopped half-way left a journal
// or log to roll back (which needs writing), opens as the program does, which rolls it back.
template<typename Open> auto openForCheck(const QString& file, Open open)
{
    try {
        return open(true);
    } catch (const db::DatabaseError&) {
        const bool leftovers = QFile::exists(file + QStringLiteral("-journal")) || QFile::exists(file + QStringLiteral("-wal"));
        if (!leftovers || !QFileInfo(QFileInfo(file).absolutePath()).isWritable())
            throw;
    }
    return open(false);
}

} // namespace

DataConnections::DataConnections() = default;
DataConnections::DataConnections(DataConnections&&) noexcept = default;
DataConnections& DataConnections::operator=(DataConnections&&) noexcept = default;
DataConnections::~DataConnections() = default;

DataDirectory::DataDirectory(QString path)
    : m_path(db::ConnectionProfile::isServerLocation(path) ? std::move(path) : QDir::cleanPath(path))
{
}

bool DataDirectory::isServer() const
{
    return db::ConnectionProfile::isServerLocation(m_path);
}

QString DataDirectory::databasePath() const
{
    return QDir(m_path).filePath(QString::fromLatin1(db::Connection::kSqliteFileName));
}

QString DataDirectory::generatorStorePath() const
{
    return QDir(m_path).filePath(QString::fromLatin1(db::Connection::kSqliteGeneratorFileName));
}

QString DataDirectory::demoMarkerPath() const
{
    return QDir(m_path).filePath(QString::fromLatin1(kDemoMarkerFile));
}

QString DataDirectory::recallQueryPath() const
{
    return QDir(m_path).filePath(QString::fromLatin1(kRecallQueryFile));
}

bool DataDirectory::hasDatabase() const
{
    if (isServer()) {
        auto data = db::Connection::open(profileFor(m_path));
        return db::SchemaManager(*data).tableExists(QStringLiteral("Patient"));
    }
    return QFile::exists(databasePath());
}

void DataDirectory::create() const
{
    if (isServer()) {
        DataConnections connections = connect(m_path);
        db::SchemaManager schema(*connections.data);
        for (const db::TableDef& table : schemaTables()) {
            if (schema.tableExists(table.name))
                throw db::DatabaseError(QStringLiteral("The database %1 already holds the table %2; it is left as it is.").arg(m_path, table.name));
        }
        schema.create(schemaTables());
        db::changefeed::install(*connections.data, schemaTableNames());
        connections.generators->create();
        return;
    }
    if (hasDatabase() || QFile::exists(generatorStorePath()))
        throw db::DatabaseError(QStringLiteral("%1 already holds a database; it is left as it is.").arg(m_path));
    if (!QDir().mkpath(m_path))
        throw db::DatabaseError(QStringLiteral("Cannot create the directory %1.").arg(m_path));
    {
        DataConnections connections = connect(m_path);
        db::SchemaManager(*connections.data).create(schemaTables());
        db::changefeed::install(*connections.data, schemaTableNames());
        connections.generators->create();
    }
    writeRecallQuery();
}

DataConnections DataDirectory::open() const
{
    if (isServer()) {
        if (!hasDatabase())
            throw db::DatabaseError(noPracticeOnServer(m_path));
        return connect(m_path);
    }
    // Opening would create an empty database file: a missing one must stay a plain error.
    if (!hasDatabase())
        throw db::DatabaseError(QStringLiteral("There is no database %1 in %2.")
                                    .arg(QString::fromLatin1(db::Connection::kSqliteFileName), m_path));
    return connect(m_path);
}

QStringList DataDirectory::check() const
{
    if (isServer()) {
        // The server keeps its own files sound; what is ours to check is the practice in it.
        if (!hasDatabase())
            return {noPracticeOnServer(m_path)};
        const DataConnections connections = connect(m_path);
        QStringList problems = schemaProblems(*connections.data);
        problems += orphanProblems(*connections.data, std::nullopt);
        problems += changeFeedProblems(*connections.data, m_path);
        problems += generatorProblems(connections);
        problems += emptyCoreProblems(connections, std::nullopt);
        return problems;
    }
    if (!hasDatabase())
        return {QStringLiteral("There is no database %1 in %2.").arg(QString::fromLatin1(db::Connection::kSqliteFileName), m_path)};
    const bool hasGenerators = QFile::exists(generatorStorePath());
    QStringList problems;
    std::optional<ImportLog> import;
    try {
        import = ImportLog::read(m_path);
    } catch (const db::DatabaseError& e) {
        problems.append(e.message());
    }
    if (!hasGenerators)
        problems.append(QStringLiteral("The file of the record numbers (%1) is missing: new records cannot be numbered; run "
                                       "orvane --repair-data %2 to rebuild it from the records")
                            .arg(generatorStorePath(), m_path));
    if (QFile::exists(demoMarkerPath()))
        problems.append(QStringLiteral("The demo practice was not finished (its making was stopped half-way): run orvane "
                                       "--demo-data %1 again to make it anew")
                            .arg(m_path));
    {
        // A check changes nothing, not even the journal mode of a file it finds empty; only the
        // leftovers of a program that stopped half-way are rolled back first, as any open does.
        auto data = openForCheck(databasePath(), [&](bool readOnly) { return db::Connection::open(profileFor(m_path, readOnly)); });
        problems += integrityProblems(*data, QStringLiteral("The database file"));
        problems += schemaProblems(*data);
        problems += orphanProblems(*data, import);
        problems += changeFeedProblems(*data, m_path);
    }
    if (hasGenerators) {
        const DataConnections connections = openForCheck(generatorStorePath(), [&](bool readOnly) { return connect(m_path, readOnly); });
        problems += integrityProblems(*connections.generatorStore, QStringLiteral("The generator store"));
        problems += generatorProblems(connections);
        problems += emptyCoreProblems(connections, import);
    }
    if (!QFile::exists(recallQueryPath()))
        problems.append(QStringLiteral("The recall query %1 is missing").arg(recallQueryPath()));
    return problems;
}

QStringList DataDirectory::repair() const
{
    const bool hadGenerators = isServer() || QFile::exists(generatorStorePath());
    DataConnections connections = open();
    QStringList done;
    if (!hadGenerators)
        done.append(QStringLiteral("Made the file of the record numbers %1 again").arg(generatorStorePath()));
    db::SchemaManager schema(*connections.data);

    QList<db::TableDef> missing;
    for (const db::TableDef& table : schemaTables()) {
        if (!schema.tableExists(table.name))
            missing.append(table);
    }
    if (!missing.isEmpty()) {
        schema.create(missing);
        for (const db::TableDef& table : missing)
            done.append(QStringLiteral("Created the missing table %1").arg(table.name));
    }

    // Table by table: the indexes of a table that lost a field cannot all be made, the others can.
    int rebuilt = 0;
    for (const db::TableDef& table : schemaTables()) {
        try {
            schema.rebuildIndexes({table});
            ++rebuilt;
        } catch (const db::DatabaseError&) {
            // the check that follows names what is wrong with the table
        }
    }
    done.append(QStringLiteral("Rebuilt the indexes of %1 of %2 tables").arg(rebuilt).arg(schemaTables().size()));

    if (!changeFeedProblems(*connections.data, m_path).isEmpty()) {
        db::changefeed::install(*connections.data, schemaTableNames());
        done.append(QStringLiteral("Set up the change feed that shows other workstations' changes"));
    }

    connections.generators->create();
    for (const db::GeneratorDef& generator : connections.generators->definitions()) {
        const qint32 before = connections.generators->last(generator.name);
        const qint32 after = connections.generators->setBehindHighestInUse(generator.name, *connections.data);
        if (after != before)
            done.append(QStringLiteral("Set generator %1 from %2 to %3").arg(generator.name).arg(before).arg(after));
    }

    if (!isServer() && !QFile::exists(recallQueryPath())) {
        writeRecallQuery();
        done.append(QStringLiteral("Wrote the recall query %1").arg(recallQueryPath()));
    }
    return done;
}

void DataDirectory::writeRecallQuery() const
{
    QSaveFile file(recallQueryPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        throw db::DatabaseError(QStringLiteral("Cannot write %1: %2").arg(recallQueryPath(), file.errorString()));
    file.write(defaultRecallQuery().toUtf8());
    if (!file.commit())
        throw db::DatabaseError(QStringLiteral("Cannot write %1: %2").arg(recallQueryPath(), file.errorString()));
}

QString defaultRecallQuery()
{
    return QStringLiteral(
        "-- Patients due for a recall: the recall date on the patient's file and every dated\n"
        "-- row of the patient's recall list. Inactive patients are left out.\n"
        "SELECT p.PatientID, p.LastName, p.FirstName, p.FatherName, p.Address, c.CityName,\n"
        "       p.Phone, p.CellTel, p.RecallDate, p.RecallReason\n"
        "FROM Patient p\n"
        "LEFT OUTER JOIN Cities c ON c.CityID = p.CityID\n"
        "WHERE p.RecallDate IS NOT NULL AND (p.NotActive IS NULL OR NOT p.NotActive)\n"
        "UNION ALL\n"
        "SELECT p.PatientID, p.LastName, p.FirstName, p.FatherName, p.Address, c.CityName,\n"
        "       p.Phone, p.CellTel, r.RecallDate, r.PatRecReason\n"
        "FROM Recalls r\n"
        "JOIN Patient p ON p.PatientID = r.PatientID\n"
        "LEFT OUTER JOIN Cities c ON c.CityID = p.CityID\n"
        "WHERE r.RecallDate IS NOT NULL AND (p.NotActive IS NULL OR NOT p.NotActive)\n");
}

QString recallsOfDayStatement(const QString& storedQuery)
{
    // The stored text may end in a semicolon, which may not reach the subquery.
    QString body = storedQuery.trimmed();
    while (body.endsWith(QLatin1Char(';')))
        body = body.chopped(1).trimmed();
    return QStringLiteral("SELECT * FROM (\n%1\n) AS PatientsForRecall WHERE RecallDate = :RecallDate").arg(body);
}

} // namespace data
