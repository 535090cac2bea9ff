#pragma once

#include "widgets/Forward.h"
#include "widgets/TourPages.h"

namespace images {

// Registers the images window and the slide show as pages of the screenshot tour.
void addImageTourPages(widgets::TourPages<data::TDmForm>& pages);

} // namespace images
