#include "db/UpdateGroup.h"

#include "db/Connection.h"
#include "db/Dataset.h"

namespace db {

UpdateGroup::UpdateGroup(Connection& connection, std::initializer_list<Dataset*> datasets)
    : m_connection(connection)
{
    for (Dataset* d : datasets)
        add(d);
}

void UpdateGroup::apply()
{
    QList<Dataset*> written;
    {
        TransactionGuard guard(m_connection);
        // By index: a step may add entries behind it.
        for (qsizetype i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].step) {
                const std::function<void()> step = m_entries[i].step;
                step();
                continue;
            }
            Dataset* d = m_entries[i].dataset;
            if (d->isActive() && !written.contains(d)) {
                d->writePendingUpdates();
                written.append(d);
            }
        }
        guard.commit();
    }
    for (Dataset* d : std::as_const(written))
        d->commitPendingUpdates();
}

void UpdateGroup::cancel()
{
    for (const Entry& e : std::as_const(m_entries)) {
        if (e.dataset)
            e.dataset->cancelUpdates();
    }
}

} // namespace db
