#pragma once

#include "widgets/TourPages.h"

namespace data {
class TDmForm;
}

namespace patients {

// Registers the patient file, the family tree, the patient book and the searches as pages of the screenshot
// tour.
void addPatientTourPages(widgets::TourPages<data::TDmForm>& pages);

} // namespace patients
