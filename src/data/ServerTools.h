#pragma once

// The PostgreSQL client tools as the server backup runs them.

#include "data/Backup.h"
#include "db/Connection.h"

#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace data::servertools {

// The address as the client tools take it (keyword=value), without the password.
QString conninfo(const db::ConnectionProfile& profile);

// The rows of every table in a dump of the custom format, counted in what pg_restore reads
// out of it.
QMap<QString, qint64> countDumpRows(const QString& dump);

// A client tool run to its end; BackupError with what it said when it fails.
class ToolRun {
public:
    ToolRun(const QString& tool, const db::ConnectionProfile& profile);
    ~ToolRun();
    ToolRun(const ToolRun&) = delete;
    ToolRun& operator=(const ToolRun&) = delete;
    QProcess& process() { return m_process; }
    void start(const QStringList& arguments);
    // Waits for the end; `what` says what failed in the message.
    void finish(const QString& what);

private:
    QString m_name;
    QString m_program;
    QProcess m_process;
};

} // namespace data::servertools
