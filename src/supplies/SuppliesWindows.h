#pragma once

#include "widgets/Forward.h"

namespace supplies {

// Registers the order, delivery and supplier windows.
void registerSuppliesWindows(data::TDmForm& dm, widgets::WindowService& frame);

} // namespace supplies
