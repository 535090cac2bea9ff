#pragma once

#include "widgets/Forward.h"

namespace appointments {

// Registers the appointment book and the dentists' file.
void registerAppointmentWindows(data::TDmForm& dm, widgets::WindowService& frame);

} // namespace appointments
