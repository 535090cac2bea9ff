#pragma once

#include "widgets/TourPages.h"

namespace data {
class TDmForm;
}

namespace lists {

// Registers the reference lists as pages of the screenshot tour.
void addListTourPages(widgets::TourPages<data::TDmForm>& pages);

} // namespace lists
