#pragma once

#include "widgets/TourPages.h"

namespace data {
class TDmForm;
}

namespace reminders {

// Registers the reminders as pages of the screenshot tour.
void addReminderTourPages(widgets::TourPages<data::TDmForm>& pages);

} // namespace reminders
