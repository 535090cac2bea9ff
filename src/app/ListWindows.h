#pragma once

namespace data {
class TDmForm;
}

namespace app {

class TMainForm;

// Lends the reminders, the phone list, the reference lists, the medicines, the prescriptions
// and the reminders of the day to the main window's commands.
void lendListWindows(data::TDmForm& dm, TMainForm& main);

} // namespace app
