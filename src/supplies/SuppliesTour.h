#pragma once

#include "widgets/Forward.h"
#include "widgets/TourPages.h"

namespace supplies {

// Registers the orders, deliveries and supplier files as pages of the screenshot tour.
void addSuppliesTourPages(widgets::TourPages<data::TDmForm>& pages);

} // namespace supplies
