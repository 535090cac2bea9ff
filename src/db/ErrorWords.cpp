#include "db/ErrorWords.h"

#include "db/Errors.h"
#include "db/ServerUnavailable.h"
#include "platform/MessageTexts.h"

namespace db {

namespace {

// The first error of type E among the error and the errors it was raised from.
template<class E> const E* firstInChain(const std::exception& error)
{
    if (const auto* found = dynamic_cast<const E*>(&error))
        return found;
    try {
        std::rethrow_if_nested(error);
    } catch (const std::exception& cause) {
        return firstInChain<E>(cause);
    } catch (...) {
    }
    return nullptr;
}

// What the server said, without what our side added to it.
QString serverWords(const DatabaseError& error)
{
    return error.engineMessage().isEmpty() ? error.message() : error.engineMessage().trimmed();
}

} // namespace

QString fieldInWords(QString label)
{
    if (label.size() > 4 && label.endsWith(QLatin1String("EURO")))
        label.chop(4);
    return platform::MessageTexts::program().Message(label);
}

QString inWords(const DatabaseError& error)
{
    const platform::MessageTexts& texts = platform::MessageTexts::program();
    const auto say = [&texts](const char* text) { return texts.Message(QString::fromLatin1(text)); };
    if (const auto* unreachable = dynamic_cast<const ServerUnavailable*>(&error))
        return say("The database server cannot be reached, or it refuses this workstation:") + u'\n'
            + serverWords(*unreachable);
    if (const auto* invalid = dynamic_cast<const InvalidValue*>(&error))
        return say("The value %1 cannot be stored in %2: %3.")
            .arg(invalid->input(), fieldInWords(invalid->label()), texts.Message(invalid->why()));
    if (const auto* missing = dynamic_cast<const MissingValue*>(&error))
        return say("%1 must be filled in before the record is stored.").arg(fieldInWords(missing->label()));
    if (const auto* tooLong = dynamic_cast<const TextTooLong*>(&error))
        return say("%1 holds at most %2 characters: shorten the text.")
            .arg(fieldInWords(tooLong->label()))
            .arg(tooLong->size());
    if (dynamic_cast<const DeletedElsewhere*>(&error))
        return say("Another workstation deleted this record meanwhile, so the changes cannot be stored. "
                   "Cancel them to see the records as they are now.");
    if (const auto* conflict = dynamic_cast<const KeyConflict*>(&error))
        return conflict->kind() == KeyConflict::Kind::Duplicate
            ? say("A record with the same code is stored already. Change the code and store again.")
            : say("Other records still refer to this one, so it cannot be changed or deleted that way.");
    if (dynamic_cast<const ConnectionLost*>(&error))
        return texts.Message(error.summary());
    if (dynamic_cast<const LockTimeout*>(&error))
        return say("Another workstation is storing the same records. Try again in a moment.");
    if (dynamic_cast<const DamagedDatabase*>(&error))
        return say("The database is damaged. Close the program on every workstation and restore the last "
                   "backup.");
    // The engine's words name the table or file and the user it refused.
    if (const auto* denied = dynamic_cast<const AccessDenied*>(&error))
        return say("The database does not allow this:") + u'\n' + serverWords(*denied) + u'\n'
            + say("Ask whoever looks after the database (its server, or the folder of its files) to give "
                  "this user the rights it needs.");
    // Our own words come through as they are (translated when the language file has them); an
    // engine's failure is told plainly, its text left for the log.
    if (error.engineMessage().isEmpty())
        return texts.Message(error.summary());
    return say("The database could not carry this out. The details are in the exceptions log.");
}

QString serverFailureInWords(const std::exception& error, const QString& address)
{
    const platform::MessageTexts& texts = platform::MessageTexts::program();
    const auto say = [&texts](const char* text) { return texts.Message(QString::fromLatin1(text)); };
    if (const auto* unreachable = firstInChain<ServerUnavailable>(error))
        return say("The database server at %1 cannot be reached, or it refuses this workstation:")
                   .arg(address)
            + u'\n' + serverWords(*unreachable) + u'\n'
            + say("Check that the server is running and can be reached from this computer, and the user name "
                  "and password it expects.");
    if (const auto* denied = firstInChain<AccessDenied>(error))
        return say("The database server at %1 does not allow its user this:").arg(address) + u'\n'
            + serverWords(*denied) + u'\n'
            + say(
                "Ask whoever looks after the server to give that user its rights on the practice's tables.");
    if (const auto* other = firstInChain<DatabaseError>(error))
        return say("The database server at %1 could not carry this out:").arg(address) + u'\n'
            + serverWords(*other);
    return say("The database server at %1 could not carry this out:").arg(address) + u'\n'
        + QString::fromLocal8Bit(error.what());
}

} // namespace db
