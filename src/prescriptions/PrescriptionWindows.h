#pragma once

#include "widgets/Forward.h"

namespace prescriptions {

// Registers the prescriptions and the medicines.
void registerPrescriptionWindows(data::TDmForm& dm, widgets::WindowService& frame);

} // namespace prescriptions
