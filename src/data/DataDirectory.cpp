#include "data/DataDirectory.h"

#include "data/GeneratorSeries.h"
#include "data/schema/Schema.h"
#include "db/Connection.h"
#include "db/Errors.h"
#include "db/Query.h"
#include "db/SchemaManager.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace data {
namespace {

QList<db::TableDef> everyTable()
{
    QList<db::TableDef> tables = schemaTables();
    for (const GeneratorDef& generator : generatorTables())
        tables.append(generator.tableDef());
    return tables;
}

db::ConnectionProfile profileFor(const QString& path)
{
    return {.name = QStringLiteral("data-directory"), .dataDirectory = path};
}

bool indexExists(const db::Connection& connection, const db::TableDef& table, const db::IndexDef& index)
{
    db::Query query(connection, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = :name"));
    return query.bind(QStringLiteral("name"), db::SchemaManager::physicalIndexName(table, index)).scalar().isValid();
}

QStringList integrityProblems(const db::Connection& connection)
{
    db::Query query(connection, QStringLiteral("PRAGMA integrity_check"));
    query.exec();
    QStringList problems;
    while (query.next()) {
        const QString line = query.value(0).toString();
        if (line != QLatin1String("ok"))
            problems.append(QStringLiteral("The database file is damaged: %1").arg(line));
    }
    return problems;
}

} // namespace

DataDirectory::DataDirectory(QString path)
    : m_path(QDir::cleanPath(std::move(path)))
{
}

QString DataDirectory::databasePath() const
{
    return QDir(m_path).filePath(QString::fromLatin1(db::Connection::kSqliteFileName));
}

QString DataDirectory::recallQueryPath() const
{
    return QDir(m_path).filePath(QString::fromLatin1(kRecallQueryFile));
}

bool DataDirectory::hasDatabase() const
{
    return QFile::exists(databasePath());
}

void DataDirectory::create() const
{
    if (hasDatabase())
        throw db::DatabaseError(QStringLiteral("%1 already holds a database; it is left as it is.").arg(m_path));
    if (!QDir().mkpath(m_path))
        throw db::DatabaseError(QStringLiteral("Cannot create the directory %1.").arg(m_path));
    {
        auto connection = db::Connection::open(profileFor(m_path));
        db::SchemaManager(*connection).create(everyTable());
    }
    writeRecallQuery();
}

std::unique_ptr<db::Connection> DataDirectory::open() const
{
    // Opening would create an empty database file: a missing one must stay a plain error.
    if (!hasDatabase())
        throw db::DatabaseError(QStringLiteral("There is no database %1 in %2.")
                                    .arg(QString::fromLatin1(db::Connection::kSqliteFileName), m_path));
    return db::Connection::open(profileFor(m_path));
}

QStringList DataDirectory::check() const
{
    if (!hasDatabase())
        return {QStringLiteral("There is no database %1 in %2.").arg(QString::fromLatin1(db::Connection::kSqliteFileName), m_path)};
    auto connection = open();
    QStringList problems = integrityProblems(*connection);
    db::SchemaManager schema(*connection);
    problems += schema.problems(everyTable());
    for (const db::TableDef& table : schemaTables()) {
        if (!schema.tableExists(table.name))
            continue;
        for (const db::IndexDef& index : table.indexes) {
            if (!indexExists(*connection, table, index))
                problems.append(QStringLiteral("Table %1: index %2 is missing").arg(table.name, index.name));
        }
    }
    for (const GeneratorDef& generator : generatorTables()) {
        // A missing table or field is reported above already.
        const bool complete = std::all_of(generator.servedTables.begin(), generator.servedTables.end(),
            [&](const QString& table) { return schema.tableExists(table); });
        if (!complete || !schema.tableExists(generator.table))
            continue;
        GeneratorSeries series(*connection, generator);
        int last = 0;
        int highest = 0;
        try {
            last = series.lastIssued();
            highest = series.highestInUse();
        } catch (const db::DatabaseError&) {
            continue;
        }
        if (last < highest)
            problems.append(QStringLiteral("Generator %1 stands at %2, but %3 already uses %4: new rows would get taken identifiers")
                                .arg(generator.table)
                                .arg(last)
                                .arg(generator.servedTables.join(QStringLiteral(" / ")))
                                .arg(highest));
    }
    if (!QFile::exists(recallQueryPath()))
        problems.append(QStringLiteral("The recall query %1 is missing").arg(recallQueryPath()));
    return problems;
}

QStringList DataDirectory::repair() const
{
    auto connection = open();
    QStringList done;
    db::SchemaManager schema(*connection);

    QList<db::TableDef> missing;
    for (const db::TableDef& table : everyTable()) {
        if (!schema.tableExists(table.name))
            missing.append(table);
    }
    if (!missing.isEmpty()) {
        schema.create(missing);
        for (const db::TableDef& table : missing)
            done.append(QStringLiteral("Created the missing table %1").arg(table.name));
    }

    schema.rebuildIndexes(schemaTables());
    done.append(QStringLiteral("Rebuilt the indexes"));

    for (const GeneratorDef& generator : generatorTables()) {
        GeneratorSeries series(*connection, generator);
        const int last = series.lastIssued();
        const int highest = series.highestInUse();
        if (last < highest) {
            series.setLastIssued(highest);
            done.append(QStringLiteral("Set generator %1 from %2 to %3").arg(generator.table).arg(last).arg(highest));
        }
    }

    if (!QFile::exists(recallQueryPath())) {
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
    // The stored text may end in comments or a semicolon; neither may reach the subquery.
    QString body = storedQuery.trimmed();
    while (body.endsWith(QLatin1Char(';')))
        body = body.chopped(1).trimmed();
    return QStringLiteral("SELECT * FROM (\n%1\n) AS PatientsForRecall WHERE RecallDate = :RecallDate").arg(body);
}

} // namespace data
