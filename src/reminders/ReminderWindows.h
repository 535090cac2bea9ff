#pragma once

namespace data {
class TDmForm;
}

namespace widgets {
class WindowService;
}

namespace reminders {

// Registers the reminders and the phone list.
void registerReminderWindows(data::TDmForm& dm, widgets::WindowService& frame);

} // namespace reminders
