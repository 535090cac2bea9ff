#pragma once

#include "widgets/Forward.h"

namespace app {

class TMainForm;

// Every window folder's windows, registered to work on `dm` inside `main`, with the glue between
// folders that only the program knows: the chart's tooth pop-up and the images window joined to
// the imaging program and the automation object (made for the main window's life), and the
// reminders of the day at start.
void lendWindows(data::TDmForm& dm, TMainForm& main);

// The pending edits settled through the windows' save question, then the program ends; when
// the user keeps an edit open nothing ends.
void endAfterImagingFailure(TMainForm& main);

} // namespace app
