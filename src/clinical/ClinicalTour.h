#pragma once

#include "widgets/Forward.h"
#include "widgets/TourPages.h"

namespace clinical {

// The pages, each in its own unit.
void tourDentalChart(data::TDmForm& dm, widgets::TourCamera& camera);
void tourClinicalWindows(data::TDmForm& dm, widgets::TourCamera& camera);
void tourPerioWindows(data::TDmForm& dm, widgets::TourCamera& camera);
void tourNotesWindows(data::TDmForm& dm, widgets::TourCamera& camera);

// Registers the charts, the clinical lists and the notes as pages of the screenshot tour.
void addClinicalTourPages(widgets::TourPages<data::TDmForm>& pages);

} // namespace clinical
