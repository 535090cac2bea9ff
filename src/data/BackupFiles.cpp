#include "data/BackupFiles.h"

#include "data/BackupSignature.h"
#include "platform/Sha256.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QRegularExpression>
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

bool holdsAnything(const QString& folder)
{
    // The locks a restore or a workstation takes in a folder are no part of what it holds.
    const QStringList entries
        = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    return std::any_of(entries.cbegin(), entries.cend(),
        [](const QString& name) { return !name.endsWith(QLatin1String(".lock")); });
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

FileSum copyFile(const QString& from, const QString& to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw BackupError(QStringLiteral("%1 cannot be read: %2")
                              .arg(QDir::toNativeSeparators(from), source.errorString()));
    QFile target(to);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate, kOwnerOnly))
        throw BackupError(QStringLiteral("%1 cannot be written: %2")
                              .arg(QDir::toNativeSeparators(to), target.errorString()));
    platform::Sha256 sum;
    FileSum copied;
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
        sum.add(buffer.constData(), got);
        copied.size += got;
    }
    // On the disk before anything is renamed over it.
    if (::fsync(target.handle()) != 0)
        throw BackupError(QStringLiteral("%1 cannot be written: %2")
                              .arg(QDir::toNativeSeparators(to), QString::fromLocal8Bit(strerror(errno))));
    copied.sha256 = sum.hex();
    return copied;
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

namespace {

// The list of sums holds one name a line; a name with a line break or a backslash would need
// sha256sum's escapes, and the restore refuses a backslash (a separator elsewhere).
bool listable(const QString& path)
{
    return !path.contains(QLatin1Char('\n')) && !path.contains(QLatin1Char('\r'))
        && !path.contains(QLatin1Char('\\'));
}

} // namespace

CopiedTree copyTree(const QString& from, const QString& to, const QString& prefix, bool below,
    const std::function<bool(const QString&)>& skip)
{
    CopiedTree copied;
    if (!QFileInfo(from).isDir())
        return copied;
    makeFolder(to);
    const QDir source(from);
    // Links are listed to be named, never followed: they would bring any file of the machine in.
    QDirIterator it(from, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
        below ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString relative = source.relativeFilePath(path);
        if (skip && skip(relative))
            continue;
        if (info.isSymLink() || (info.isFile() && !listable(relative))) {
            copied.leftOut << QDir::toNativeSeparators(path);
            continue;
        }
        if (!info.isFile())
            continue;
        const QString target = QDir(to).filePath(relative);
        makeFolder(QFileInfo(target).path());
        copied.files.insert(prefix + QLatin1Char('/') + relative, copyFile(path, target));
    }
    return copied;
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

namespace {

QByteArray sumsText(const FileSums& files)
{
    QByteArray text;
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        text += it->sha256 + "  " + it.key().toUtf8() + '\n';
    return text;
}

// The list as sha256sum writes it, one "<64 hex digits>  <path>" a line; false when a line is not.
bool parseSums(const QByteArray& text, FileSums& files)
{
    static const QRegularExpression line(QStringLiteral("^([0-9a-f]{64})  (.+)$"));
    for (const QByteArray& bytes : text.split('\n')) {
        if (bytes.isEmpty())
            continue;
        const QRegularExpressionMatch match = line.match(QString::fromUtf8(bytes));
        if (!match.hasMatch() || files.contains(match.captured(2)))
            return false;
        files.insert(match.captured(2), { match.captured(1).toLatin1(), 0 });
    }
    return true;
}

QByteArray readAll(const QString& path, bool& found)
{
    QFile file(path);
    found = file.open(QIODevice::ReadOnly);
    return found ? file.readAll() : QByteArray();
}

// The signature's word on the list: an edited backup is refused, one signed elsewhere only with `force`.
QString checkedSignature(const QString& backup, const QByteArray& list, bool force)
{
    const QString where = QDir::toNativeSeparators(backup);
    bool found = false;
    const QByteArray signature = readAll(QDir(backup).filePath(str(Backup::kSignatureFile)), found);
    switch (backupsignature::check(list, signature)) {
    case backupsignature::Verdict::Sound:
        return QStringLiteral("its signature with this workstation's key");
    case backupsignature::Verdict::Edited:
        throw BackupError(QStringLiteral("The backup %1 was edited after it was written: its list of sums no "
                                         "longer matches its signature.")
                              .arg(where));
    case backupsignature::Verdict::Unknown:
        break;
    }
    if (!force)
        throw BackupError(
            QStringLiteral("The signature of the backup %1 cannot be checked: %2 Give --force to "
                           "restore it all the same, if you trust where it comes from.")
                .arg(where,
                    found ? QStringLiteral("it was made on another workstation, or this one has lost "
                                           "its key %1 (copy that file from the workstation that made it).")
                                .arg(QDir::toNativeSeparators(backupsignature::keyFile()))
                          : QStringLiteral("it holds no signature.")));
    return QStringLiteral("not its signature, which cannot be checked here (restored with --force)");
}

} // namespace

void writeManifest(const QString& folder, const QJsonObject& manifest, FileSums files, BackupSummary& summary)
{
    for (const FileSum& file : std::as_const(files)) {
        ++summary.files;
        summary.bytes += file.size;
    }
    const QByteArray text = QJsonDocument(manifest).toJson();
    writeFileAtOnce(QDir(folder).filePath(str(Backup::kManifestFile)), text);
    platform::Sha256 sum;
    sum.add(text);
    files.insert(str(Backup::kManifestFile), { sum.hex(), text.size() });
    const QByteArray list = sumsText(files);
    writeFileAtOnce(QDir(folder).filePath(str(Backup::kSumsFile)), list);
    writeFileAtOnce(QDir(folder).filePath(str(Backup::kSignatureFile)), backupsignature::sign(list));
}

CheckedBackup checkedBackup(const QString& backup, bool force)
{
    const QString where = QDir::toNativeSeparators(backup);
    const QDir dir(backup);
    if (!QFileInfo(backup).isDir())
        throw BackupError(QStringLiteral("%1 is not a backup folder.").arg(where));
    bool found = false;
    const QByteArray list = readAll(dir.filePath(str(Backup::kSumsFile)), found);
    if (!found)
        throw BackupError(QFileInfo::exists(dir.filePath(str(Backup::kManifestFile)))
                ? QStringLiteral("%1 was written in a backup format this version does not know.").arg(where)
                : QStringLiteral("%1 holds no manifest: it is not a backup of this program.").arg(where));
    CheckedBackup checked;
    if (!parseSums(list, checked.files))
        throw BackupError(QStringLiteral("The list of sums of %1 is damaged.").arg(where));
    checked.signature = checkedSignature(backup, list, force);
    if (!checked.files.contains(str(Backup::kManifestFile)))
        throw BackupError(
            QStringLiteral("%1 holds no manifest: it is not a backup of this program.").arg(where));
    QStringList altered;
    for (auto it = checked.files.cbegin(); it != checked.files.cend(); ++it) {
        const QString& path = it.key();
        refuseUnconfined(backup, path);
        if (throughLink(dir, path))
            throw BackupError(
                QStringLiteral("The backup %1 holds a link where %2 should be: a backup holds files only.")
                    .arg(where, path));
        QByteArray sum;
        qint64 size = 0;
        if (!platform::Sha256::ofFile(dir.filePath(path), sum, size))
            throw BackupError(QStringLiteral("The backup %1 is incomplete: %2 is missing.").arg(where, path));
        if (sum != it->sha256)
            altered << path;
    }
    if (!altered.isEmpty())
        throw BackupError(
            QStringLiteral("The backup %1 was altered after it was written: %2 no longer matches its sum.")
                .arg(where, altered.join(QStringLiteral(", "))));
    QJsonParseError error;
    checked.manifest
        = QJsonDocument::fromJson(readAll(dir.filePath(str(Backup::kManifestFile)), found), &error).object();
    checked.files.remove(str(Backup::kManifestFile));
    if (error.error != QJsonParseError::NoError
        || checked.manifest.value(QStringLiteral("program")).toString() != str(Backup::kProgram))
        throw BackupError(
            QStringLiteral("The manifest of %1 is damaged or comes from another program.").arg(where));
    if (checked.manifest.value(QStringLiteral("format")).toInt() != Backup::kFormat)
        throw BackupError(
            QStringLiteral("%1 was written in a backup format this version does not know.").arg(where));
    return checked;
}

void copyListedFiles(const QString& backup, const FileSums& files, const QString& folder, const QString& into)
{
    makeFolder(into);
    const QDir from(backup);
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString& path = it.key();
        refuseUnconfined(backup, path);
        const QString rest = path.section(QLatin1Char('/'), 1);
        if (path.section(QLatin1Char('/'), 0, 0) != folder || rest.isEmpty())
            continue;
        const QString target = QDir(into).filePath(rest);
        makeFolder(QFileInfo(target).path());
        if (copyFile(from.filePath(path), target).sha256 != it->sha256)
            throw BackupError(QStringLiteral("%1 changed while it was being restored; nothing was replaced.")
                                  .arg(QDir::toNativeSeparators(from.filePath(path))));
    }
}

} // namespace data::backupfiles
