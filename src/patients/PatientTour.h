#pragma once

#include "widgets/Forward.h"
#include "widgets/TourPages.h"

namespace patients {

// Registers the patient file, the family tree, the patient book and the searches as pages of the screenshot
// tour.
void addPatientTourPages(widgets::TourPages<data::TDmForm>& pages);

} // namespace patients
