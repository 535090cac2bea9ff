#include "app/StateReport.h"

#include "app/MainUnit.h"
#include "data/DmUnit.h"
#include "platform/ExceptionLog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSaveFile>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <memory>

namespace app {
namespace {

QJsonArray rectOf(const QRect& rect)
{
    return { rect.x(), rect.y(), rect.width(), rect.height() };
}

QJsonObject describeWindow(TMainForm& mainWindow, const QString& name)
{
    QJsonObject window;
    QWidget* widget = mainWindow.openWindow(name);
    window[QStringLiteral("open")] = widget != nullptr && widget->isVisible();
    if (!widget)
        return window;
    // A child window shows its patient when it becomes active, as the user's click makes it.
    QElapsedTimer waited;
    waited.start();
    while (!widget->isActiveWindow() && waited.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    window[QStringLiteral("active")] = widget->isActiveWindow();
    window[QStringLiteral("title")] = widget->windowTitle();
    const QRect area = mainWindow.ClientArea->viewport()->rect();
    window[QStringLiteral("area")] = rectOf(area);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(widget->parentWidget())) {
        window[QStringLiteral("geometry")] = rectOf(sub->geometry());
        window[QStringLiteral("fits")] = area.contains(sub->geometry());
        // Nothing of it squeezed below what its rows need, captions and figures in.
        const QSize needed = sub->minimumSizeHint();
        window[QStringLiteral("roomy")] = sub->width() >= needed.width() && sub->height() >= needed.height();
    }
    QJsonObject texts;
    const QList<QLineEdit*> edits = widget->findChildren<QLineEdit*>();
    for (const QLineEdit* edit : edits) {
        if (!edit->objectName().isEmpty() && !edit->text().isEmpty() && edit->echoMode() == QLineEdit::Normal)
            texts[edit->objectName()] = edit->text();
    }
    window[QStringLiteral("texts")] = texts;
    return window;
}

} // namespace

QJsonObject describeStart(TMainForm& mainWindow, QObject* dataModule)
{
    QJsonObject main;
    main[QStringLiteral("visible")] = mainWindow.isVisible();
    main[QStringLiteral("maximized")] = mainWindow.isMaximized();
    main[QStringLiteral("title")] = mainWindow.windowTitle();
    main[QStringLiteral("geometry")] = rectOf(mainWindow.geometry());
    if (const QScreen* screen = mainWindow.screen())
        main[QStringLiteral("screen")] = rectOf(screen->availableGeometry());

    QJsonObject data;
    auto* dm = qobject_cast<data::TDmForm*>(dataModule);
    db::Dataset* patients = dm ? dm->patients().PatientsTable : nullptr;
    data[QStringLiteral("open")] = patients && patients->isActive();
    if (patients && patients->isActive()) {
        data[QStringLiteral("patients")] = patients->recordCount();
        if (!patients->isEmpty()) {
            QJsonObject current;
            for (const QString& field :
                { QStringLiteral("PatientID"), QStringLiteral("LastName"), QStringLiteral("FirstName") })
                current[field] = QJsonValue::fromVariant(patients->value(field));
            data[QStringLiteral("currentPatient")] = current;
        }
    }

    QJsonObject windows;
    for (const QString& name : { QStringLiteral("PatientForm"), QStringLiteral("DentalChartForm") })
        windows[name] = describeWindow(mainWindow, name);

    return { { QStringLiteral("mainWindow"), main }, { QStringLiteral("dataModule"), data },
        { QStringLiteral("windows"), windows } };
}

int reportStateAndQuit(TMainForm& mainWindow, QObject* dataModule, const QString& file)
{
    // The frame may take a moment to reach the screen (a window manager placing it).
    QPointer<TMainForm> window(&mainWindow);
    QPointer<QObject> dm(dataModule);
    auto* poll = new QTimer(&mainWindow);
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    QObject::connect(poll, &QTimer::timeout, &mainWindow, [=] {
        const bool exposed = window->windowHandle() && window->windowHandle()->isExposed();
        if (!exposed && waited->elapsed() < 5000)
            return;
        poll->stop();
        int code = 1;
        try {
            QSaveFile out(file);
            if (out.open(QIODevice::WriteOnly)) {
                out.write(QJsonDocument(describeStart(*window, dm)).toJson());
                code = out.commit() ? 0 : 1;
            }
        } catch (const std::exception& e) {
            platform::exceptionLog::logException(e, QStringLiteral("Reporting the state"));
        }
        QCoreApplication::exit(code);
    });
    poll->start(50);
    return QApplication::exec();
}

} // namespace app
