#include "data/BackupFiles.h"

#include "platform/Sha256.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

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

void report(const BackupProgress& progress, const QString& step, int percent)
{
    if (progress)
        progress(step, percent);
}

void writeFileAtOnce(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0 || !file.commit())
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

} // namespace data::backupfiles
