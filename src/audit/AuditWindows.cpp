#include "audit/AuditWindows.h"

#include "audit/AuditTrailUnit.h"
#include "data/DmUnit.h"
#include "data/Domain.h"
#include "platform/Session.h"
#include "widgets/WindowRegistry.h"

namespace audit {

void registerAuditWindows(data::TDmForm& dm, widgets::WindowService&)
{
    using widgets::WindowRegistry;
    WindowRegistry::instance().add(
        QStringLiteral("AuditTrailForm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) -> QWidget* {
            // Every amount ever stored is in it: the full role only, and not in receipts-only
            // mode, whatever opens it.
            if (!data::hasFullRole() || platform::session().receiptsOnly)
                return nullptr;
            return new TAuditTrailForm(dm, parent);
        },
        &dm);
}

} // namespace audit
