#include "app/PallavorAutomation.h"
#include "platform/MessageTexts.h"
#include <QMainWindow>
#include <QStatusBar>

#include "app/AutomationNames.h"
#include "data/ImageFiling.h"
#include "platform/ExceptionLog.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QWidget>

namespace app {

namespace {

// Empty is "today" (the record's default); anything else must be a date.
bool readDate(const QString& text, QDateTime& out)
{
    if (text.trimmed().isEmpty())
        return true;
    out = QDateTime::fromString(text.trimmed(), Qt::ISODate);
    if (!out.isValid())
        out = QDateTime(QDate::fromString(text.trimmed(), Qt::ISODate), QTime(0, 0));
    return out.isValid();
}

} // namespace

TPallavor99Auto::TPallavor99Auto(data::TDmForm& dm, QWidget& mainWindow, QObject* parent)
    : QObject(parent)
    , m_dm(dm)
    , m_main(mainWindow)
{
}

TPallavor99Auto::~TPallavor99Auto()
{
    if (!m_registered)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(QLatin1String(automation::kService));
    bus.unregisterObject(QLatin1String(automation::kPath));
}

bool TPallavor99Auto::registerOnBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    if (!bus.registerObject(QLatin1String(automation::kPath), this, QDBusConnection::ExportAllSlots))
        return false;
    if (!bus.registerService(QLatin1String(automation::kService))) {
        bus.unregisterObject(QLatin1String(automation::kPath));
        return false;
    }
    m_registered = true;
    return true;
}

void TPallavor99Auto::SaveImageInDB(const QString& ImageName, const QString& Category, const QString& Subject,
    const QString& RecDate, const QString& SavedDate, uchar ToothNum, const QString& Remarks, int PatID)
{
    data::ImageRecord record { ImageName, Category, Subject, {}, {}, ToothNum, Remarks, PatID };
    QString problem;
    QDBusError::ErrorType kind = QDBusError::InvalidArgs;
    // Nothing may leave a slot of the bus: the bus would drop the object for the session.
    try {
        if (!readDate(RecDate, record.recDate))
            problem = QStringLiteral("RecDate is not a date: %1").arg(RecDate);
        else if (!readDate(SavedDate, record.savedDate))
            problem = QStringLiteral("SavedDate is not a date: %1").arg(SavedDate);
        else
            problem = data::fileImage(m_dm, record);
    } catch (const std::exception& e) {
        platform::exceptionLog::logException(e, QStringLiteral("SaveImageInDB"));
        problem = QStringLiteral("The image was not filed: the database refused it.");
        kind = QDBusError::Failed;
    }
    if (!problem.isEmpty()) {
        // A caller's text, capped: a call cannot fill the log.
        constexpr int kLoggedChars = 500;
        if (calledFromDBus())
            sendErrorReply(kind, problem.left(kLoggedChars));
        platform::exceptionLog::logException(
            QStringLiteral("SaveImageInDB refused: ") + problem.left(kLoggedChars));
        tellOnScreen(platform::MessageTexts::program()
                         .Message(QStringLiteral("The image %1 was not filed:"))
                         .arg(ImageName.left(kLoggedChars))
            + u' ' + problem.left(kLoggedChars));
        return;
    }
    tellOnScreen(platform::MessageTexts::program()
                     .Message(QStringLiteral("The image %1 was filed for the patient with code %2."))
                     .arg(ImageName)
                     .arg(PatID));
    if (redrawChart)
        redrawChart();
}

// In the status bar, for a while: the imaging program's call must not wait for a message box.
void TPallavor99Auto::tellOnScreen(const QString& text)
{
    if (auto* frame = qobject_cast<QMainWindow*>(&m_main))
        frame->statusBar()->showMessage(text, 20000);
}

void TPallavor99Auto::DisconnectPV()
{
    if (releaseImaging)
        releaseImaging();
    bringToFront();
}

void TPallavor99Auto::ShowPallavor()
{
    bringToFront();
}

void TPallavor99Auto::bringToFront()
{
    m_main.setWindowState((m_main.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    m_main.show();
    m_main.raise();
    m_main.activateWindow();
    m_main.setWindowState((m_main.windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    m_main.showMaximized();
}

} // namespace app
