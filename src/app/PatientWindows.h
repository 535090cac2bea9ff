#pragma once

namespace data {
class TDmForm;
}

namespace app {

class TMainForm;

// Registers the patient file and the family tree with the main window's open-window service
// and plugs the patient file into the shared record commands and the refresh.
void lendPatientWindows(data::TDmForm& dm, TMainForm& mainWindow);

} // namespace app
