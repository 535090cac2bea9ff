#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <utility>

namespace data {

struct DataConnections;
namespace demo {
class RowWriter;
}

// The new data directory an old installation's records are imported into: made empty, then
// filled table by table, each table in one transaction, its rows counted back afterwards.
class ImportTarget {
public:
    using Values = QList<std::pair<QString, QVariant>>;

    // Makes the database in `directory` (which must hold none); db::DatabaseError otherwise.
    explicit ImportTarget(const QString& directory);
    ~ImportTarget();
    ImportTarget(const ImportTarget&) = delete;
    ImportTarget& operator=(const ImportTarget&) = delete;

    void beginTable(const QString& table);
    void insert(const QString& table, const Values& values);
    void commitTable();
    void rollbackTable();
    qint64 rowCount(const QString& table) const;

    // Every generator behind the highest identifier its tables hold, and behind each number of
    // `inUse` (by generator name: the old installation's last numbers, the highest numbers its
    // rows hold or refer to) that is higher. Returns "LastPat: 1234" for each generator that
    // issued a number.
    QStringList setGenerators(const QList<std::pair<QString, qint64>>& inUse);

    // Closes the database, so that its directory may be moved.
    void close();

private:
    std::unique_ptr<DataConnections> m_connections;
    std::unique_ptr<demo::RowWriter> m_writer;
};

} // namespace data
