#include "data/Backup.h"
#include "data/BackupFiles.h"
#include "data/BackupJournal.h"

#include "data/ServerBackup.h"
#include "db/Connection.h"
#include "db/PracticePresence.h"
#include "db/Snapshot.h"
#include "platform/Directories.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QUuid>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace data {
namespace {

using backupfiles::besides;
using backupfiles::copyTree;
using backupfiles::FileSums;
using backupfiles::holdsAnything;
using backupfiles::makeFolder;
using backupfiles::report;
using backupfiles::Scratch;
using backupfiles::syncFolder;
using backupfiles::syncTree;

const QStringList kDatabaseFiles { QString::fromLatin1(db::Connection::kSqliteFileName),
    // After the data: numbers are only ever taken, so a later copy of the generators is never
    // behind the identifiers of the data copied before it.
    QString::fromLatin1(db::Connection::kSqliteGeneratorFileName) };

// Names a practice for good, whatever folder it is copied to: made at its first backup, it is
// backed up and restored with the data directory.
constexpr const char* kIdentityFile = "Orvane.practice-id";

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

QString identityOf(const QString& dataDirectory)
{
    QFile file(QDir(dataDirectory).filePath(str(kIdentityFile)));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll().trimmed()) : QString();
}

// The practice's identity, made when it has none; empty when its folder cannot take it (the
// backup then names no practice, and a restore cannot compare).
QString madeIdentity(const QString& dataDirectory)
{
    QString identity = identityOf(dataDirectory);
    if (!identity.isEmpty())
        return identity;
    identity = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QSaveFile file(QDir(dataDirectory).filePath(str(kIdentityFile)));
    if (file.open(QIODevice::WriteOnly) && file.write(identity.toLatin1() + '\n') > 0 && file.commit())
        return identity;
    return {};
}

// Each table's rows, as the manifest lists them.
QJsonObject rowsOf(const QMap<QString, qint64>& counts)
{
    QJsonObject tables;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        tables.insert(it.key(), QJsonObject { { QStringLiteral("rows"), it.value() } });
    return tables;
}

QMap<QString, qint64> countsOf(const QJsonObject& tables)
{
    QMap<QString, qint64> counts;
    for (auto it = tables.constBegin(); it != tables.constEnd(); ++it)
        counts.insert(it.key(), it->toObject().value(QStringLiteral("rows")).toInteger(-1));
    return counts;
}

// The engine's word on a database copy, and its rows against those expected.
void refuseUnsound(
    const QString& file, const db::snapshot::EngineCheck& check, const QMap<QString, qint64>& expected)
{
    const QString where = QDir::toNativeSeparators(file);
    if (!check.problem.isEmpty())
        throw BackupError(
            QStringLiteral("The copy %1 fails the database's integrity check: %2").arg(where, check.problem));
    if (check.rows.keys() != expected.keys())
        throw BackupError(QStringLiteral("The copy %1 does not hold the tables of the database.").arg(where));
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (check.rows.value(it.key()) != it.value())
            throw BackupError(QStringLiteral("The copy of table %1 holds %2 rows, the database %3.")
                                  .arg(it.key())
                                  .arg(check.rows.value(it.key()))
                                  .arg(it.value()));
    }
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
    const QString identity = madeIdentity(dataDirectory);
    Scratch scratch(besides(out, "partial"));
    QDir(scratch.path()).removeRecursively();
    makeFolder(scratch.path());
    const QString dataCopy = QDir(scratch.path()).filePath(str(Backup::kDataFolder));
    makeFolder(dataCopy);

    QJsonObject databases;
    FileSums files;
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
        refuseUnsound(target, copy.copy, copy.counts);
        databases.insert(name, QJsonObject { { QStringLiteral("tables"), rowsOf(copy.counts) } });
        files.insert(str(Backup::kDataFolder) + QLatin1Char('/') + name, { copy.sha256, copy.size });
        ++step;
    }
    report(progress, QStringLiteral("Copying the other files and the images"), 70);
    backupfiles::CopiedTree others = copyTree(dataDirectory, dataCopy, str(Backup::kDataFolder), false,
        [](const QString& name) { return kDatabaseFiles.contains(name) || isEngineCompanion(name); });
    const backupfiles::CopiedTree images = copyTree(
        imagesFolder, QDir(scratch.path()).filePath(str(Backup::kImagesFolder)), str(Backup::kImagesFolder));
    files.insert(others.files);
    files.insert(images.files);

    report(progress, QStringLiteral("Writing the manifest"), 90);
    BackupSummary summary;
    const QJsonObject manifest {
        { QStringLiteral("program"), str(Backup::kProgram) },
        { QStringLiteral("format"), Backup::kFormat },
        { QStringLiteral("version"), QCoreApplication::applicationVersion() },
        { QStringLiteral("created"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate) },
        { QStringLiteral("source"), QDir::cleanPath(data.absolutePath()) },
        { QStringLiteral("practice"), identity },
        { QStringLiteral("databases"), databases },
    };
    backupfiles::writeManifest(scratch.path(), manifest, files, summary);
    syncTree(scratch.path());
    if (std::rename(QFile::encodeName(scratch.path()).constData(), QFile::encodeName(out).constData()) != 0)
        throw BackupError(QStringLiteral("The backup cannot be moved to %1: %2")
                              .arg(QDir::toNativeSeparators(out), QString::fromLocal8Bit(strerror(errno))));
    scratch.keep();
    syncFolder(QFileInfo(QDir::cleanPath(out)).path());
    report(progress, QStringLiteral("Done"), 100);
    summary.folder = out;
    summary.rows = totalRows(databases, summary.tables);
    summary.notes << QStringLiteral(
        "The database engine's integrity check passed on the copy and its rows match.");
    for (const QString& left : others.leftOut + images.leftOut)
        summary.notes
            << QStringLiteral("Left out (a link, or a name the list of sums cannot hold): %1").arg(left);
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

namespace {

// A backup of a practice in a data directory, checked whole.
backupfiles::CheckedBackup checkedSqliteBackup(const QString& backup, bool force)
{
    backupfiles::CheckedBackup checked = backupfiles::checkedBackup(backup, force);
    if (!checked.manifest.value(QStringLiteral("databases"))
             .toObject()
             .contains(str(db::Connection::kSqliteFileName)))
        throw BackupError(QStringLiteral("%1 holds no database.").arg(QDir::toNativeSeparators(backup)));
    return checked;
}

// The engine's check of each restored database, and its rows against the manifest.
void checkRestored(const QString& staged, const QJsonObject& databases)
{
    for (auto it = databases.constBegin(); it != databases.constEnd(); ++it) {
        const QString file = QDir(staged).filePath(it.key());
        try {
            refuseUnsound(file, db::snapshot::checkSqliteFile(file),
                countsOf(it->toObject().value(QStringLiteral("tables")).toObject()));
        } catch (const db::DamagedDatabase& e) {
            throw BackupError(QStringLiteral("The restored %1 is damaged: %2").arg(it.key(), e.message()));
        }
    }
}

// Whether the practice being replaced is the one the backup was made of.
QString originNote(const QJsonObject& manifest, const QString& dataDirectory)
{
    const QString from = manifest.value(QStringLiteral("practice")).toString();
    const QString here = identityOf(dataDirectory);
    if (!from.isEmpty() && from == here)
        return {};
    const QString source = manifest.value(QStringLiteral("source")).toString();
    if (from.isEmpty() || here.isEmpty())
        return QStringLiteral(
            "Whether the backup (of %1) comes from the practice it replaced cannot be told: "
            "one of them was never backed up with this version.")
            .arg(source);
    return QStringLiteral(
        "The backup comes from another practice (%1, backed up from %2) than the one it replaced.")
        .arg(from, source);
}

// Held while a restore changes the practice in `dataDirectory`: no workstation has it open
// meanwhile, nor opens it.
void takeAlone(std::optional<db::PracticePresence>& alone, const QString& dataDirectory)
{
    alone.reset();
    if (!QFileInfo(dataDirectory).isDir())
        return;
    try {
        alone.emplace(dataDirectory, db::PracticePresence::Mode::Exclusive);
    } catch (const db::PracticeInUse& e) {
        throw BackupError(e.message());
    }
}

} // namespace

QJsonObject verifyBackupFiles(const QString& backup, bool force)
{
    return checkedSqliteBackup(backup, force).manifest;
}

QStringList finishStoppedRestore(const QString& dataDirectory)
{
    const QString journal = backupjournal::journalBeside(dataDirectory);
    if (!QFileInfo::exists(journal))
        return {}; // the usual case: nothing to wait for, whoever has the practice open
    std::optional<db::PracticePresence> alone;
    takeAlone(alone, dataDirectory);
    return backupjournal::complete(journal);
}

BackupSummary restoreBackup(const QString& backup, const QString& dataDirectory, const QString& imagesFolder,
    bool force, const BackupProgress& progress)
{
    if (db::ConnectionProfile::isServerLocation(dataDirectory) || isServerBackup(backup))
        return restoreServerBackup(backup, dataDirectory, imagesFolder, force, progress);
    report(progress, QStringLiteral("Checking the backup"), 0);
    const backupfiles::CheckedBackup checked = checkedSqliteBackup(backup, force);
    const QJsonObject& manifest = checked.manifest;
    const QString dataParent = QFileInfo(QDir::cleanPath(dataDirectory)).path();
    makeFolder(dataParent);
    makeFolder(QFileInfo(QDir::cleanPath(imagesFolder)).path());
    // Held until the new practice is in place: no workstation writes into the old one meanwhile.
    std::optional<db::PracticePresence> alone;
    takeAlone(alone, dataDirectory);
    const QString journal = backupjournal::journalBeside(dataDirectory);
    QStringList kept;
    if (QFileInfo::exists(journal)) {
        kept = backupjournal::complete(journal, progress);
        takeAlone(alone, dataDirectory); // the practice the stopped restore put in place
    }
    bool replacesPractice = false;
    for (const QString& place : { dataDirectory, imagesFolder }) {
        if (!holdsAnything(place))
            continue;
        if (!force)
            throw BackupError(QStringLiteral(
                "%1 is not empty; restoring would replace what it holds. Give --force to replace it.")
                                  .arg(QDir::toNativeSeparators(place)));
        replacesPractice = true;
    }
    const QString origin = replacesPractice ? originNote(manifest, dataDirectory) : QString();
    // Left behind by a restore stopped before its journal: unfinished copies of the backup.
    Scratch stagedData(backupjournal::stagedBeside(dataDirectory));
    Scratch stagedImages(backupjournal::stagedBeside(imagesFolder));
    QDir(stagedData.path()).removeRecursively();
    QDir(stagedImages.path()).removeRecursively();

    report(progress, QStringLiteral("Copying the backup"), 20);
    // Only what the manifest vouches for.
    backupfiles::copyListedFiles(backup, checked.files, str(Backup::kDataFolder), stagedData.path());
    backupfiles::copyListedFiles(backup, checked.files, str(Backup::kImagesFolder), stagedImages.path());

    report(progress, QStringLiteral("Checking the restored practice"), 50);
    const QJsonObject databases = manifest.value(QStringLiteral("databases")).toObject();
    checkRestored(stagedData.path(), databases);
    syncTree(stagedData.path());
    syncTree(stagedImages.path());

    report(progress, QStringLiteral("Putting the practice in place"), 90);
    // The images first, the database last: the database is what makes the practice.
    backupjournal::begin(journal, { imagesFolder, dataDirectory });
    stagedData.keep();
    stagedImages.keep();
    kept += backupjournal::complete(journal, progress);
    report(progress, QStringLiteral("Done"), 100);
    BackupSummary summary;
    summary.folder = dataDirectory;
    summary.rows = totalRows(databases, summary.tables);
    summary.files = int(checked.files.size());
    summary.notes << QStringLiteral(
        "Checked: every file's SHA-256 against the list of sums, %1, and the "
        "database engine's integrity check and row counts of the restored practice.")
                         .arg(checked.signature);
    for (const QString& folder : std::as_const(kept))
        summary.notes
            << QStringLiteral("What it replaced is kept in %1").arg(QDir::toNativeSeparators(folder));
    if (!origin.isEmpty())
        summary.notes << origin;
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
