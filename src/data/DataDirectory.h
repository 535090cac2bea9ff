#pragma once

#include "db/Errors.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace db {
class Connection;
class Generators;
}

namespace data {

// The identifier store beside the database is gone: opening it would make an empty one, and
// every new record would then fail. The repair command rebuilds it from the records.
class MissingGeneratorStore : public db::DatabaseError {
public:
    using db::DatabaseError::DatabaseError;
};

// The database of a data directory with its identifier generators, which keep a store of
// their own beside it.
struct DataConnections {
    std::unique_ptr<db::Connection> data;
    std::unique_ptr<db::Connection> generatorStore;
    std::unique_ptr<db::Generators> generators;

    DataConnections();
    DataConnections(DataConnections&&) noexcept;
    DataConnections& operator=(DataConnections&&) noexcept;
    ~DataConnections();
};

// A data directory of the embedded database: the database file with every table, the
// generator store, and the stored recall query beside them. Serves the --init-data, --check-data and --repair-data
// commands.
class DataDirectory {
public:
    static constexpr const char* kRecallQueryFile = "PatientsForRecall.sql";
    // Lies in a directory while the demo practice is being made; one left behind marks a demo
    // practice that was stopped half-way.
    static constexpr const char* kDemoMarkerFile = "DemoPractice.incomplete";

    // `path`: a directory, or the address of a database server (postgresql://…), which holds
    // the tables and the generators and has no files beside them.
    explicit DataDirectory(QString path);

    const QString& path() const { return m_path; }
    bool isServer() const;
    QString databasePath() const;
    QString generatorStorePath() const;
    QString recallQueryPath() const;
    QString demoMarkerPath() const;
    bool hasDatabase() const;

    // Makes the directory when needed and a new database in it. Refuses (db::DatabaseError) a
    // directory that already holds a database, so that nothing is ever overwritten.
    void create() const;
    // Opens the existing database and its generators; db::DatabaseError when there is none.
    DataConnections open() const;

    // Everything that is wrong, one plain sentence each; empty when the directory is sound.
    QStringList check() const;
    // Rebuilds what can be rebuilt without losing a row: missing tables and generators, the
    // indexes, generators that lag behind the identifiers in use, the recall query. Returns
    // what it did; what it cannot mend is left to check().
    QStringList repair() const;

private:
    void writeRecallQuery() const;

    QString m_path;
};

// The text stored in a new data directory's recall query: one row per recall that is due some
// day, from the patient's own recall date and from the patient's recall list.
QString defaultRecallQuery();
// The statement that lists the recalls of one day from the stored query text; it binds the
// day to :RecallDate.
QString recallsOfDayStatement(const QString& storedQuery);

} // namespace data
