#include "app/ImagingBridge.h"

#include "data/DmUnit.h"
#include "data/ImageFiling.h"
#include "data/PatientsArea.h"
#include "db/Dataset.h"
#include "platform/ExceptionLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QImageReader>
#include <QRegularExpression>
#include <QTimer>

namespace app {

namespace {

QString quoted(const QString& value)
{
    return value.contains(QLatin1Char(' ')) ? QLatin1Char('"') + value + QLatin1Char('"') : value;
}

constexpr int kNameLength = 30; // PhotoName

// The picture's name in the patient's folder: its own when free, else with a number behind.
QString freeName(const QDir& folder, const QFileInfo& picture)
{
    const QString suffix = QLatin1Char('.') + picture.suffix();
    QString base = picture.completeBaseName().left(kNameLength - static_cast<int>(suffix.size()));
    for (int n = 0; n < 1000; ++n) {
        const QString tail = n == 0 ? QString() : QStringLiteral("-%1").arg(n);
        const QString name
            = base.left(kNameLength - static_cast<int>(suffix.size() + tail.size())) + tail + suffix;
        if (!folder.exists(name))
            return name;
    }
    return {};
}

// A tooth number at the end of the name ("pano_36.jpg", "XR-0412-21.png"), else the whole mouth.
int toothFromName(const QString& baseName)
{
    static const QRegularExpression tail(QStringLiteral("[-_ ](\\d{2})$"));
    const QRegularExpressionMatch match = tail.match(baseName);
    const int tooth = match.hasMatch() ? match.captured(1).toInt() : 0;
    return data::isToothNumber(tooth) ? tooth : 0;
}

// A regular file named as a picture. A link could file any file of the machine into a
// patient's record.
bool isPictureFile(const QFileInfo& file)
{
    static const QStringList kinds { QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
        QStringLiteral("bmp"), QStringLiteral("tif"), QStringLiteral("tiff") };
    return !file.isSymLink() && file.isFile() && kinds.contains(file.suffix().toLower());
}

// A picture cut short (a writer that has not finished) is no picture Qt can read.
bool isWholePicture(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    return !reader.read().isNull();
}

bool moveFile(const QString& from, const QString& to)
{
    if (QFile::rename(from, to))
        return true;
    // Another file system: copy, then remove the original.
    if (!QFile::copy(from, to))
        return false;
    if (!QFile::remove(from)) {
        QFile::remove(to);
        return false;
    }
    return true;
}

} // namespace

std::optional<QString> toothImagingCommand(const QString& commandTemplate, const QString& imageFolder,
    const QString& patientName, int patientId, int tooth, images::Acquisition kind)
{
    if (commandTemplate.trimmed().isEmpty())
        return std::nullopt;
    static const char* const kinds[] = { "xray", "scanner", "camera" };
    QString command = commandTemplate;
    command.replace(QStringLiteral("%ImageFolder"), quoted(imageFolder))
        .replace(QStringLiteral("%PatientName"), quoted(patientName))
        .replace(QStringLiteral("%PatientID"), QString::number(patientId))
        .replace(QStringLiteral("%Tooth"), QString::number(tooth))
        .replace(QStringLiteral("%Kind"), QLatin1String(kinds[static_cast<int>(kind)]));
    if (command.size() > 499)
        return std::nullopt;
    return command;
}

ImportFolderWatcher::ImportFolderWatcher(data::TDmForm& dm, QString folder, QObject* parent)
    : QObject(parent)
    , m_dm(dm)
    , m_folder(std::move(folder))
    , m_watcher(new QFileSystemWatcher(this))
    , m_lookAgain(new QTimer(this))
{
    QDir().mkpath(m_folder);
    m_watcher->addPath(m_folder);
    m_lookAgain->setSingleShot(true);
    m_lookAgain->setInterval(kLookAgainMs);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_lookAgain, qOverload<>(&QTimer::start));
    connect(m_lookAgain, &QTimer::timeout, this, &ImportFolderWatcher::scan);
}

void ImportFolderWatcher::scan()
{
    bool waiting = false;
    QHash<QString, Seen> seen;
    const QFileInfoList files = QDir(m_folder).entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Name);
    const QDateTime now = QDateTime::currentDateTime();
    for (const QFileInfo& file : files) {
        if (!isPictureFile(file))
            continue;
        const QString path = file.absoluteFilePath();
        const Seen looked { file.size(), file.lastModified() };
        // A refused picture is looked at again once it changes: appending to a file need not
        // change the folder, so the folder is looked at while one lies there.
        if (m_refused.value(path) == looked) {
            waiting = true;
            continue;
        }
        m_refused.remove(path);
        // Still being written (a writer may pause between bursts): look again later.
        if (looked.size == 0 || m_seen.value(path) != looked || looked.modified.msecsTo(now) < kQuietMs) {
            seen.insert(path, looked);
            waiting = true;
            continue;
        }
        switch (fileOne(path)) {
        case Outcome::Filed:
            break;
        case Outcome::Wait:
            seen.insert(path, looked);
            waiting = true;
            break;
        case Outcome::Refused:
            m_refused.insert(path, looked);
            waiting = true;
            break;
        }
    }
    m_seen = seen;
    if (waiting)
        m_lookAgain->start();
}

ImportFolderWatcher::Outcome ImportFolderWatcher::fileOne(const QString& path)
{
    const db::Dataset& patients = *m_dm.patients().PatientsTable;
    if (!patients.isActive() || patients.isEmpty() || m_dm.clinical().PhotosTable->isEditing())
        return Outcome::Wait;
    const QFileInfo picture(path);
    if (!isWholePicture(path)) {
        platform::exceptionLog::logException(
            QStringLiteral("Import of %1 waits: it is no picture that can be read").arg(path));
        return Outcome::Refused;
    }
    const QDir folder(m_dm.patients().xRayFolder());
    QDir().mkpath(folder.path());
    const QString name = freeName(folder, picture);
    const QString target = folder.filePath(name);
    if (name.isEmpty() || !moveFile(path, target))
        return Outcome::Wait;
    const QDateTime now = QDateTime::currentDateTime();
    const data::ImageRecord record { name, QStringLiteral("Import"), picture.fileName().left(40),
        picture.lastModified(), now, toothFromName(picture.completeBaseName()), QString(),
        patients.value(u"PatientID").toInt() };
    QString problem;
    try {
        problem = data::fileImage(m_dm, record);
    } catch (const std::exception& e) {
        problem = QString::fromUtf8(e.what());
    }
    if (!problem.isEmpty()) {
        moveFile(target, path);
        platform::exceptionLog::logException(QStringLiteral("Import of %1 refused: %2").arg(path, problem));
        return Outcome::Refused;
    }
    ++m_filed;
    if (afterFiling)
        afterFiling();
    return Outcome::Filed;
}

} // namespace app
