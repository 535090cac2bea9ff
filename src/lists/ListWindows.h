#pragma once

namespace data {
class TDmForm;
}

namespace widgets {
class WindowService;
}

namespace lists {

// Registers the reference lists.
void registerListWindows(data::TDmForm& dm, widgets::WindowService& frame);

} // namespace lists
