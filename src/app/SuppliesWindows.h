#pragma once

namespace data {
class TDmForm;
}

namespace app {

class TMainForm;

// Lends the material and lab order and delivery windows, their lists of undelivered items and
// the suppliers, laboratories and materials files to the main window.
void lendSuppliesWindows(data::TDmForm& dm, TMainForm& main);

} // namespace app
