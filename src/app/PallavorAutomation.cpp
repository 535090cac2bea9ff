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

// What a caller sent reaches the log and the reply capped: a call cannot fill the log.
constexpr int kLoggedChars = 500;

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
    answerFailures(QStringLiteral("SaveImageInDB"), [&] {
        data::ImageRecord record { ImageName, Category, Subject, {}, {}, ToothNum, Remarks, PatID };
        QString problem;
        if (!readDate(RecDate, record.recDate))
            problem = QStringLiteral("RecDate is not a date: %1").arg(RecDate);
        else if (!readDate(SavedDate, record.savedDate))
            problem = QStringLiteral("SavedDate is not a date: %1").arg(SavedDate);
        else
            problem = data::fileImage(m_dm, record);
        if (!problem.isEmpty()) {
            refuse(ImageName, problem);
            return;
        }
        tellOnScreen(platform::MessageTexts::program()
                         .Message(QStringLiteral("The image %1 was filed for the patient with code %2."))
                         .arg(ImageName)
                         .arg(PatID));
        if (redrawChart)
            redrawChart();
    });
}

void TPallavor99Auto::refuse(const QString& imageName, const QString& problem)
{
    const QString told = problem.left(kLoggedChars);
    if (calledFromDBus())
        sendErrorReply(QDBusError::InvalidArgs, told);
    platform::exceptionLog::logException(QStringLiteral("SaveImageInDB refused: ") + told);
    tellOnScreen(platform::MessageTexts::program()
                     .Message(QStringLiteral("The image %1 was not filed:"))
                     .arg(imageName.left(kLoggedChars))
        + u' ' + told);
}

void TPallavor99Auto::answerFailures(const QString& slot, const std::function<void()>& work)
{
    // Nothing may leave a slot of the bus: the object would be lost to the imaging program
    // for the rest of the session.
    try {
        work();
        return;
    } catch (const std::exception& e) {
        // An error's text may quote a value the caller sent.
        platform::exceptionLog::logException(
            slot + QStringLiteral(": ") + platform::exceptionLog::describe(e).left(kLoggedChars));
    } catch (...) {
        platform::exceptionLog::logException(slot + QStringLiteral(": an unknown exception"));
    }
    if (calledFromDBus())
        sendErrorReply(QDBusError::Failed,
            QStringLiteral("%1 was not carried out: the database or the program failed; the details are in "
                           "the exceptions log.")
                .arg(slot));
}

// In the status bar, for a while: the imaging program's call must not wait for a message box.
void TPallavor99Auto::tellOnScreen(const QString& text)
{
    if (auto* frame = qobject_cast<QMainWindow*>(&m_main))
        frame->statusBar()->showMessage(text, 20000);
}

void TPallavor99Auto::DisconnectPV()
{
    answerFailures(QStringLiteral("DisconnectPV"), [this] {
        if (releaseImaging)
            releaseImaging();
        bringToFront();
    });
}

void TPallavor99Auto::ShowPallavor()
{
    answerFailures(QStringLiteral("ShowPallavor"), [this] { bringToFront(); });
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
