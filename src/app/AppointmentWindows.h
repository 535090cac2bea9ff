#pragma once

namespace data {
class TDmForm;
}

namespace app {

class TMainForm;

// Registers the appointment book and the dentists file with the main window's open-window
// service; the book's appointment dialog searches patients with the main window's search.
void lendAppointmentWindows(data::TDmForm& dm, TMainForm& main);

} // namespace app
