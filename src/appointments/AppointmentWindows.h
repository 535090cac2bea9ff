#pragma once

namespace data {
class TDmForm;
}

namespace widgets {
class WindowService;
}

namespace appointments {

// Registers the appointment book and the dentists' file.
void registerAppointmentWindows(data::TDmForm& dm, widgets::WindowService& frame);

} // namespace appointments
