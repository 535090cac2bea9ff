#include "widgets/UserAction.h"
#include "db/ErrorWords.h"

#include "db/Errors.h"
#include "platform/ExceptionLog.h"
#include "platform/MessageService.h"
#include "widgets/ConflictDialog.h"

namespace widgets {

void showDatabaseError(const db::DatabaseError& error)
{
    platform::exceptionLog::logException(error);
    platform::showError(db::inWords(error));
}

bool runUserAction(const std::function<void()>& action)
{
    // What runs next: the action, or the user's choice about another workstation's change,
    // which may meet yet another change, or ask for the action to run again.
    std::function<bool()> attempt = [&action] {
        action();
        return true;
    };
    bool actionRan = true;
    for (;;) {
        try {
            if (attempt())
                return actionRan;
            attempt = [&action] {
                action();
                return true;
            };
            actionRan = true;
        } catch (const db::Abort&) {
            return false;
        } catch (const db::ChangedElsewhere& conflict) {
            if (!conflict.resolve) {
                showDatabaseError(conflict);
                return false;
            }
            const db::ChangedElsewhere::Choice choice = ConflictDialog::ask(conflict);
            if (choice == db::ChangedElsewhere::Choice::GoOnEditing) {
                conflict.resolve(choice);
                return false;
            }
            attempt = [resolve = conflict.resolve, choice] { return resolve(choice); };
            actionRan = false; // stored by the choice; what the action meant to do after it did not run
        } catch (const db::DatabaseError& error) {
            showDatabaseError(error);
            return false;
        }
    }
}

} // namespace widgets
