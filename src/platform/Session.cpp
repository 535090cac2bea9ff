#include "platform/Session.h"

namespace platform {

Session& session()
{
    static Session values;
    return values;
}

} // namespace platform
