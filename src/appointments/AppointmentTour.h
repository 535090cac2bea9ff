#pragma once

#include "widgets/Forward.h"
#include "widgets/TourPages.h"

namespace appointments {

// Registers the appointment book, its dialog, the working hours and the dentists file as pages of the
// screenshot tour.
void addAppointmentTourPages(widgets::TourPages<data::TDmForm>& pages);

} // namespace appointments
