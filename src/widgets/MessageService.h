#pragma once

// The message service lives in platform/MessageService.h; these names go once the data module
// includes that header itself.
#include "platform/MessageService.h"

namespace widgets {
using platform::askYesNo;
using platform::askYesNoCancel;
using platform::MessageService;
using platform::showError;
using platform::showInformation;
using platform::showWarning;
} // namespace widgets
