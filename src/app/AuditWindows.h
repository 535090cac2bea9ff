#pragma once

namespace data {
class TDmForm;
}

namespace app {

class TMainForm;

// Lends the audit trail window (System menu, full role) to the main window.
void lendAuditWindows(data::TDmForm& dm, TMainForm& main);

} // namespace app
