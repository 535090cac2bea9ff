#include "app/VisionClient.h"

#include "app/AutomationNames.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>

namespace app {

VisionClient::VisionClient(QString program)
    : m_program(program.isEmpty() ? defaultProgram() : std::move(program))
{
}

VisionClient::~VisionClient() = default;

QString VisionClient::defaultProgram()
{
    const QString set = qEnvironmentVariable("ORVANE_IMAGING_PROGRAM");
    if (!set.isEmpty())
        return set;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/orvane-imaging");
}

void VisionClient::release()
{
    m_interface.reset();
}

bool VisionClient::connectProgram()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const QString service = QLatin1String(automation::kVisionService);
    QDBusConnectionInterface* names = bus.interface();
    if (!names->isServiceRegistered(service)) {
        // A service file lets the bus start it; else the program is started here.
        if (!names->startService(service).isValid() && !names->isServiceRegistered(service)) {
            if (!QProcess::startDetached(m_program, {}))
                return false;
            const QDeadlineTimer deadline(kStartWaitMs);
            while (!names->isServiceRegistered(service) && !deadline.hasExpired()) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
                QThread::msleep(20);
            }
        }
        if (!names->isServiceRegistered(service))
            return false;
    }
    m_interface = std::make_unique<QDBusInterface>(
        service, QLatin1String(automation::kVisionPath), QLatin1String(automation::kVisionInterface), bus);
    if (!m_interface->isValid()) {
        m_interface.reset();
        return false;
    }
    m_interface->setTimeout(15000);
    return true;
}

bool VisionClient::call(const QString& method, const QVariantList& arguments)
{
    if (!m_interface)
        return false;
    const QDBusMessage reply = m_interface->callWithArgumentList(QDBus::Block, method, arguments);
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool VisionClient::setParameters(const QString& imageFolder, const QString& patientName)
{
    return call(QStringLiteral("SetParameters"), { imageFolder, patientName });
}

bool VisionClient::acquire(images::Acquisition kind, int tooth)
{
    const auto number = QVariant::fromValue(static_cast<uchar>(tooth));
    switch (kind) {
    case images::Acquisition::XRay:
        return call(QStringLiteral("GetXRay"), { number });
    case images::Acquisition::Scanner:
        return call(QStringLiteral("Acquire"), { number });
    case images::Acquisition::Camera:
        break;
    }
    return call(QStringLiteral("CameraCapture"), { number });
}

bool VisionClient::showImage(const QString& path)
{
    return call(QStringLiteral("ShowImage"), { path });
}

} // namespace app
