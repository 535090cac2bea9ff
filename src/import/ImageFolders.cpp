#include "import/ImageFolders.h"

#include "import/ParadoxError.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace import {
namespace {

QString imageFolderIn(const QString& directory)
{
    for (const QFileInfo& entry : QDir(directory).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (entry.fileName().compare(QLatin1String("xrays"), Qt::CaseInsensitive) == 0)
            return entry.absoluteFilePath();
    }
    return {};
}

} // namespace

ImageFolders::ImageFolders(const QString& oldDataDirectory, const QString& newRoot)
    : m_root(newRoot)
{
    const QDir old(oldDataDirectory);
    const QString target = QDir::cleanPath(QDir(newRoot).absoluteFilePath(QStringLiteral("xrays")));
    for (const QString& where : { QFileInfo(old.absolutePath()).absolutePath(), old.absolutePath() }) {
        const QString folder = imageFolderIn(where);
        if (folder.isEmpty() || m_sources.contains(folder))
            continue;
        // Old and new data directories side by side share one image folder: nothing to copy.
        if (QFileInfo(folder).canonicalFilePath() == QFileInfo(target).canonicalFilePath())
            m_shared = folder;
        else
            m_sources.append(folder);
    }
}

QString ImageFolders::stagingPath(const QString& newRoot)
{
    return QDir(newRoot).filePath(QStringLiteral(".xrays.importing"));
}

void ImageFolders::discard(const QString& newRoot)
{
    QDir(stagingPath(newRoot)).removeRecursively();
}

void ImageFolders::stage()
{
    const QDir staging(stagingPath(m_root));
    discard(m_root);
    for (const QString& source : m_sources) {
        QDirIterator files(source, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString file = files.next();
            const QString relative = QDir(source).relativeFilePath(file);
            const QString copy = staging.filePath(relative);
            if (QFile::exists(copy))
                continue; // the same picture in both old places
            if (!QDir().mkpath(QFileInfo(copy).absolutePath()) || !QFile::copy(file, copy))
                throw ParadoxError(
                    QStringLiteral("the image %1 cannot be copied").arg(QDir::toNativeSeparators(file)));
            ++m_files;
        }
    }
}

QStringList ImageFolders::moveIntoPlace()
{
    const QString staged = stagingPath(m_root);
    if (!m_shared.isEmpty() && m_sources.isEmpty())
        return { QStringLiteral("The images stay in %1, which the new data directory shares.")
                     .arg(QDir::toNativeSeparators(m_shared)) };
    if (m_sources.isEmpty())
        return { QStringLiteral("The old installation has no image folder (xrays) beside its data.") };
    const QDir target(QDir(m_root).filePath(QStringLiteral("xrays")));
    QStringList lines;
    int kept = 0;
    if (!target.exists()) {
        if (QDir().rename(staged, target.absolutePath()))
            return { QStringLiteral("Copied %1 images into %2.")
                         .arg(m_files)
                         .arg(QDir::toNativeSeparators(target.absolutePath())) };
    }
    QDirIterator files(staged, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        const QString destination = target.filePath(QDir(staged).relativeFilePath(file));
        if (QFile::exists(destination) || !QDir().mkpath(QFileInfo(destination).absolutePath())
            || !QFile::rename(file, destination)) {
            lines.append(QStringLiteral(
                "The image %1 is there already and was left as it is; the old one was not copied.")
                             .arg(QDir::toNativeSeparators(destination)));
            ++kept;
        }
    }
    QDir(staged).removeRecursively();
    lines.prepend(QStringLiteral("Copied %1 images into %2.")
                      .arg(m_files - kept)
                      .arg(QDir::toNativeSeparators(target.absolutePath())));
    return lines;
}

} // namespace import
