#pragma once

#include "widgets/Forward.h"

namespace lists {

// Registers the reference lists.
void registerListWindows(data::TDmForm& dm, widgets::WindowService& frame);

} // namespace lists
