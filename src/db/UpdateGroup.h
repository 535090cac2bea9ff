#pragma once

#include <QList>

#include <functional>
#include <initializer_list>

namespace db {

class Connection;
class Dataset;

// Views whose cached updates are stored together: all of them in one transaction, or none.
// A failure rolls everything back and leaves every change pending, so nothing is lost.
class UpdateGroup {
public:
    UpdateGroup(Connection& connection, std::initializer_list<Dataset*> datasets);
    void add(Dataset* dataset) { m_entries.append(Entry { dataset, {} }); }
    // Work inside the transaction once the views added before it are written (a sum that must
    // read them); the views it adds are written after it, in the same transaction.
    void addStep(std::function<void()> step) { m_entries.append(Entry { nullptr, std::move(step) }); }
    void apply();
    void cancel();

private:
    struct Entry {
        Dataset* dataset;
        std::function<void()> step;
    };
    Connection& m_connection;
    QList<Entry> m_entries;
};

} // namespace db
