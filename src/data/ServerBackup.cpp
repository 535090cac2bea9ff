#include "data/ServerBackup.h"

#include "data/BackupFiles.h"
#include "data/BackupJournal.h"

#include "data/ServerTools.h"
#include "db/Connection.h"
#include "db/Query.h"
#include "platform/ExceptionLog.h"
#include "platform/Sha256.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

namespace data {
namespace {

using backupfiles::report;
using backupfiles::Scratch;

using servertools::conninfo;
using servertools::countDumpRows;
using servertools::ToolRun;

QString str(const char* text)
{
    return QString::fromLatin1(text);
}

// A table's rows and the sum of their text, in the session's settings that fix how values read
// as text: both sides of a comparison must print a date or a number alike.
const QStringList kSessionSettings { QStringLiteral("SET LOCAL DateStyle = 'ISO, YMD'"),
    QStringLiteral("SET LOCAL IntervalStyle = 'postgres'"), QStringLiteral("SET LOCAL TimeZone = 'UTC'"),
    QStringLiteral("SET LOCAL extra_float_digits = 1"), QStringLiteral("SET LOCAL bytea_output = 'hex'") };

// Every table of the practice's schema, by name.
QStringList serverTables(const db::Connection& connection)
{
    db::Query list(connection,
        QStringLiteral("SELECT tablename FROM pg_catalog.pg_tables WHERE schemaname = current_schema() "
                       "ORDER BY tablename"));
    list.exec();
    QStringList tables;
    while (list.next())
        tables << list.value(0).toString();
    return tables;
}

// Rows and an order-free sum of the rows' text (the first 64 bits of each row's MD5, added up),
// computed by the server: nothing but two numbers per table crosses the network.
QJsonObject tableSums(const db::Connection& connection, const QStringList& tables)
{
    QJsonObject sums;
    for (const QString& table : tables) {
        db::Query sum(connection,
            QStringLiteral(
                "SELECT COUNT(*), COALESCE(SUM(('x' || LEFT(MD5(t::text), 16))::bit(64)::bigint), 0)::text "
                "FROM %1 t")
                .arg(db::Dialect::quoted(table)));
        sum.exec();
        sum.next();
        sums.insert(table,
            QJsonObject { { QStringLiteral("rows"), sum.value(0).toLongLong() },
                { QStringLiteral("sum"), sum.value(1).toString() } });
    }
    return sums;
}

// Reads sums in one snapshot; READ ONLY REPEATABLE READ is what pg_dump itself uses.
void beginSnapshot(const db::Connection& connection)
{
    db::Query::run(connection, QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
    for (const QString& setting : kSessionSettings)
        db::Query::run(connection, setting);
}

db::ConnectionProfile withDatabase(db::ConnectionProfile profile, const QString& database)
{
    profile.database = database;
    return profile;
}

// The first difference between what the manifest says of each table and what was found.
QString tableDifference(const QJsonObject& expected, const QJsonObject& found, bool withSums)
{
    for (auto it = expected.constBegin(); it != expected.constEnd(); ++it) {
        if (!found.contains(it.key()))
            return QStringLiteral("table %1 is missing").arg(it.key());
        const QJsonObject want = it->toObject();
        const QJsonObject got = found.value(it.key()).toObject();
        const qint64 rows = want.value(QStringLiteral("rows")).toInteger(-1);
        const qint64 gotRows = got.value(QStringLiteral("rows")).toInteger(-1);
        if (rows != gotRows)
            return QStringLiteral("table %1 holds %2 rows instead of %3")
                .arg(it.key())
                .arg(gotRows)
                .arg(rows);
        if (withSums && want.value(QStringLiteral("sum")) != got.value(QStringLiteral("sum")))
            return QStringLiteral("the rows of table %1 differ").arg(it.key());
    }
    for (auto it = found.constBegin(); it != found.constEnd(); ++it) {
        if (!expected.contains(it.key()))
            return QStringLiteral("table %1 is not in the manifest").arg(it.key());
    }
    return {};
}

QJsonObject rowsOnly(const QMap<QString, qint64>& counts)
{
    QJsonObject tables;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        tables.insert(it.key(), QJsonObject { { QStringLiteral("rows"), it.value() } });
    return tables;
}

QString errnoText()
{
    return QString::fromLocal8Bit(strerror(errno));
}

qint64 totalRows(const QJsonObject& tables)
{
    qint64 rows = 0;
    for (const QJsonValue& table : tables)
        rows += table.toObject().value(QStringLiteral("rows")).toInteger();
    return rows;
}

QJsonObject readManifest(const QString& backup)
{
    QFile file(QDir(backup).filePath(str(Backup::kManifestFile)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

// Names a practice on a server: the database at its address.
QString practiceOn(const db::ConnectionProfile& profile)
{
    return QStringLiteral("%1:%2/%3").arg(profile.host).arg(profile.port).arg(profile.database);
}

// A database name with a suffix, within the server's 63 bytes.
QString databaseBeside(const QString& database, const QString& suffix)
{
    return database.left(63 - suffix.size()) + suffix;
}

bool databaseExists(const db::Connection& maintenance, const QString& database)
{
    return db::Query(maintenance,
               QStringLiteral("SELECT COUNT(*) FROM pg_catalog.pg_database WHERE datname = :name"))
               .bind(QStringLiteral("name"), database)
               .scalar()
               .toInt()
        > 0;
}

// Statements of whole databases take names, not parameters.
QString identifier(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\""))
        + QLatin1Char('"');
}

void dropDatabase(const db::Connection& maintenance, const QString& database)
{
    if (databaseExists(maintenance, database))
        db::Query::run(maintenance, QStringLiteral("DROP DATABASE %1").arg(identifier(database)));
}

std::unique_ptr<db::Connection> openMaintenance(const db::ConnectionProfile& target)
{
    try {
        return db::Connection::open(withDatabase(target, QStringLiteral("postgres")));
    } catch (const db::DatabaseError&) {
        return db::Connection::open(withDatabase(target, QStringLiteral("template1")));
    }
}

// Drops the database being restored unless it was swapped in.
class StagedDatabase {
public:
    StagedDatabase(const db::Connection& maintenance, QString name)
        : m_maintenance(maintenance)
        , m_name(std::move(name))
    {
    }
    ~StagedDatabase()
    {
        if (m_kept)
            return;
        try {
            dropDatabase(m_maintenance, m_name);
        } catch (const db::DatabaseError& e) {
            platform::exceptionLog::logException(
                e, QStringLiteral("Removing the unfinished restore %1").arg(m_name));
        }
    }
    void keep() { m_kept = true; }
    const QString& name() const { return m_name; }

private:
    const db::Connection& m_maintenance;
    QString m_name;
    bool m_kept = false;
};

} // namespace

bool isServerBackup(const QString& backup)
{
    return readManifest(backup).value(QStringLiteral("engine")).toString() == str(ServerBackup::kEngine);
}

BackupSummary makeServerBackup(
    const QString& location, const QString& imagesFolder, const QString& out, const BackupProgress& progress)
{
    const db::ConnectionProfile profile
        = db::ConnectionProfile::fromLocation(location, QStringLiteral("backup"));
    if (QFileInfo::exists(out))
        throw BackupError(QStringLiteral("%1 exists already; a backup goes into a new folder.")
                              .arg(QDir::toNativeSeparators(out)));
    Scratch scratch(QDir::cleanPath(out) + QStringLiteral(".partial"));
    QDir(scratch.path()).removeRecursively();
    backupfiles::makeFolder(scratch.path());
    const QString dump = QDir(scratch.path()).filePath(str(ServerBackup::kDumpFile));

    report(progress, QStringLiteral("Reading the practice on the server"), 0);
    const std::unique_ptr<db::Connection> connection = db::Connection::open(profile);
    beginSnapshot(*connection);
    const QString snapshot
        = db::Query(*connection, QStringLiteral("SELECT pg_export_snapshot()")).scalar().toString();
    const QString serverVersion
        = db::Query(*connection, QStringLiteral("SHOW server_version")).scalar().toString();
    const QString encoding = db::Query(*connection,
        QStringLiteral("SELECT pg_encoding_to_char(encoding) FROM pg_catalog.pg_database WHERE datname = "
                       "current_database()"))
                                 .scalar()
                                 .toString();
    // The dump reads the snapshot of this transaction while the sums are taken in it.
    ToolRun pgDump(QStringLiteral("pg_dump"), profile);
    pgDump.start({ QStringLiteral("--format=custom"), QStringLiteral("--no-password"),
        QStringLiteral("--snapshot=") + snapshot, QStringLiteral("--file=") + dump,
        QStringLiteral("--dbname=") + conninfo(profile) });
    report(progress, QStringLiteral("Counting and summing the tables"), 10);
    const QStringList tables = serverTables(*connection);
    const QJsonObject sums = tableSums(*connection, tables);
    report(progress, QStringLiteral("Writing the dump"), 40);
    pgDump.finish(QStringLiteral("The server's dump failed"));
    QFile::setPermissions(dump, backupfiles::kOwnerOnly); // written under the tool's own umask
    db::Query::run(*connection, QStringLiteral("COMMIT"));

    report(progress, QStringLiteral("Reading the dump back"), 60);
    backupfiles::syncFile(dump);
    const QString difference = tableDifference(rowsOnly(countDumpRows(dump)), sums, false);
    if (!difference.isEmpty())
        throw BackupError(
            QStringLiteral("The dump does not hold the practice as it was read: %1.").arg(difference));

    report(progress, QStringLiteral("Copying the images"), 75);
    backupfiles::CopiedTree images;
    if (!imagesFolder.isEmpty())
        images = backupfiles::copyTree(imagesFolder,
            QDir(scratch.path()).filePath(str(Backup::kImagesFolder)), str(Backup::kImagesFolder));

    report(progress, QStringLiteral("Writing the manifest"), 90);
    backupfiles::FileSum dumpSum;
    if (!platform::Sha256::ofFile(dump, dumpSum.sha256, dumpSum.size))
        throw BackupError(QStringLiteral("%1 cannot be read back.").arg(QDir::toNativeSeparators(dump)));
    images.files.insert(str(ServerBackup::kDumpFile), dumpSum);
    BackupSummary summary;
    const QJsonObject manifest {
        { QStringLiteral("program"), str(Backup::kProgram) },
        { QStringLiteral("format"), Backup::kFormat },
        { QStringLiteral("engine"), str(ServerBackup::kEngine) },
        { QStringLiteral("version"), QCoreApplication::applicationVersion() },
        { QStringLiteral("created"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate) },
        { QStringLiteral("source"), profile.location() },
        { QStringLiteral("practice"), practiceOn(profile) },
        { QStringLiteral("serverVersion"), serverVersion },
        { QStringLiteral("encoding"), encoding },
        { QStringLiteral("tables"), sums },
    };
    backupfiles::writeManifest(scratch.path(), manifest, images.files, summary);
    backupfiles::syncTree(scratch.path());
    if (std::rename(QFile::encodeName(scratch.path()).constData(), QFile::encodeName(out).constData()) != 0)
        throw BackupError(QStringLiteral("The backup cannot be moved to %1: %2")
                              .arg(QDir::toNativeSeparators(out), errnoText()));
    scratch.keep();
    backupfiles::syncFolder(QFileInfo(QDir::cleanPath(out)).absolutePath());
    report(progress, QStringLiteral("Done"), 100);

    summary.folder = out;
    summary.tables = int(sums.size());
    summary.rows = totalRows(sums);
    summary.notes << QStringLiteral(
        "The dump was read back whole and its rows counted against the server's.");
    for (const QString& left : std::as_const(images.leftOut))
        summary.notes
            << QStringLiteral("Left out (a link, or a name the list of sums cannot hold): %1").arg(left);
    return summary;
}

namespace {

backupfiles::CheckedBackup checkedServerBackup(const QString& backup, bool force)
{
    const QString where = QDir::toNativeSeparators(backup);
    backupfiles::CheckedBackup checked = backupfiles::checkedBackup(backup, force);
    if (checked.manifest.value(QStringLiteral("engine")).toString() != str(ServerBackup::kEngine))
        throw BackupError(QStringLiteral("%1 is the backup of a practice in a data directory: restore it "
                                         "into a directory, then copy it to the "
                                         "server with --copy-data.")
                              .arg(where));
    if (!checked.files.contains(str(ServerBackup::kDumpFile)))
        throw BackupError(QStringLiteral("The manifest of %1 names no dump of the server.").arg(where));
    return checked;
}

// A restore stopped after its journal was written: the images follow the database if the server
// took the swap, and stay if it did not.
QStringList finishStoppedRestore(
    const db::Connection& maintenance, const QString& imagesFolder, const BackupProgress& progress)
{
    if (imagesFolder.isEmpty())
        return {};
    const QString journal = backupjournal::journalBeside(imagesFolder);
    bool found = false;
    const QJsonObject extra = backupjournal::extraOf(journal, found);
    if (!found)
        return {};
    if (databaseExists(maintenance, extra.value(QStringLiteral("stagedDatabase")).toString())) {
        backupjournal::discard(journal);
        return {};
    }
    return backupjournal::complete(journal, progress);
}

} // namespace

QJsonObject verifyServerBackupFiles(const QString& backup, bool force)
{
    return checkedServerBackup(backup, force).manifest;
}

BackupSummary restoreServerBackup(const QString& backup, const QString& location, const QString& imagesFolder,
    bool force, const BackupProgress& progress)
{
    report(progress, QStringLiteral("Checking the backup"), 0);
    const backupfiles::CheckedBackup checked = checkedServerBackup(backup, force);
    const QJsonObject& manifest = checked.manifest;
    if (!db::ConnectionProfile::isServerLocation(location))
        throw BackupError(QStringLiteral(
            "%1 is the backup of a practice on a database server: restore it to a server address "
            "(postgresql://user@host:port/database), then copy it with --copy-data if it should live in a "
            "directory.")
                              .arg(QDir::toNativeSeparators(backup)));
    const db::ConnectionProfile target
        = db::ConnectionProfile::fromLocation(location, QStringLiteral("restore"));
    if (target.database.isEmpty())
        throw BackupError(QStringLiteral("The address %1 names no database to restore into.").arg(location));
    const QJsonObject tables = manifest.value(QStringLiteral("tables")).toObject();
    const QString dump = QDir(backup).filePath(str(ServerBackup::kDumpFile));

    const std::unique_ptr<db::Connection> maintenance = openMaintenance(target);
    QStringList kept = finishStoppedRestore(*maintenance, imagesFolder, progress);
    const bool exists = databaseExists(*maintenance, target.database);
    bool replacesPractice = false;
    if (exists) {
        const std::unique_ptr<db::Connection> current = db::Connection::open(target);
        replacesPractice = !serverTables(*current).isEmpty();
    }
    if (replacesPractice && !force)
        throw BackupError(QStringLiteral("The database %1 is not empty; restoring would replace what it "
                                         "holds. Give --force to replace it.")
                              .arg(target.database));
    const bool replacesImages = !imagesFolder.isEmpty() && backupfiles::holdsAnything(imagesFolder);
    if (replacesImages && !force)
        throw BackupError(
            QStringLiteral("%1 is not empty; restoring would replace what it holds. Give --force to replace it.")
                .arg(QDir::toNativeSeparators(imagesFolder)));
    std::optional<Scratch> stagedImages;
    if (!imagesFolder.isEmpty()) {
        backupfiles::makeFolder(QFileInfo(QDir::cleanPath(imagesFolder)).path());
        // Left behind by a restore stopped before its journal: an unfinished copy of the backup.
        stagedImages.emplace(backupjournal::stagedBeside(imagesFolder));
        QDir(stagedImages->path()).removeRecursively();
    }

    // Left behind by a restore that was stopped: unfinished, never swapped in.
    StagedDatabase staged(*maintenance, databaseBeside(target.database, QStringLiteral("_restoring")));
    dropDatabase(*maintenance, staged.name());
    const QString encoding = manifest.value(QStringLiteral("encoding")).toString();
    db::Query::run(*maintenance,
        QStringLiteral("CREATE DATABASE %1 TEMPLATE template0%2")
            .arg(identifier(staged.name()),
                encoding.isEmpty()
                    ? QString()
                    : QStringLiteral(" ENCODING '%1'").arg(QString(encoding).remove(QLatin1Char('\'')))));

    report(progress, QStringLiteral("Restoring the dump"), 20);
    const db::ConnectionProfile stagedProfile = withDatabase(target, staged.name());
    {
        ToolRun pgRestore(QStringLiteral("pg_restore"), target);
        // The restoring user owns what it makes: the roles of the original server need not exist here.
        pgRestore.start({ QStringLiteral("--exit-on-error"), QStringLiteral("--single-transaction"),
            QStringLiteral("--no-owner"), QStringLiteral("--no-privileges"), QStringLiteral("--no-password"),
            QStringLiteral("--dbname=") + conninfo(stagedProfile), dump });
        pgRestore.finish(QStringLiteral("The dump could not be restored"));
    }

    report(progress, QStringLiteral("Checking the restored practice"), 70);
    {
        const std::unique_ptr<db::Connection> restored = db::Connection::open(stagedProfile);
        beginSnapshot(*restored);
        const QString difference
            = tableDifference(tables, tableSums(*restored, serverTables(*restored)), true);
        db::Query::run(*restored, QStringLiteral("COMMIT"));
        if (!difference.isEmpty())
            throw BackupError(
                QStringLiteral("The restored practice does not match the backup: %1.").arg(difference));
    }

    QString journal;
    if (stagedImages) {
        backupfiles::copyListedFiles(backup, checked.files, str(Backup::kImagesFolder), stagedImages->path());
        backupfiles::syncTree(stagedImages->path());
        journal = backupjournal::journalBeside(imagesFolder);
        backupjournal::begin(
            journal, { imagesFolder }, { { QStringLiteral("stagedDatabase"), staged.name() } });
    }
    report(progress, QStringLiteral("Putting the practice in place"), 90);
    // Both renames in one transaction: the address names at every moment the old practice or the
    // new one. A workstation still connected makes the server refuse, and nothing changes. The
    // images follow under the journal.
    const QString stamp = QStringLiteral("_replaced_")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    // Kept practices stay: one replaced in the same second takes the next number.
    QString replaced = databaseBeside(target.database, stamp);
    for (int n = 2; databaseExists(*maintenance, replaced); ++n)
        replaced = databaseBeside(target.database, stamp + QStringLiteral("_%1").arg(n));
    try {
        db::TransactionGuard swap(*maintenance);
        if (exists)
            db::Query::run(*maintenance,
                QStringLiteral("ALTER DATABASE %1 RENAME TO %2")
                    .arg(identifier(target.database), identifier(replaced)));
        db::Query::run(*maintenance,
            QStringLiteral("ALTER DATABASE %1 RENAME TO %2")
                .arg(identifier(staged.name()), identifier(target.database)));
        swap.commit();
    } catch (const db::DatabaseError& e) {
        if (!journal.isEmpty())
            backupjournal::discard(journal);
        throw BackupError(
            QStringLiteral("The database %1 cannot be replaced; close the program on every workstation "
                           "and try again")
                .arg(target.database),
            e.engineMessage());
    }
    staged.keep();
    if (stagedImages) {
        stagedImages->keep();
        kept += backupjournal::complete(journal, progress);
    }
    if (replacesPractice) {
        kept << QStringLiteral("the database %1").arg(replaced);
    } else if (exists) {
        try {
            dropDatabase(*maintenance, replaced);
        } catch (const db::DatabaseError& e) {
            // The restore itself is done; the empty old database stays under its dated name.
            platform::exceptionLog::logException(
                e, QStringLiteral("Removing the replaced database %1").arg(replaced));
        }
    }
    report(progress, QStringLiteral("Done"), 100);
    BackupSummary summary;
    summary.folder = location;
    summary.tables = int(tables.size());
    summary.rows = totalRows(tables);
    summary.files = int(checked.files.size());
    summary.notes << QStringLiteral("Checked: every file's SHA-256 against the list of sums, %1, and every "
                                    "table's rows and sum in the restored database against the manifest.")
                         .arg(checked.signature);
    for (const QString& folder : std::as_const(kept))
        summary.notes
            << QStringLiteral("What it replaced is kept in %1").arg(QDir::toNativeSeparators(folder));
    const QString from = manifest.value(QStringLiteral("practice")).toString();
    if (replacesPractice && from != practiceOn(target))
        summary.notes << QStringLiteral(
            "The backup comes from another practice (%1) than the one it replaced (%2).")
                             .arg(from, practiceOn(target));
    return summary;
}

} // namespace data
