#pragma once

// What a backup folder is made of, for both engines: the folder written aside and renamed into
// place, and the manifest with its own sum beside it.
#include "data/Backup.h"

#include <QByteArray>
#include <QFileDevice>
#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>

#include <utility>

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
// The manifest, and its own sum beside it: a changed manifest could otherwise vouch for changed
// files.
void writeManifest(const QString& folder, const QJsonObject& manifest);
// The manifest of `backup` once its sum, program and format are checked. Throws BackupError.
QJsonObject readManifest(const QString& backup);

// Files and folders, each failure a BackupError naming the path.
void makeFolder(const QString& path);
// Copies a file and puts it on the disk.
void copyFile(const QString& from, const QString& to);
// Puts a folder's entries on the disk, or those of the folder and every folder below it, or a
// file written by another program.
void syncFolder(const QString& path);
void syncFile(const QString& path);
void syncTree(const QString& root);
// Copies the regular files below `from` (or only those in it) into `to`, keeping the folders and
// leaving out those `skip` names by their path relative to `from`.
void copyTree(const QString& from, const QString& to, bool below = true,
    const std::function<bool(const QString&)>& skip = {});
bool holdsAnything(const QString& folder);
// A folder of the same file system beside `path`, for building what then replaces it.
QString besides(const QString& path, const char* suffix);
// Puts `staged` where `target` is in one step; the old one ends up under `staged`'s name.
void swapIn(const QString& staged, const QString& target);

// Sums already taken of files in a backup, by their path in it: read once, not twice.
using KnownSums = QMap<QString, std::pair<QByteArray, qint64>>;
// Every file below `root` with its size and sum, counted into `summary`.
QJsonArray fileList(const QString& root, BackupSummary& summary, const KnownSums& known = {});
// Checks every file the manifest lists against its size and sum: BackupError for one outside
// the backup, missing or truncated; gives those whose sum differs.
QStringList alteredFiles(const QString& backup, const QJsonObject& manifest);
// Copies the files the manifest lists below `folder` of the backup into `into`.
void copyListedFiles(const QString& backup, const QJsonObject& manifest, const QString& folder, const QString& into);

// The image folder of a backup restored beside the one in use, put in its place just before the
// practice and taken back when the practice cannot follow.
class StagedImages {
public:
    explicit StagedImages(QString target);
    void copyFrom(const QString& backup, const QJsonObject& manifest);
    void putInPlace();
    void takeBack();
    // The swap on the disk; what was replaced goes with this object.
    void settle();

private:
    QString m_target;
    Scratch m_staged;
    bool m_hadImages = false;
};

} // namespace data::backupfiles
