#pragma once

// The frame's glue between record windows and the shared commands, as the program makes it
// when it binds the main window: a window measured on its own activates as it does there.

#include "data/DmUnit.h"
#include "widgets/RecordFrame.h"

#include <memory>

namespace bench {

inline std::unique_ptr<widgets::RecordFrame> recordFrameFor(data::TDmForm& dm)
{
    return std::make_unique<widgets::RecordFrame>(
        dm.ActiveSrc, [&dm](db::Dataset& view) { return dm.AskToPost(view); });
}

} // namespace bench
