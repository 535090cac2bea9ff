#pragma once

#include "widgets/Forward.h"
#include <QString>

#include <exception>

namespace db {
struct ConnectionProfile;
}
namespace platform {
enum class MultiUserType;
}

namespace app {

// Why the data could not be opened at start, in the terms the message to the user needs.
enum class StartFailure {
    NoDatabase, // nothing at the path: a wrong folder, a disk or network drive not there
    Damaged, // the file is there but is no sound database of ours
    Locked, // another program holds it
    NoPermission, // the file system refuses this user
    GeneratorsMissing, // the identifier store beside the database is gone
    BadSetting, // a value in a settings file that cannot be used
    ServerRefused, // the database server is out of reach, refuses this user, or fails otherwise
};

// Looks at the data directory first (a missing or closed folder says more than the engine's
// error), then at the error and the errors it was raised from.
StartFailure classifyStartFailure(const db::ConnectionProfile& profile, const std::exception& error);

// The message shown when the data cannot be opened at start. A stand-alone or server
// workstation is told what is wrong with its database (a damaged one points at the repair
// command); a client names the table it could not reach and, when known, why. `location` is the
// data directory or the server address. `error`, when given, supplies the key and value of a bad
// setting and the words of a database server.
QString startFailureMessage(StartFailure failure, platform::MultiUserType type, const QString& table,
    const QString& location, const widgets::TLanguage& lang, const std::exception* error = nullptr);

} // namespace app
