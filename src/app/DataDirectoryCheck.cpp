#include "app/DataDirectoryCheck.h"

#include "data/StartupSequence.h"
#include "db/Errors.h"
#include "platform/Session.h"

#include <QSqlDatabase>
#include <QSqlRecord>

namespace app {

DataDirectoryCheck::DataDirectoryCheck(const db::ConnectionProfile& profile, const std::function<void(int)>& progress)
{
    platform::Session& session = platform::session();
    const QList<data::StartupStep>& steps = data::startupOpenOrder();
    session.openingTable = steps.first().views.first().table;
    progress(0);
    m_connections = data::DataDirectory(profile.dataDirectory).open();

    const platform::Settings settings = session.settings();
    if (settings.deleteOldAppointments()) {
        try {
            data::deleteOldAppointments(*m_connections.data, QDate::currentDate(), settings.deleteAppointmentsAfterDays());
        } catch (const db::DatabaseError&) {
            // an appointment book that cannot be tidied today is tidied tomorrow
        }
    }

    const QSqlDatabase database = m_connections.data->database();
    const QStringList tables = database.tables();
    for (const data::StartupStep& step : steps) {
        for (const data::StartupView& view : step.views) {
            if (view.table.isEmpty())
                continue;
            session.openingTable = view.table;
            if (!tables.contains(view.table, Qt::CaseInsensitive) || database.record(view.table).isEmpty())
                throw db::DatabaseError(QStringLiteral("Table not found: ") + view.table);
        }
        progress(step.progress);
    }
}

} // namespace app
