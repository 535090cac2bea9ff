#pragma once

namespace data {
class TDmForm;
}

namespace widgets {
class WindowService;
}

namespace images {

// Registers the images window and the slide show.
void registerImageWindows(data::TDmForm& dm, widgets::WindowService& frame);

} // namespace images
