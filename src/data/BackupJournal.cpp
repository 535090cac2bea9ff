#include "data/BackupJournal.h"

#include "data/BackupFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace data::backupjournal {
namespace {

using backupfiles::syncFolder;

// A folder's identity on its disk, which a rename keeps; empty when there is none.
QString identityOf(const QString& path)
{
    struct stat status { };
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return QStringLiteral("%1:%2").arg(quint64(status.st_dev)).arg(quint64(status.st_ino));
}

QString parentOf(const QString& path)
{
    return QFileInfo(QDir::cleanPath(path)).absolutePath();
}

QString keptBeside(const QString& target)
{
    const QString base = QDir::cleanPath(target) + QStringLiteral(".replaced-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HHmmss"));
    QString kept = base;
    for (int n = 2; QFileInfo::exists(kept); ++n)
        kept = base + QStringLiteral("-%1").arg(n);
    return kept;
}

[[noreturn]] void cannotFinish(const QString& journal, const QString& why)
{
    throw BackupError(
        QStringLiteral("A stopped restore cannot be finished: %1. Its journal %2 lists what goes where.")
            .arg(why, QDir::toNativeSeparators(journal)));
}

QString text(const QJsonObject& swap, const char* key)
{
    return swap.value(QLatin1String(key)).toString();
}

void rename(const QString& from, const QString& to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw BackupError(QStringLiteral("%1 cannot be moved to %2: %3")
                              .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to),
                                  QString::fromLocal8Bit(std::strerror(errno))));
}

} // namespace

QString journalBeside(const QString& folder)
{
    return backupfiles::besides(folder, "restore-journal");
}

QString stagedBeside(const QString& folder)
{
    return backupfiles::besides(folder, "restoring");
}

void begin(const QString& journal, const QStringList& targets, const QJsonObject& extra)
{
    QJsonArray swaps;
    for (const QString& target : targets) {
        const QString staged = stagedBeside(target);
        swaps.append(QJsonObject { { QStringLiteral("target"), target }, { QStringLiteral("staged"), staged },
            { QStringLiteral("stagedId"), identityOf(staged) },
            { QStringLiteral("kept"), keptBeside(target) } });
    }
    QJsonObject content = extra;
    content.insert(QStringLiteral("swaps"), swaps);
    backupfiles::writeFileAtOnce(journal, QJsonDocument(content).toJson());
    syncFolder(parentOf(journal));
}

QJsonObject extraOf(const QString& journal, bool& found)
{
    QFile file(journal);
    found = file.open(QIODevice::ReadOnly);
    if (!found)
        return {};
    QJsonParseError error;
    QJsonObject content = QJsonDocument::fromJson(file.readAll(), &error).object();
    // Written at once: a damaged journal was not written by a restore.
    if (error.error != QJsonParseError::NoError || !content.value(QStringLiteral("swaps")).isArray())
        cannotFinish(journal, QStringLiteral("its journal is damaged"));
    return content;
}

QStringList complete(const QString& journal, const BackupProgress& progress)
{
    bool found = false;
    const QJsonArray swaps = extraOf(journal, found).value(QStringLiteral("swaps")).toArray();
    if (!found)
        return {};
    for (const QJsonValue& value : swaps) {
        const QJsonObject swap = value.toObject();
        const QString target = text(swap, "target");
        const QString staged = text(swap, "staged");
        const QString id = text(swap, "stagedId");
        if (identityOf(target) == id)
            continue; // swapped before the restore stopped
        if (id.isEmpty() || identityOf(staged) != id)
            cannotFinish(journal,
                QStringLiteral("%1 is no longer the restored folder it names")
                    .arg(QDir::toNativeSeparators(staged)));
        backupfiles::report(
            progress, QStringLiteral("Putting %1 in place").arg(QFileInfo(target).fileName()), 92);
        backupfiles::swapIn(staged, target);
        syncFolder(parentOf(target));
    }
    backupfiles::report(progress, QStringLiteral("Keeping what was replaced"), 96);
    QStringList kept;
    for (const QJsonValue& value : swaps) {
        const QJsonObject swap = value.toObject();
        const QString replaced = text(swap, "staged"); // after the exchange
        const QString keptAt = text(swap, "kept");
        if (QFileInfo(replaced).isDir()) {
            if (backupfiles::holdsAnything(replaced))
                rename(replaced, keptAt);
            else
                QDir(replaced).removeRecursively();
            syncFolder(parentOf(replaced));
        }
        if (QFileInfo(keptAt).isDir())
            kept << keptAt;
    }
    discard(journal);
    return kept;
}

void discard(const QString& journal)
{
    QFile::remove(journal);
    syncFolder(parentOf(journal));
}

} // namespace data::backupjournal
