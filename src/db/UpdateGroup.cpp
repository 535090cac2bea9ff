#include "db/UpdateGroup.h"

#include "db/Connection.h"
#include "db/Dataset.h"

namespace db {

UpdateGroup::UpdateGroup(Connection& connection, std::initializer_list<Dataset*> datasets)
    : m_connection(connection)
    , m_datasets(datasets)
{
}

void UpdateGroup::apply()
{
    {
        TransactionGuard guard(m_connection);
        for (Dataset* d : std::as_const(m_datasets)) {
            if (d->isActive())
                d->writePendingUpdates();
        }
        guard.commit();
    }
    for (Dataset* d : std::as_const(m_datasets))
        d->commitPendingUpdates();
}

void UpdateGroup::cancel()
{
    for (Dataset* d : std::as_const(m_datasets))
        d->cancelUpdates();
}

} // namespace db
