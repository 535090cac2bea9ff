#pragma once

// What a backup folder is made of, for both engines: the folder written aside and renamed into
// place, and the manifest with its own sum beside it.
#include "data/Backup.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

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

void report(const BackupProgress& progress, const QString& step, int percent);
// Writes the whole file or nothing. Throws BackupError.
void writeFileAtOnce(const QString& path, const QByteArray& bytes);
// The manifest, and its own sum beside it: a changed manifest could otherwise vouch for changed
// files.
void writeManifest(const QString& folder, const QJsonObject& manifest);
// The manifest of `backup` once its sum, program and format are checked. Throws BackupError.
QJsonObject readManifest(const QString& backup);

} // namespace data::backupfiles
