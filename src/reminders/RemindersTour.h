#pragma once

#include "widgets/Forward.h"
#include "widgets/TourPages.h"

namespace reminders {

// Registers the reminders as pages of the screenshot tour.
void addReminderTourPages(widgets::TourPages<data::TDmForm>& pages);

} // namespace reminders
