#pragma once

#include "clinical/DentalChartUnit.h"

namespace data {
class TDmForm;
}

namespace app {

class TMainForm;
class TPallavor99Auto;
class VisionClient;

// Lends the image windows to the main window, links them and the chart's tooth pop-up to the
// imaging program, and offers the automation object on the session bus. What it makes lives
// as long as the main window.
void lendImageWindows(data::TDmForm& dm, TMainForm& main);

// The chart's tooth pop-up: the imaging program asked for an X-ray, a capture or a scan of the
// chart's tooth.
void requestToothImages(data::TDmForm& dm, clinical::TDentalChartForm& chart,
    clinical::TDentalChartForm::ToothImaging kind, int tooth);

// The pending edits settled through the windows' save question, then the program ends; when
// the user keeps an edit open nothing ends.
void endAfterImagingFailure(TMainForm& main);

} // namespace app
