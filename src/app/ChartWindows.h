#pragma once

namespace data {
class TDmForm;
}

namespace app {

class TMainForm;

// Lends the dental chart to the main window: its command, the refresh of its views, and the
// windows it opens of other units.
void lendChartWindows(data::TDmForm& dm, TMainForm& main);

} // namespace app
