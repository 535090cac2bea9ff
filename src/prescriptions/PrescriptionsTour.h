#pragma once

#include "widgets/Forward.h"
#include "widgets/TourPages.h"

namespace prescriptions {

// Registers the prescriptions as pages of the screenshot tour.
void addPrescriptionTourPages(widgets::TourPages<data::TDmForm>& pages);

} // namespace prescriptions
