#pragma once

#include "widgets/Forward.h"

namespace app {

class TMainForm;

// Lends the data module to the main window: what its commands ask of the current patient,
// the refresh groups of the record windows, and the patient commands that wait for a first
// patient.
void bindMainWindow(TMainForm& mainWindow, data::TDmForm& module);

} // namespace app
