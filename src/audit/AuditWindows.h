#pragma once

namespace data {
class TDmForm;
}

namespace widgets {
class WindowService;
}

namespace audit {

// Registers the audit trail window.
void registerAuditWindows(data::TDmForm& dm, widgets::WindowService& frame);

} // namespace audit
