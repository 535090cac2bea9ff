#include "widgets/UserAction.h"

#include "db/Errors.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"

namespace widgets {

bool runUserAction(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const db::Abort&) {
    } catch (const db::DatabaseError& error) {
        platform::exceptionLog::logException(error);
        platform::showError(error.message());
    }
    return false;
}

} // namespace widgets
