#pragma once

#include "widgets/Forward.h"

namespace finance {

// Registers the ledger window, the discount dialog and the options dialog.
void registerFinanceWindows(data::TDmForm& dm, widgets::WindowService& frame);

} // namespace finance
