#include "app/TourShots.h"
#include "app/VisibleTexts.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <QWidget>

namespace app {

void settleEvents(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
}

void saveShot(QWidget& window, const QString& outDir, const QString& name, QStringList& written)
{
    window.show();
    settleEvents();
    const QString file = QDir(outDir).filePath(name + QStringLiteral(".png"));
    if (window.grab().save(file))
        written.append(file);
    recordVisibleTexts(window, outDir, name);
}

} // namespace app
