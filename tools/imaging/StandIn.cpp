#include "StandIn.h"

#include "data/demo/DemoImageArt.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTextStream>
#include <QTimer>

namespace {
const char* const kPractice = "org.orvane.Pallavor99";
const char* const kPracticePath = "/Pallavor99Auto";
const char* const kPracticeInterface = "org.orvane.IPallavor99Auto";
} // namespace

StandIn::StandIn(bool headless, QString logFile, QObject* parent)
    : QObject(parent)
    , m_headless(headless)
    , m_logFile(std::move(logFile))
{
}

void StandIn::log(const QString& line)
{
    QTextStream(stdout) << line << Qt::endl;
    if (m_logFile.isEmpty())
        return;
    QFile file(m_logFile);
    if (file.open(QIODevice::Append | QIODevice::Text))
        QTextStream(&file) << line << '\n';
}

bool StandIn::refuse(const QString& message)
{
    log(QStringLiteral("refused: ") + message);
    sendErrorReply(QDBusError::Failed, message);
    return false;
}

void StandIn::SetParameters(const QString& imageFolder, const QString& patientName)
{
    // The folder ends in "x" and the patient's number: that is how the images are filed.
    const QString last = QFileInfo(QDir::cleanPath(imageFolder)).fileName();
    bool number = false;
    const int id = last.mid(1).toInt(&number);
    if (imageFolder.isEmpty() || !last.startsWith(QLatin1Char('x')) || !number || id <= 0) {
        refuse(QStringLiteral("not a patient's image folder: ") + imageFolder);
        return;
    }
    m_folder = imageFolder;
    m_patient = patientName;
    m_patientId = id;
    log(QStringLiteral("parameters %1 | %2").arg(imageFolder, patientName));
}

void StandIn::GetXRay(uchar tooth)
{
    acquire(Kind::XRay, tooth);
}

void StandIn::Acquire(uchar tooth)
{
    acquire(Kind::Scanner, tooth);
}

void StandIn::CameraCapture(uchar tooth)
{
    acquire(Kind::Camera, tooth);
}

void StandIn::acquire(Kind kind, uchar tooth)
{
    if (m_folder.isEmpty()) {
        refuse(QStringLiteral("no parameters were set"));
        return;
    }
    // The caller waits for this answer; the picture is taken and filed after it.
    QTimer::singleShot(0, this, [this, kind, tooth] { capture(kind, tooth); });
}

void StandIn::capture(Kind kind, int tooth)
{
    static const char* const prefixes[] = { "XR", "SC", "CM" };
    static const char* const categories[] = { "X-Ray", "Scanner", "Camera" };
    const int k = static_cast<int>(kind);
    const QDateTime now = QDateTime::currentDateTime();
    const QString name
        = QStringLiteral("%1-%2-%3.png")
              .arg(QLatin1String(prefixes[k]), now.toString(QStringLiteral("yyMMdd-hhmmsszzz")))
              .arg(tooth);
    QDir().mkpath(m_folder);
    const quint32 seed = static_cast<quint32>(now.toMSecsSinceEpoch()) + ++m_shots;
    const QImage picture = kind == Kind::Camera ? data::demo::drawIntraoralPhoto(tooth, seed)
                                                : data::demo::drawRadiograph(tooth, seed);
    const QString path = QDir(m_folder).filePath(name);
    if (!picture.save(path, "PNG")) {
        log(QStringLiteral("cannot write ") + path);
        return;
    }
    QDBusMessage save = QDBusMessage::createMethodCall(QLatin1String(kPractice), QLatin1String(kPracticePath),
        QLatin1String(kPracticeInterface), QStringLiteral("SaveImageInDB"));
    save << name << QLatin1String(categories[k]) << QStringLiteral("Tooth %1").arg(tooth)
         << now.toString(Qt::ISODate) << now.toString(Qt::ISODate)
         << QVariant::fromValue(static_cast<uchar>(tooth)) << QStringLiteral("orvane-imaging") << m_patientId;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(save, QDBus::Block, 15000);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        // The record was refused: the picture must not stay behind unfiled.
        QFile::remove(path);
        log(QStringLiteral("SaveImageInDB failed: ") + reply.errorMessage());
    } else {
        log(QStringLiteral("filed %1 tooth %2 patient %3").arg(name).arg(tooth).arg(m_patientId));
    }
    callPractice(QStringLiteral("DisconnectPV"));
}

void StandIn::ShowImage(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        refuse(QStringLiteral("no such image: ") + path);
        return;
    }
    log(QStringLiteral("show ") + path);
    if (m_headless) {
        // Seen at once: the practice program comes back to the front, after this answer.
        QTimer::singleShot(0, this, [this] { callPractice(QStringLiteral("ShowPallavor")); });
        return;
    }
    auto* viewer = new QLabel;
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" - ") + m_patient);
    const QPixmap picture(path);
    viewer->setPixmap(picture.scaled(
        QSize(1024, 768).boundedTo(picture.size()), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    // Closing the viewer brings the practice program back.
    connect(viewer, &QObject::destroyed, this, [this] { callPractice(QStringLiteral("ShowPallavor")); });
    viewer->show();
}

void StandIn::callPractice(const QString& method)
{
    const QDBusMessage reply = QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall(
            QLatin1String(kPractice), QLatin1String(kPracticePath), QLatin1String(kPracticeInterface), method),
        QDBus::Block, 15000);
    if (reply.type() == QDBusMessage::ErrorMessage)
        log(method + QStringLiteral(" failed: ") + reply.errorMessage());
}

void StandIn::Quit()
{
    log(QStringLiteral("quit"));
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}
