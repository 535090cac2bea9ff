#pragma once

namespace data {
class TDmForm;
}

namespace widgets {
class WindowService;
}

namespace prescriptions {

// Registers the prescriptions and the medicines.
void registerPrescriptionWindows(data::TDmForm& dm, widgets::WindowService& frame);

} // namespace prescriptions
