#pragma once

// The frame's glue between record windows and the shared record commands, for a test that
// opens its windows on their own (the program makes it when it binds the main window).

#include "data/DmUnit.h"
#include "widgets/RecordFrame.h"

#include <memory>

namespace testsupport {

inline std::unique_ptr<widgets::RecordFrame> recordFrameFor(data::TDmForm& dm)
{
    return std::make_unique<widgets::RecordFrame>(dm.ActiveSrc, [&dm](db::Dataset& view) { return dm.AskToPost(view); });
}

} // namespace testsupport
