#pragma once

#include "widgets/Forward.h"
#include "widgets/TourPages.h"

namespace lists {

// Registers the reference lists as pages of the screenshot tour.
void addListTourPages(widgets::TourPages<data::TDmForm>& pages);

} // namespace lists
