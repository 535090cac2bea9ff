#pragma once

// A virtual X display of the test's own: Xvfb picks a free display number and writes it once it
// accepts connections.

#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace testsupport {

class XvfbDisplay {
public:
    XvfbDisplay() = default;
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;
    ~XvfbDisplay()
    {
        if (m_xvfb.state() != QProcess::NotRunning) {
            m_xvfb.terminate();
            m_xvfb.waitForFinished(5000);
        }
    }

    static bool available(const QStringList& tools = { QStringLiteral("Xvfb"), QStringLiteral("xdotool") })
    {
        for (const QString& tool : tools) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                return false;
        }
        return true;
    }

    // The display's name (":N"), or nothing when Xvfb did not start.
    QString start(int width, int height)
    {
        m_xvfb.start(QStringLiteral("Xvfb"),
            { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                QStringLiteral("%1x%2x24").arg(width).arg(height), QStringLiteral("-nolisten"), QStringLiteral("tcp") });
        if (!m_xvfb.waitForStarted())
            return {};
        while (!m_xvfb.canReadLine()) {
            if (!m_xvfb.waitForReadyRead(20000))
                return {};
        }
        m_display = QLatin1Char(':') + QString::fromLatin1(m_xvfb.readLine().trimmed());
        return m_display;
    }

    const QString& display() const { return m_display; }

private:
    QProcess m_xvfb;
    QString m_display;
};

} // namespace testsupport
