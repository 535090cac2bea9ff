#include "app/AuditWindows.h"

#include "app/MainUnit.h"
#include "app/WindowRegistry.h"
#include "audit/AuditTrailUnit.h"

namespace app {

void lendAuditWindows(data::TDmForm& dm, TMainForm& main)
{
    WindowRegistry::instance().add(QStringLiteral("AuditTrailForm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) { return new audit::TAuditTrailForm(dm, parent); });
    main.ApplyUserLevel();
}

} // namespace app
