#pragma once

#include "widgets/Forward.h"
#include "widgets/TourPages.h"

namespace finance {

// Registers the ledgers, the discount dialog and the options as pages of the screenshot tour.
void addFinanceTourPages(widgets::TourPages<data::TDmForm>& pages);

} // namespace finance
