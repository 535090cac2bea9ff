#pragma once

#include "clinical/DentalChartUnit.h"
#include "widgets/Forward.h"

#include <functional>

namespace clinical {

// What the chart's tooth pop-up asks of the imaging program (an X-ray, a capture or a scan of
// the tooth); the program joins it to the images.
using ToothImagingRequest
    = std::function<void(TDentalChartForm& chart, TDentalChartForm::ToothImaging kind, int tooth)>;

// Registers the dental chart, the periodontal chart, the progress notes and their stock answers.
void registerClinicalWindows(
    data::TDmForm& dm, widgets::WindowService& frame, ToothImagingRequest toothImaging = {});

// Registers the modal lists of the data module's commands: the operations and, for the medical
// edition, the treatment history.
void registerClinicalListWindows(data::TDmForm& dm);

} // namespace clinical
