#pragma once

#include "widgets/Forward.h"

namespace reminders {

// Registers the reminders and the phone list.
void registerReminderWindows(data::TDmForm& dm, widgets::WindowService& frame);

} // namespace reminders
