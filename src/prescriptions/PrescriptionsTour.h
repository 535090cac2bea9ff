#pragma once

#include "widgets/TourPages.h"

namespace data {
class TDmForm;
}

namespace prescriptions {

// Registers the prescriptions as pages of the screenshot tour.
void addPrescriptionTourPages(widgets::TourPages<data::TDmForm>& pages);

} // namespace prescriptions
