#pragma once

// Puts the restored folders of a practice in place of its folders as one step that survives being
// stopped at any point. The journal is written once every restored folder is whole and on the
// disk, before the first swap; from then on the swaps are finished however the restore ends: by
// itself, or by the next restore, which reads the journal first. Each folder is exchanged with its
// restored one (told apart by the folder's identity on the disk, which a rename keeps); the folders
// replaced are then kept beside their place when they held anything, and the journal goes last. A
// restore stopped before the journal was written leaves the practice as it was.
#include "data/Backup.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace data::backupjournal {

// The journal of the restores into `folder`, beside it.
QString journalBeside(const QString& folder);
// Where a folder's restored copy is built, beside it.
QString stagedBeside(const QString& folder);

// Writes the journal for swapping each of `targets` with its staged copy, with what the caller
// needs to know when it finds the journal again (`extra`). From here on the swaps are finished.
void begin(const QString& journal, const QStringList& targets, const QJsonObject& extra = {});
// The caller's part of a journal (empty when there is none); `found` tells whether there is one.
QJsonObject extraOf(const QString& journal, bool& found);
// Swaps every folder not yet swapped, keeps what was replaced, removes the journal. Returns the
// folders kept.
QStringList complete(const QString& journal, const BackupProgress& progress = {});
// Drops a journal whose swaps never started (a server refused its part): the practice stays.
void discard(const QString& journal);

} // namespace data::backupjournal
