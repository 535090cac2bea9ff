#include "data/BackupFiles.h"

#include "db/Snapshot.h"
#include "platform/Sha256.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace data::backupfiles {
namespace {

QString str(const char* text)
{
    return QString::fromLatin1(text);
}

QByteArray sumOf(const QByteArray& bytes)
{
    platform::Sha256 sum;
    sum.add(bytes);
    return sum.hex();
}

} // namespace

Scratch::Scratch(QString path)
    : m_path(std::move(path))
{
}

Scratch::~Scratch()
{
    if (!m_kept)
        QDir(m_path).removeRecursively();
}

namespace {

constexpr int kLockWaitMs = 10 * 60 * 1000;

} // namespace

FolderLock::FolderLock(const QString& folder, const BackupProgress& progress)
{
    const QString path = QDir(folder).filePath(QStringLiteral(".orvane-backup.lock"));
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        if (errno == EACCES || errno == EPERM || errno == EROFS)
            throw BackupError(QStringLiteral("The folder %1 cannot be written: the disk is read-only, or the "
                                             "folder is closed to this user.")
                                  .arg(QDir::toNativeSeparators(folder)));
        throw BackupError(
            QStringLiteral("%1 cannot be locked for the backup: %2")
                .arg(QDir::toNativeSeparators(folder), QString::fromLocal8Bit(strerror(errno))));
    }
    QElapsedTimer waited;
    waited.start();
    while (flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            const QString why = QString::fromLocal8Bit(strerror(errno));
            ::close(m_fd);
            throw BackupError(QStringLiteral("%1 cannot be locked for the backup: %2")
                                  .arg(QDir::toNativeSeparators(folder), why));
        }
        if (waited.elapsed() > kLockWaitMs) {
            ::close(m_fd);
            throw BackupError(QStringLiteral(
                "Another workstation has been backing up into %1 for ten minutes; try again later.")
                                  .arg(QDir::toNativeSeparators(folder)));
        }
        report(progress, QStringLiteral("Waiting for another workstation's backup into the same folder"), 0);
        QThread::msleep(100);
    }
}

FolderLock::~FolderLock()
{
    ::close(m_fd); // releases the lock; the file stays, so that nobody locks a file just removed
}

bool unfinished(const QString& name)
{
    return name.endsWith(QLatin1String(".partial")) || name.endsWith(QLatin1String(".restoring"));
}

void removeAbandoned(const QString& folder)
{
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (name.endsWith(QLatin1String(".partial")))
            QDir(dir.filePath(name)).removeRecursively();
    }
}

void report(const BackupProgress& progress, const QString& step, int percent)
{
    if (progress)
        progress(step, percent);
}

void writeFileAtOnce(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(kOwnerOnly) || file.write(bytes) < 0
        || !file.commit())
        throw BackupError(QStringLiteral("%1 cannot be written: %2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
}

void writeManifest(const QString& folder, const QJsonObject& manifest)
{
    const QByteArray text = QJsonDocument(manifest).toJson();
    writeFileAtOnce(QDir(folder).filePath(str(Backup::kManifestFile)), text);
    writeFileAtOnce(QDir(folder).filePath(str(Backup::kManifestSumFile)), sumOf(text) + '\n');
}

QJsonObject readManifest(const QString& backup)
{
    const QString where = QDir::toNativeSeparators(backup);
    if (!QFileInfo(backup).isDir())
        throw BackupError(QStringLiteral("%1 is not a backup folder.").arg(where));
    QFile file(QDir(backup).filePath(str(Backup::kManifestFile)));
    if (!file.open(QIODevice::ReadOnly))
        throw BackupError(
            QStringLiteral("%1 holds no manifest: it is not a backup of this program.").arg(where));
    const QByteArray text = file.readAll();
    QFile sumFile(QDir(backup).filePath(str(Backup::kManifestSumFile)));
    if (!sumFile.open(QIODevice::ReadOnly))
        throw BackupError(
            QStringLiteral("%1 holds no sum of its manifest: it is not a backup of this program.")
                .arg(where));
    if (sumFile.readAll().trimmed() != sumOf(text))
        throw BackupError(QStringLiteral("The manifest of %1 was altered after it was written.").arg(where));
    QJsonParseError error;
    const QJsonObject manifest = QJsonDocument::fromJson(text, &error).object();
    if (error.error != QJsonParseError::NoError
        || manifest.value(QStringLiteral("program")).toString() != str(Backup::kProgram))
        throw BackupError(
            QStringLiteral("The manifest of %1 is damaged or comes from another program.").arg(where));
    if (manifest.value(QStringLiteral("format")).toInt() != Backup::kFormat)
        throw BackupError(
            QStringLiteral("%1 was written in a backup format this version does not know.").arg(where));
    return manifest;
}

bool holdsAnything(const QString& folder)
{
    const QDir dir(folder);
    return dir.exists()
        && !dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System).isEmpty();
}

void makeFolder(const QString& path)
{
    const bool made = !QFileInfo(path).isDir();
    if (!QDir().mkpath(path))
        throw BackupError(QStringLiteral(
            "The folder %1 cannot be created: the disk is read-only, or the folder above it is missing "
            "or cannot be written.")
                              .arg(QDir::toNativeSeparators(path)));
    // Patient data, whatever the umask: a folder we make is its owner's alone; one that was
    // there keeps the modes its owner gave it.
    if (made)
        QFile::setPermissions(path, kOwnerOnly | QFileDevice::ExeOwner);
}

void copyFile(const QString& from, const QString& to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw BackupError(QStringLiteral("%1 cannot be read: %2")
                              .arg(QDir::toNativeSeparators(from), source.errorString()));
    QFile target(to);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate, kOwnerOnly))
        throw BackupError(QStringLiteral("%1 cannot be written: %2")
                              .arg(QDir::toNativeSeparators(to), target.errorString()));
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = source.read(buffer.data(), buffer.size());
        if (got < 0)
            throw BackupError(QStringLiteral("%1 cannot be read: %2")
                                  .arg(QDir::toNativeSeparators(from), source.errorString()));
        if (got == 0)
            break;
        if (target.write(buffer.constData(), got) != got || !target.flush())
            throw BackupError(QStringLiteral("%1 cannot be written: %2")
                                  .arg(QDir::toNativeSeparators(to), target.errorString()));
    }
    // On the disk before anything is renamed over it.
    if (::fsync(target.handle()) != 0)
        throw BackupError(QStringLiteral("%1 cannot be written: %2")
                              .arg(QDir::toNativeSeparators(to), QString::fromLocal8Bit(strerror(errno))));
}

// Puts a folder's entries on the disk: a file synced on its own can still be lost by a power cut
// with the name that leads to it.
namespace {

void syncOpened(const QString& path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    const int error = errno;
    if (fd >= 0)
        ::close(fd);
    if (!synced)
        throw BackupError(QStringLiteral("%1 cannot be written: %2")
                              .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(strerror(error))));
}

} // namespace

void syncFolder(const QString& path)
{
    syncOpened(path, O_RDONLY | O_DIRECTORY);
}

void syncFile(const QString& path)
{
    syncOpened(path, O_RDONLY);
}

// The folder and every folder below it.
void syncTree(const QString& root)
{
    QDirIterator it(root, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        syncFolder(it.next());
    syncFolder(root);
}

void copyTree(const QString& from, const QString& to, bool below, const std::function<bool(const QString&)>& skip)
{
    if (!QFileInfo(from).isDir())
        return;
    makeFolder(to);
    const QDir source(from);
    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks,
        below ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        const QString relative = source.relativeFilePath(it.next());
        if (skip && skip(relative))
            continue;
        const QString target = QDir(to).filePath(relative);
        makeFolder(QFileInfo(target).path());
        copyFile(source.filePath(relative), target);
    }
}

QJsonArray fileList(const QString& root, BackupSummary& summary, const KnownSums& known)
{
    QJsonArray files;
    const QDir dir(root);
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks,
        QDirIterator::Subdirectories);
    QStringList paths;
    while (it.hasNext())
        paths << dir.relativeFilePath(it.next());
    paths.sort();
    for (const QString& path : std::as_const(paths)) {
        auto [sum, size] = known.value(path);
        if (sum.isEmpty() && !db::snapshot::fileSum(dir.filePath(path), sum, size))
            throw BackupError(
                QStringLiteral("%1 cannot be read back.").arg(QDir::toNativeSeparators(dir.filePath(path))));
        files.append(QJsonObject { { QStringLiteral("path"), path }, { QStringLiteral("size"), size },
            { QStringLiteral("sum"), QString::fromLatin1(sum) } });
        ++summary.files;
        summary.bytes += size;
    }
    return files;
}

QString besides(const QString& path, const char* suffix)
{
    return QDir::cleanPath(path) + QLatin1Char('.') + str(suffix);
}

// `target` is at every moment one of the two whole folders.
void swapIn(const QString& staged, const QString& target)
{
    const QByteArray from = QFile::encodeName(staged);
    const QByteArray to = QFile::encodeName(target);
    if (!QFileInfo::exists(target)) {
        if (std::rename(from.constData(), to.constData()) != 0)
            throw BackupError(
                QStringLiteral("%1 cannot be put in place: %2")
                    .arg(QDir::toNativeSeparators(target), QString::fromLocal8Bit(strerror(errno))));
        return;
    }
    if (renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) != 0)
        throw BackupError(
            QStringLiteral("%1 cannot be replaced: %2")
                .arg(QDir::toNativeSeparators(target), QString::fromLocal8Bit(strerror(errno))));
}


namespace {

// A dump's sum is a SHA-256 (64 hex digits), any other file's the fast 64-bit sum.
bool sumOfFile(const QString& path, const QByteArray& expected, QByteArray& sum, qint64& size)
{
    return expected.size() == 64 ? platform::Sha256::ofFile(path, sum, size)
                                 : db::snapshot::fileSum(path, sum, size);
}

// A listed path stays inside the backup and inside the folder it is copied to: relative, in its
// clean form, without "." or ".." steps.
bool confinedPath(const QString& path)
{
    if (path.isEmpty() || QDir::isAbsolutePath(path) || path.contains(QLatin1Char('\\'))
        || QDir::cleanPath(path) != path)
        return false;
    const QStringList steps = path.split(QLatin1Char('/'));
    return std::none_of(steps.cbegin(), steps.cend(), [](const QString& step) {
        return step.isEmpty() || step == QLatin1String(".") || step == QLatin1String("..");
    });
}

// A link inside the backup could bring any file of the machine into the practice.
bool throughLink(const QDir& backup, const QString& path)
{
    QString prefix;
    for (const QString& step : path.split(QLatin1Char('/'))) {
        prefix = prefix.isEmpty() ? step : prefix + QLatin1Char('/') + step;
        if (QFileInfo(backup.filePath(prefix)).isSymLink())
            return true;
    }
    return false;
}

void refuseUnconfined(const QString& backup, const QString& path)
{
    if (!confinedPath(path))
        throw BackupError(QStringLiteral("The manifest of %1 names a file outside the backup: %2")
                              .arg(QDir::toNativeSeparators(backup), path));
}

} // namespace

QStringList alteredFiles(const QString& backup, const QJsonObject& manifest)
{
    const QString where = QDir::toNativeSeparators(backup);
    const QDir dir(backup);
    QStringList altered;
    for (const QJsonValue& value : manifest.value(QStringLiteral("files")).toArray()) {
        const QJsonObject entry = value.toObject();
        const QString path = entry.value(QStringLiteral("path")).toString();
        refuseUnconfined(backup, path);
        if (throughLink(dir, path))
            throw BackupError(
                QStringLiteral("The backup %1 holds a link where %2 should be: a backup holds files only.")
                    .arg(where, path));
        const QByteArray expected = entry.value(QStringLiteral("sum")).toString().toLatin1();
        QByteArray sum;
        qint64 size = 0;
        if (!sumOfFile(dir.filePath(path), expected, sum, size))
            throw BackupError(QStringLiteral("The backup %1 is incomplete: %2 is missing.").arg(where, path));
        const qint64 wanted = entry.value(QStringLiteral("size")).toInteger(-1);
        if (size < wanted)
            throw BackupError(QStringLiteral("The backup %1 is truncated: %2 holds %3 of its %4 bytes.")
                                  .arg(where, path)
                                  .arg(size)
                                  .arg(wanted));
        if (size != wanted || sum != expected)
            altered << path;
    }
    return altered;
}

void copyListedFiles(const QString& backup, const QJsonObject& manifest, const QString& folder, const QString& into)
{
    makeFolder(into);
    const QDir from(backup);
    for (const QJsonValue& value : manifest.value(QStringLiteral("files")).toArray()) {
        const QString path = value.toObject().value(QStringLiteral("path")).toString();
        refuseUnconfined(backup, path);
        const QString rest = path.section(QLatin1Char('/'), 1);
        if (path.section(QLatin1Char('/'), 0, 0) != folder || rest.isEmpty())
            continue;
        const QString target = QDir(into).filePath(rest);
        makeFolder(QFileInfo(target).path());
        copyFile(from.filePath(path), target);
    }
}

StagedImages::StagedImages(QString target)
    : m_target(std::move(target))
    , m_staged(besides(m_target, "restoring"))
{
    makeFolder(QFileInfo(QDir::cleanPath(m_target)).path());
    // Left behind by a restore that was stopped: either unfinished or the images it replaced.
    QDir(m_staged.path()).removeRecursively();
}

void StagedImages::copyFrom(const QString& backup, const QJsonObject& manifest)
{
    copyListedFiles(backup, manifest, str(Backup::kImagesFolder), m_staged.path());
    syncTree(m_staged.path());
}

void StagedImages::putInPlace()
{
    m_hadImages = QFileInfo::exists(m_target);
    swapIn(m_staged.path(), m_target);
}

void StagedImages::takeBack()
{
    if (m_hadImages)
        swapIn(m_staged.path(), m_target);
    else
        std::rename(QFile::encodeName(m_target).constData(), QFile::encodeName(m_staged.path()).constData());
}

void StagedImages::settle()
{
    syncFolder(QFileInfo(QDir::cleanPath(m_target)).path());
}

} // namespace data::backupfiles
