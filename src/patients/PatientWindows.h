#pragma once

#include "widgets/Forward.h"

namespace patients {

// Registers the patient file and the family tree, which work on `dm` inside `frame`.
void registerPatientWindows(data::TDmForm& dm, widgets::WindowService& frame);

} // namespace patients
