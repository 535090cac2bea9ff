#pragma once

#include "widgets/TourPages.h"

namespace data {
class TDmForm;
}

namespace images {

// Registers the images window and the slide show as pages of the screenshot tour.
void addImageTourPages(widgets::TourPages<data::TDmForm>& pages);

} // namespace images
