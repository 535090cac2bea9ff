#pragma once

#include "widgets/Forward.h"
#include <QDBusContext>
#include <QObject>

#include <functional>

namespace app {

// The automation object the imaging program calls on the session bus: it files a captured
// image into the current session, says it has finished, and brings the program to the front.
// Texts arrive as UTF-8; the two dates as ISO 8601 text (empty: today).
class TPallavor99Auto : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.orvane.IPallavor99Auto")
public:
    TPallavor99Auto(data::TDmForm& dm, QWidget& mainWindow, QObject* parent = nullptr);
    ~TPallavor99Auto() override;

    // The open chart repainted after an image was filed.
    std::function<void()> redrawChart;
    // The program's reference to the imaging program dropped.
    std::function<void()> releaseImaging;

    // Registers the object and the service name on the session bus; false (and nothing
    // registered) without a bus or when another instance holds the name.
    bool registerOnBus();

public Q_SLOTS:
    void SaveImageInDB(const QString& ImageName, const QString& Category, const QString& Subject,
        const QString& RecDate, const QString& SavedDate, uchar ToothNum, const QString& Remarks, int PatID);
    void DisconnectPV();
    void ShowPallavor();

private:
    // Runs a slot's work; whatever it throws is logged and answered to the caller as a failure.
    void answerFailures(const QString& slot, const std::function<void()>& work);
    // The record the caller sent was not filed: told to the caller, the log and the screen.
    void refuse(const QString& imageName, const QString& problem);
    void tellOnScreen(const QString& text);
    void bringToFront();

    data::TDmForm& m_dm;
    QWidget& m_main;
    bool m_registered = false;
};

} // namespace app
