#pragma once

#include "widgets/Forward.h"

namespace images {

// Registers the images window and the slide show.
void registerImageWindows(data::TDmForm& dm, widgets::WindowService& frame);

} // namespace images
