#include "audit/AuditWindows.h"

#include "audit/AuditTrailUnit.h"
#include "data/DmUnit.h"
#include "data/Domain.h"
#include "widgets/WindowRegistry.h"

namespace audit {

void registerAuditWindows(data::TDmForm& dm, widgets::WindowService&)
{
    using widgets::WindowRegistry;
    WindowRegistry::instance().add(
        QStringLiteral("AuditTrailForm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) -> QWidget* {
            // Every amount ever stored is in it: the full role only, whatever opens it.
            if (!data::hasFullRole())
                return nullptr;
            return new TAuditTrailForm(dm, parent);
        },
        &dm);
}

} // namespace audit
