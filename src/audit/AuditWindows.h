#pragma once

#include "widgets/Forward.h"

namespace audit {

// Registers the audit trail window.
void registerAuditWindows(data::TDmForm& dm, widgets::WindowService& frame);

} // namespace audit
