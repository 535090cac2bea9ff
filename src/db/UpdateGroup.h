#pragma once

#include <QList>

#include <initializer_list>

namespace db {

class Connection;
class Dataset;

// Views whose cached updates are stored together: all of them in one transaction, or none.
// A failure rolls everything back and leaves every change pending, so nothing is lost.
class UpdateGroup {
public:
    UpdateGroup(Connection& connection, std::initializer_list<Dataset*> datasets);
    void add(Dataset* dataset) { m_datasets.append(dataset); }
    void apply();
    void cancel();

private:
    Connection& m_connection;
    QList<Dataset*> m_datasets;
};

} // namespace db
