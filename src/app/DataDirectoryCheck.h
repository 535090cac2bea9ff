#pragma once

#include "data/DataDirectory.h"
#include "db/Connection.h"

#include <QObject>

#include <functional>

namespace app {

// What the start-up runs in the data module's place until the data module exists: opens the
// data directory and reaches every table in the data module's opening order, with the progress
// after each group, and deletes the old appointments when the settings ask for it. A table
// that cannot be reached throws db::DatabaseError, platform::session().openingTable naming it.
class DataDirectoryCheck : public QObject {
    Q_OBJECT
public:
    DataDirectoryCheck(const db::ConnectionProfile& profile, const std::function<void(int)>& progress);

    db::Connection& connection() { return *m_connections.data; }

private:
    data::DataConnections m_connections;
};

} // namespace app
