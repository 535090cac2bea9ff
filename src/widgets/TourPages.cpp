#include "widgets/TourPages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

namespace widgets {

void settleEvents(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
}

} // namespace widgets
