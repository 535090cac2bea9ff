#pragma once

namespace data {
class TDmForm;
}

namespace widgets {
class WindowService;
}

namespace supplies {

// Registers the order, delivery and supplier windows.
void registerSuppliesWindows(data::TDmForm& dm, widgets::WindowService& frame);

} // namespace supplies
