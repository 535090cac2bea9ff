#include "data/Backup.h"
#include "data/BackupFiles.h"

#include "data/ServerBackup.h"
#include "db/Connection.h"
#include "db/PracticePresence.h"
#include "db/Snapshot.h"
#include "platform/Directories.h"
#include "platform/Sha256.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <optional>
#include <unistd.h>

namespace data {
namespace {

using backupfiles::besides;
using backupfiles::copyTree;
using backupfiles::holdsAnything;
using backupfiles::KnownSums;
using backupfiles::makeFolder;
using backupfiles::report;
using backupfiles::Scratch;
using backupfiles::swapIn;
using backupfiles::syncFolder;
using backupfiles::syncTree;

const QStringList kDatabaseFiles { QString::fromLatin1(db::Connection::kSqliteFileName),
    // After the data: numbers are only ever taken, so a later copy of the generators is never
    // behind the identifiers of the data copied before it.
    QString::fromLatin1(db::Connection::kSqliteGeneratorFileName) };

QString str(const char* text)
{
    return QString::fromLatin1(text);
}

// Journals and locks of a live database are not part of a backup: the snapshot holds their content.
bool isEngineCompanion(const QString& name)
{
    return name.endsWith(QLatin1String("-wal")) || name.endsWith(QLatin1String("-shm"))
        || name.endsWith(QLatin1String("-journal")) || name.endsWith(QLatin1String(".lock"));
}

// What the check of a database copy gives the manifest: its tables' rows and page sums, and the file's sum.
struct CheckedDatabase {
    QJsonObject tables;
    QByteArray sum;
    qint64 size = 0;
};

QJsonObject tableEntry(const db::snapshot::TablePages& table)
{
    return QJsonObject { { QStringLiteral("rows"), table.rows },
        { QStringLiteral("pages"), QString::fromLatin1(table.sum) } };
}

// A database copy as checked: the engine's word on its pages and rows, each table's rows against
// the counts read when it was copied, and the sums of its pages for the manifest.
CheckedDatabase checkedDatabase(const QString& file, const QMap<QString, qint64>& counted,
    const QString& problem, const db::snapshot::FileSums& sums)
{
    if (!problem.isEmpty())
        throw BackupError(QStringLiteral("The copy %1 fails the database's integrity check: %2")
                              .arg(QDir::toNativeSeparators(file), problem));
    if (sums.tables.keys() != counted.keys())
        throw BackupError(QStringLiteral("The copy %1 does not hold the tables of the database.")
                              .arg(QDir::toNativeSeparators(file)));
    CheckedDatabase checked { {}, sums.sum, sums.size };
    for (auto it = sums.tables.cbegin(); it != sums.tables.cend(); ++it) {
        if (it->rows != counted.value(it.key()))
            throw BackupError(QStringLiteral("The copy of table %1 holds %2 rows, the database %3.")
                                  .arg(it.key())
                                  .arg(it->rows)
                                  .arg(counted.value(it.key())));
        checked.tables.insert(it.key(), tableEntry(*it));
    }
    return checked;
}

// Checks a database file as above, reading it.
CheckedDatabase verifiedDatabase(const QString& file, const QMap<QString, qint64>& counted)
{
    // The engine's check and the sums read the same file on their own handles: side by side they
    // take the time of the longer one.
    std::future<QString> integrity
        = std::async(std::launch::async, [file] { return db::snapshot::sqliteIntegrityProblem(file); });
    db::snapshot::FileSums sums;
    try {
        sums = db::snapshot::sumSqliteFile(file);
    } catch (...) {
        // The engine's words on a damaged file come first.
        const QString problem = integrity.get();
        if (!problem.isEmpty())
            checkedDatabase(file, counted, problem, sums);
        throw;
    }
    return checkedDatabase(file, counted, integrity.get(), sums);
}

// The first table of a database file whose rows or pages differ from the manifest's; empty when
// none does or the file cannot be walked.
QString alteredTable(const QString& file, const QJsonObject& tables)
{
    try {
        const db::snapshot::FileSums sums = db::snapshot::sumSqliteFile(file);
        for (auto it = tables.constBegin(); it != tables.constEnd(); ++it) {
            const auto found = sums.tables.constFind(it.key());
            if (found == sums.tables.cend() || tableEntry(*found) != it->toObject())
                return it.key();
        }
    } catch (const db::DatabaseError&) {
    }
    return {};
}

qint64 totalRows(const QJsonObject& databases, int& tables)
{
    qint64 rows = 0;
    for (const QJsonValue& database : databases) {
        const QJsonObject list = database.toObject().value(QStringLiteral("tables")).toObject();
        for (const QJsonValue& table : list) {
            rows += table.toObject().value(QStringLiteral("rows")).toInteger();
            ++tables;
        }
    }
    return rows;
}

} // namespace

QString practiceRootOf(const QString& location)
{
    if (db::ConnectionProfile::isServerLocation(location))
        return platform::configDir();
    return QFileInfo(QDir::cleanPath(location)).absolutePath();
}

QString imagesFolderOf(const QString& location)
{
    return QDir(practiceRootOf(location)).filePath(str(Backup::kImagesFolder));
}

QString backupFolderName()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HHmmss"));
}

namespace {

BackupSummary writeSqliteBackup(const QString& dataDirectory, const QString& imagesFolder, const QString& out,
    const BackupProgress& progress)
{
    const QDir data(dataDirectory);
    if (!QFileInfo::exists(data.filePath(str(db::Connection::kSqliteFileName))))
        throw BackupError(
            QStringLiteral("%1 holds no database to back up.").arg(QDir::toNativeSeparators(dataDirectory)));
    if (QFileInfo::exists(out))
        throw BackupError(QStringLiteral("%1 exists already; a backup goes into a new folder.")
                              .arg(QDir::toNativeSeparators(out)));
    Scratch scratch(besides(out, "partial"));
    QDir(scratch.path()).removeRecursively();
    makeFolder(scratch.path());
    const QString dataCopy = QDir(scratch.path()).filePath(str(Backup::kDataFolder));
    makeFolder(dataCopy);

    QJsonObject databases;
    KnownSums known;
    int step = 0;
    for (const QString& name : kDatabaseFiles) {
        const QString source = data.filePath(name);
        if (!QFileInfo::exists(source))
            continue;
        report(progress, QStringLiteral("Copying %1").arg(name), step * 35);
        const QString target = QDir(dataCopy).filePath(name);
        db::snapshot::CheckedCopy copy;
        try {
            copy = db::snapshot::copySqliteFile(source, target, [&](qint64 done, qint64 total) {
                report(progress, QStringLiteral("Copying %1").arg(name),
                    step * 35 + int(total ? 20 * done / total : 0));
            });
        } catch (const db::snapshot::TargetError& e) {
            throw BackupError(e.message());
        } catch (const db::DamagedDatabase& e) {
            throw BackupError(
                QStringLiteral("%1 is damaged and was not backed up; --check-data says more. %2")
                    .arg(QDir::toNativeSeparators(source), e.message()));
        }
        const CheckedDatabase checked = checkedDatabase(target, copy.counts, copy.problem, copy.sums);
        databases.insert(name, QJsonObject { { QStringLiteral("tables"), checked.tables } });
        known.insert(str(Backup::kDataFolder) + QLatin1Char('/') + name, { checked.sum, checked.size });
        ++step;
    }
    report(progress, QStringLiteral("Copying the other files and the images"), 70);
    copyTree(dataDirectory, dataCopy, false,
        [](const QString& name) { return kDatabaseFiles.contains(name) || isEngineCompanion(name); });
    copyTree(imagesFolder, QDir(scratch.path()).filePath(str(Backup::kImagesFolder)));

    report(progress, QStringLiteral("Summing the files"), 85);
    BackupSummary summary;
    QJsonObject manifest {
        { QStringLiteral("program"), str(Backup::kProgram) },
        { QStringLiteral("format"), Backup::kFormat },
        { QStringLiteral("version"), QCoreApplication::applicationVersion() },
        { QStringLiteral("created"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate) },
        { QStringLiteral("source"), QDir::cleanPath(data.absolutePath()) },
        { QStringLiteral("databases"), databases },
    };
    manifest.insert(QStringLiteral("files"), backupfiles::fileList(scratch.path(), summary, known));
    backupfiles::writeManifest(scratch.path(), manifest);
    syncTree(scratch.path());
    if (std::rename(QFile::encodeName(scratch.path()).constData(), QFile::encodeName(out).constData()) != 0)
        throw BackupError(QStringLiteral("The backup cannot be moved to %1: %2")
                              .arg(QDir::toNativeSeparators(out), QString::fromLocal8Bit(strerror(errno))));
    scratch.keep();
    syncFolder(QFileInfo(QDir::cleanPath(out)).path());
    report(progress, QStringLiteral("Done"), 100);
    summary.folder = out;
    summary.rows = totalRows(databases, summary.tables);
    return summary;
}

bool isInside(const QString& path, const QString& folder)
{
    const QString inner = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QString outer = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    return inner == outer || inner.startsWith(outer + QLatin1Char('/'));
}

// A backup inside what it copies would copy the backups before it, and grow with each one.
void refuseInsideWhatIsCopied(const QString& location, const QString& imagesFolder, const QString& out)
{
    QStringList copied { imagesFolder };
    if (!db::ConnectionProfile::isServerLocation(location))
        copied << location;
    for (const QString& folder : std::as_const(copied)) {
        if (isInside(out, folder))
            throw BackupError(QStringLiteral(
                "%1 is inside %2, which the backup copies; choose a folder outside the practice.")
                                  .arg(QDir::toNativeSeparators(out), QDir::toNativeSeparators(folder)));
    }
}

// Only while the lock of the folder `out` goes into is held.
BackupSummary writeBackup(
    const QString& location, const QString& imagesFolder, const QString& out, const BackupProgress& progress)
{
    if (db::ConnectionProfile::isServerLocation(location))
        return makeServerBackup(location, imagesFolder, out, progress);
    return writeSqliteBackup(location, imagesFolder, out, progress);
}

} // namespace

BackupSummary makeBackup(const QString& dataDirectory, const QString& imagesFolder, const QString& out,
    const BackupProgress& progress)
{
    refuseInsideWhatIsCopied(dataDirectory, imagesFolder, out);
    const QString folder = QFileInfo(QDir::cleanPath(out)).absolutePath();
    makeFolder(folder);
    const backupfiles::FolderLock lock(folder, progress);
    return writeBackup(dataDirectory, imagesFolder, out, progress);
}

BackupSummary makeBackupInto(const QString& location, const QString& imagesFolder, const QString& folder,
    int keep, const BackupProgress& progress)
{
    refuseInsideWhatIsCopied(location, imagesFolder, folder);
    makeFolder(folder);
    const backupfiles::FolderLock lock(folder, progress);
    backupfiles::removeAbandoned(folder);
    const QDir dir(folder);
    const QString name = backupFolderName();
    QString out = dir.filePath(name);
    for (int n = 2; QFileInfo::exists(out); ++n)
        out = dir.filePath(name + QStringLiteral("-%1").arg(n));
    BackupSummary summary = writeBackup(location, imagesFolder, out, progress);
    pruneBackups(folder, keep);
    return summary;
}

QJsonObject verifyBackupFiles(const QString& backup)
{
    const QString where = QDir::toNativeSeparators(backup);
    const QJsonObject manifest = backupfiles::readManifest(backup);
    const QDir dir(backup);
    const QStringList altered = backupfiles::alteredFiles(backup, manifest);
    const QJsonObject databases = manifest.value(QStringLiteral("databases")).toObject();
    if (!altered.isEmpty()) {
        // Within a database, the table whose pages changed says what was lost.
        const QString path = altered.first();
        const QString database = path.section(QLatin1Char('/'), 1);
        const QString table
            = path.section(QLatin1Char('/'), 0, 0) == str(Backup::kDataFolder) && databases.contains(database)
            ? alteredTable(dir.filePath(path),
                databases.value(database).toObject().value(QStringLiteral("tables")).toObject())
            : QString();
        throw BackupError(table.isEmpty()
                ? QStringLiteral(
                    "The backup %1 was altered after it was written: %2 no longer matches its sum.")
                      .arg(where, path)
                : QStringLiteral("The backup %1 was altered after it was written: table %3 of %2 no longer "
                                 "matches its sum.")
                      .arg(where, path, table));
    }
    if (!databases.contains(str(db::Connection::kSqliteFileName)))
        throw BackupError(QStringLiteral("%1 holds no database.").arg(where));
    return manifest;
}

BackupSummary restoreBackup(const QString& backup, const QString& dataDirectory, const QString& imagesFolder,
    bool force, const BackupProgress& progress)
{
    if (db::ConnectionProfile::isServerLocation(dataDirectory) || isServerBackup(backup))
        return restoreServerBackup(backup, dataDirectory, imagesFolder, force, progress);
    report(progress, QStringLiteral("Checking the backup"), 0);
    const QJsonObject manifest = verifyBackupFiles(backup);
    if (!force) {
        for (const QString& place : { dataDirectory, imagesFolder }) {
            if (holdsAnything(place))
                throw BackupError(QStringLiteral(
                    "%1 is not empty; restoring would replace what it holds. Give --force to replace it.")
                                      .arg(QDir::toNativeSeparators(place)));
        }
    }
    const QString dataParent = QFileInfo(QDir::cleanPath(dataDirectory)).path();
    makeFolder(dataParent);
    // Held until the new practice is in place: no workstation writes into the old one meanwhile.
    std::optional<db::PracticePresence> alone;
    if (QFileInfo(dataDirectory).isDir()) {
        try {
            alone.emplace(dataDirectory, db::PracticePresence::Mode::Exclusive);
        } catch (const db::PracticeInUse& e) {
            throw BackupError(e.message());
        }
    }
    // Left behind by a restore that was stopped: either unfinished or the practice it replaced.
    Scratch stagedData(besides(dataDirectory, "restoring"));
    QDir(stagedData.path()).removeRecursively();
    backupfiles::StagedImages images(imagesFolder);

    report(progress, QStringLiteral("Copying the backup"), 20);
    // Only what the manifest vouches for.
    backupfiles::copyListedFiles(backup, manifest, str(Backup::kDataFolder), stagedData.path());
    images.copyFrom(backup, manifest);

    report(progress, QStringLiteral("Checking the restored practice"), 50);
    const QJsonObject databases = manifest.value(QStringLiteral("databases")).toObject();
    for (auto it = databases.constBegin(); it != databases.constEnd(); ++it) {
        const QJsonObject tables = it->toObject().value(QStringLiteral("tables")).toObject();
        QMap<QString, qint64> counts;
        for (auto t = tables.constBegin(); t != tables.constEnd(); ++t)
            counts.insert(t.key(), t->toObject().value(QStringLiteral("rows")).toInteger());
        const QJsonObject restored
            = verifiedDatabase(QDir(stagedData.path()).filePath(it.key()), counts).tables;
        for (auto t = tables.constBegin(); t != tables.constEnd(); ++t) {
            if (restored.value(t.key()) != *t)
                throw BackupError(
                    QStringLiteral("The restored %1 does not match the backup: table %2 differs.")
                        .arg(it.key(), t.key()));
        }
    }

    syncTree(stagedData.path());
    report(progress, QStringLiteral("Putting the practice in place"), 90);
    // The images first, the database last: the database is what makes the practice.
    images.putInPlace();
    try {
        swapIn(stagedData.path(), dataDirectory);
    } catch (...) {
        images.takeBack();
        throw;
    }
    // The swaps themselves on the disk: a power cut now keeps the restored practice.
    images.settle();
    syncFolder(dataParent);
    // The scratch folders now hold what was replaced, and go.
    report(progress, QStringLiteral("Done"), 100);
    BackupSummary summary;
    summary.folder = dataDirectory;
    summary.rows = totalRows(databases, summary.tables);
    summary.files = int(manifest.value(QStringLiteral("files")).toArray().size());
    return summary;
}

QStringList pruneBackups(const QString& folder, int keep)
{
    const QDir dir(folder);
    QStringList backups;
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (!backupfiles::unfinished(name)
            && QFileInfo::exists(QDir(dir.filePath(name)).filePath(str(Backup::kManifestFile))))
            backups << name;
    }
    QStringList removed;
    while (backups.size() > keep) {
        const QString oldest = backups.takeFirst();
        if (QDir(dir.filePath(oldest)).removeRecursively())
            removed << dir.filePath(oldest);
    }
    return removed;
}

} // namespace data
