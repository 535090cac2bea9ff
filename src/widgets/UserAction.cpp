#include "widgets/UserAction.h"
#include "db/ErrorWords.h"

#include "db/Errors.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"

namespace widgets {

void showDatabaseError(const db::DatabaseError& error)
{
    platform::exceptionLog::logException(error);
    platform::showError(db::inWords(error));
}

bool runUserAction(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const db::Abort&) {
    } catch (const db::DatabaseError& error) {
        showDatabaseError(error);
    }
    return false;
}

} // namespace widgets
