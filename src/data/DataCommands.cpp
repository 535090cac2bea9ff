#include "data/DataCommands.h"

#include "data/AuditTrailChain.h"
#include "data/Backup.h"
#include "data/DataCopy.h"
#include "data/DataDirectory.h"
#include "data/DemoPractice.h"
#include "data/ImportTargetLog.h"
#include "db/Connection.h"
#include "db/Errors.h"
#include "db/ErrorWords.h"
#include "platform/ExceptionLog.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace data {
namespace {

void list(QTextStream& stream, const QStringList& lines)
{
    for (const QString& line : lines)
        stream << "  " << line << '\n';
}

// The engine's error in words whoever runs the command can act on; the engine's own text goes
// to the exceptions log.
QString inWords(const db::DatabaseError& error, const DataDirectory& dir)
{
    // A server is no folder: its failures are told in its own terms.
    if (dir.isServer())
        return db::serverFailureInWords(error, dir.path());
    const QString folder = QDir::toNativeSeparators(dir.path());
    if (dynamic_cast<const db::LockTimeout*>(&error))
        return QStringLiteral(
            "The database in %1 is locked by another program or workstation. Close it, or wait until it has "
            "finished, and try again.")
            .arg(folder);
    if (dynamic_cast<const db::DamagedDatabase*>(&error))
        return QStringLiteral(
            "The database file in %1 is damaged: it cannot be read as a database. Restore the folder from a "
            "backup.")
            .arg(folder);
    if (dynamic_cast<const db::AccessDenied*>(&error) || !QFileInfo(dir.path()).isReadable())
        return QStringLiteral("You have no permission to use the database in %1.").arg(folder);
    if (dynamic_cast<const MissingGeneratorStore*>(&error))
        return QStringLiteral("The file of the record numbers (%1) is missing in %2. Run orvane "
                              "--repair-data %2 to rebuild it.")
            .arg(QString::fromLatin1(db::Connection::kSqliteGeneratorFileName), folder);
    return error.message();
}

// The audit trail's chain, read on a connection that writes nothing.
QStringList auditTrailProblems(const DataDirectory& dir)
{
    if (!dir.hasDatabase())
        return {};
    db::ConnectionProfile profile
        = db::ConnectionProfile::fromLocation(dir.path(), QStringLiteral("check-audit-trail"));
    profile.readOnly = true;
    try {
        return audittrail::chain::problems(*db::Connection::open(profile));
    } catch (const db::DatabaseError&) {
        return {}; // a database that cannot be read is reported for that
    }
}

// What an import left out on purpose, so that it is not taken for damage.
void reportImport(const DataDirectory& dir, QTextStream& out)
{
    if (dir.isServer())
        return;
    std::optional<ImportLog> import;
    try {
        import = ImportLog::read(dir.path());
    } catch (const db::DatabaseError&) {
        return; // named among the problems
    }
    const QStringList leftOut = import ? import->leftOut() : QStringList();
    if (leftOut.isEmpty())
        return;
    out << dir.path() << ": the partial import of " << QDir::toNativeSeparators(import->from) << " on "
        << import->at.toString(QStringLiteral("yyyy-MM-dd HH:mm"))
        << " left out, on purpose (not damage to the database):\n";
    list(out, leftOut);
}

int check(const DataDirectory& dir, QTextStream& out, QTextStream& err, const char* remain)
{
    reportImport(dir, out);
    const QStringList problems = dir.check() + auditTrailProblems(dir);
    if (problems.isEmpty()) {
        out << dir.path() << ": the database matches this program.\n";
        return 0;
    }
    out.flush();
    err << dir.path() << ": " << problems.size() << (problems.size() == 1 ? " problem" : " problems")
        << remain << ":\n";
    list(err, problems);
    return 1;
}

} // namespace

int runDataCommand(DataCommand command, const QString& directory, QTextStream& out, QTextStream& err)
{
    const DataDirectory dir(directory);
    try {
        switch (command) {
        case DataCommand::Init:
            dir.create();
            out << "Created an empty database in " << dir.path() << ".\n";
            return 0;
        case DataCommand::Check:
            return check(dir, out, err, "");
        case DataCommand::Repair: {
            const QStringList done = dir.repair();
            out << dir.path() << ": repaired\n";
            list(out, done);
            return check(dir, out, err, " that the repair could not mend");
        }
        case DataCommand::Demo: {
            const DemoPracticeCounts counts = createDemoDirectory(directory);
            out << "Created the demo practice in " << dir.path() << ": " << counts.patients << " patients, "
                << counts.historyRows << " treatment rows, " << counts.charges << " charges, "
                << counts.payments << " payments, " << counts.appointments << " appointments.\n";
            return 0;
        }
        }
    } catch (const db::DatabaseError& e) {
        platform::exceptionLog::logException(e, QStringLiteral("Data command on %1").arg(dir.path()));
        out.flush();
        err << inWords(e, dir) << '\n';
        return 1;
    }
    return 1;
}

int runCopyCommand(const QString& from, const QString& to, QTextStream& out, QTextStream& err)
{
    try {
        const QList<TableCopy> copied = copyPractice(from, to, [&](qint64 done, qint64 total) {
            constexpr int kWidth = 40;
            const int filled = total > 0 ? static_cast<int>(kWidth * done / total) : kWidth;
            err << '\r' << '[' << QString(filled, QLatin1Char('#')) << QString(kWidth - filled, QLatin1Char(' ')) << "] " << done << '/'
                << total;
            err.flush();
        });
        err << '\n';
        out << "Copied " << from << " to " << to << ", every table verified:\n";
        for (const TableCopy& table : copied)
            out << "  " << table.table << ": " << table.rows << '\n';
        return 0;
    } catch (const db::DatabaseError& e) {
        err << '\n' << "The practice was not copied: " << e.message() << '\n';
        return 1;
    }
}

} // namespace data

namespace data {

int runBackupCommand(const QString& directory, const QString& out, QTextStream& output, QTextStream& err)
{
    try {
        const BackupSummary done = makeBackup(directory, imagesFolderOf(directory), out);
        output << "Backed up " << directory << " to " << done.folder << ": " << done.tables << " tables, "
               << done.rows << " rows, " << done.files << " files, " << done.bytes
               << " bytes; checked against the database.\n";
        for (const QString& note : done.notes)
            output << note << '\n';
        return 0;
    } catch (const db::DatabaseError& e) {
        platform::exceptionLog::logException(e, QStringLiteral("Backup of %1").arg(directory));
        output.flush();
        err << "No backup was made. " << e.message() << '\n';
        return 1;
    }
}

int runRestoreCommand(
    const QString& backup, const QString& directory, bool force, QTextStream& output, QTextStream& err)
{
    try {
        const BackupSummary done = restoreBackup(backup, directory, imagesFolderOf(directory), force);
        output << "Restored " << backup << " into " << done.folder << ": " << done.tables << " tables, "
               << done.rows << " rows.\n";
        for (const QString& note : done.notes)
            output << note << '\n';
        return 0;
    } catch (const db::DatabaseError& e) {
        platform::exceptionLog::logException(e, QStringLiteral("Restore of %1").arg(backup));
        output.flush();
        err << "Nothing was restored. " << e.message() << '\n';
        return 1;
    }
}

} // namespace data
