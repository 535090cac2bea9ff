#pragma once

#include <QDBusContext>
#include <QObject>
#include <QString>

#include <functional>

// The imaging program's automation object: it keeps the folder and patient it is given, draws
// a picture into the folder on an acquire and files it through the practice program's
// SaveImageInDB, then calls DisconnectPV; it shows a picture in a window, or only logs it.
class StandIn : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.orvane.IPallavorVision99Auto")
public:
    StandIn(bool headless, QString logFile, QObject* parent = nullptr);

public Q_SLOTS:
    void SetParameters(const QString& imageFolder, const QString& patientName);
    void GetXRay(uchar tooth);
    void Acquire(uchar tooth);
    void CameraCapture(uchar tooth);
    void ShowImage(const QString& path);
    void Quit();

private:
    enum class Kind { XRay, Scanner, Camera };
    void acquire(Kind kind, uchar tooth);
    void capture(Kind kind, int tooth);
    void log(const QString& line);
    void callPractice(const QString& method);
    bool refuse(const QString& message);

    bool m_headless;
    QString m_logFile;
    QString m_folder;
    QString m_patient;
    int m_patientId = 0;
    quint32 m_shots = 0;
};
