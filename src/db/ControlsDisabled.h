#pragma once

#include "db/Dataset.h"

namespace db {

// Holds back the display of a view while a loop moves through or changes many of its rows; the
// display follows again when the scope ends, on an error too.
class ControlsDisabled {
public:
    explicit ControlsDisabled(Dataset& view)
        : m_view(view)
    {
        m_view.disableControls();
    }
    ~ControlsDisabled() { m_view.enableControls(); }
    ControlsDisabled(const ControlsDisabled&) = delete;
    ControlsDisabled& operator=(const ControlsDisabled&) = delete;

private:
    Dataset& m_view;
};

} // namespace db
