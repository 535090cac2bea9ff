#pragma once

// What a backup folder is made of, for both engines: the folder written aside and renamed into
// place, and the manifest with the list of its files' SHA-256 sums and the list's signature.
#include "data/Backup.h"

#include <QByteArray>
#include <QFileDevice>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>

namespace data::backupfiles {

// Removes a folder being written unless it was finished.
class Scratch {
public:
    explicit Scratch(QString path);
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    void keep() { m_kept = true; }
    const QString& path() const { return m_path; }

private:
    QString m_path;
    bool m_kept = false;
};

// Held while a backup is written into a folder: two workstations that back up into one folder
// at once take turns (an advisory lock of the operating system, also over a network share).
class FolderLock {
public:
    FolderLock(const QString& folder, const BackupProgress& progress);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd = -1;
};

// The unfinished folders a stopped backup left in `folder`; only while its FolderLock is held.
void removeAbandoned(const QString& folder);
// True for a folder being written or put in place, which is no backup yet.
bool unfinished(const QString& name);

// Every file of patient data we write is its owner's alone, whatever the umask.
constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

void report(const BackupProgress& progress, const QString& step, int percent);
// Writes the whole file or nothing. Throws BackupError.
void writeFileAtOnce(const QString& path, const QByteArray& bytes);

// A file of a backup: its SHA-256 (hex) and size.
struct FileSum {
    QByteArray sha256;
    qint64 size = 0;
};
// The files of a backup by their path in it.
using FileSums = QMap<QString, FileSum>;

// Files and folders, each failure a BackupError naming the path.
void makeFolder(const QString& path);
// Copies a file, puts it on the disk and gives the sum of what was copied.
FileSum copyFile(const QString& from, const QString& to);
// Puts a folder's entries on the disk, or those of the folder and every folder below it, or a
// file written by another program.
void syncFolder(const QString& path);
void syncFile(const QString& path);
void syncTree(const QString& root);

// What copyTree copied, by its path below `prefix`, and what it left out: links (which could
// bring any file of the machine into the backup) and names the list of sums cannot hold.
struct CopiedTree {
    FileSums files;
    QStringList leftOut;
};
// Copies the regular files below `from` (or only those in it) into `to`, keeping the folders and
// leaving out those `skip` names by their path relative to `from`.
CopiedTree copyTree(const QString& from, const QString& to, const QString& prefix, bool below = true,
    const std::function<bool(const QString&)>& skip = {});
// Whether a folder holds anything but locks.
bool holdsAnything(const QString& folder);
// A folder of the same file system beside `path`, for building what then replaces it.
QString besides(const QString& path, const char* suffix);
// Puts `staged` where `target` is in one step; the old one ends up under `staged`'s name.
void swapIn(const QString& staged, const QString& target);

// Writes manifest.json and the list of every file's SHA-256, the manifest's included, in the
// format `sha256sum -c` reads, signed with this workstation's key. Gives the files and bytes
// to `summary`.
void writeManifest(
    const QString& folder, const QJsonObject& manifest, FileSums files, BackupSummary& summary);

// A backup whose every listed file matched its sum.
struct CheckedBackup {
    QJsonObject manifest;
    FileSums files; // every listed file but the manifest
    QString signature; // what its signature said, for the report
};
// Reads a backup's manifest and checks the list's signature, then every file it lists against its
// sum, touching nothing. An edited backup is refused; one whose signature cannot be checked here
// only with `force`. Throws BackupError with the reason.
CheckedBackup checkedBackup(const QString& backup, bool force);
// Copies the files listed below `folder` of the backup into `into`, checking each copy's sum.
void copyListedFiles(
    const QString& backup, const FileSums& files, const QString& folder, const QString& into);

} // namespace data::backupfiles
