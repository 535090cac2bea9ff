#pragma once

#include "platform/Session.h"

namespace testsupport {

// A new session of a user with every right, as the windows' tests start.
inline void signInWithFullRights()
{
    platform::session() = platform::Session {};
    platform::session().role = platform::UserRole::Full;
}

} // namespace testsupport
