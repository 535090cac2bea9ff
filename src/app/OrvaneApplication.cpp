#include "app/OrvaneApplication.h"

#include "db/Errors.h"
#include "platform/ExceptionLog.h"
#include "widgets/MessageBoxes.h"

#include <exception>

namespace app {

OrvaneApplication::OrvaneApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    widgets::useMessageBoxes();
}

OrvaneApplication::~OrvaneApplication()
{
    widgets::stopMessageBoxes();
}

bool OrvaneApplication::notify(QObject* receiver, QEvent* event)
{
    if (!m_handlerInstalled)
        return QApplication::notify(receiver, event);
    try {
        return QApplication::notify(receiver, event);
    } catch (const db::Abort&) {
        // a rule that refused has told the user already
    } catch (const std::exception& error) {
        ++m_escaped;
        platform::exceptionLog::logException(QString::fromUtf8(error.what()));
    } catch (...) {
        ++m_escaped;
        platform::exceptionLog::logException(QStringLiteral("Unknown exception"));
    }
    return false;
}

} // namespace app
