#pragma once

#include "widgets/TourPages.h"

namespace data {
class TDmForm;
}

namespace supplies {

// Registers the orders, deliveries and supplier files as pages of the screenshot tour.
void addSuppliesTourPages(widgets::TourPages<data::TDmForm>& pages);

} // namespace supplies
