#pragma once

#include "supplies/PickerDialog.h"
#include "widgets/Forward.h"

namespace supplies {

// "Undelivered Lab Orders": the ordered jobs not received yet. As the picker of the delivery
// window it lists the current laboratory's and several may be chosen; from the main menu it
// shows every laboratory's.
class TUndeliveredLabOrdersForm : public PickerDialog {
    Q_OBJECT
public:
    TUndeliveredLabOrdersForm(data::TDmForm& dm, bool picking, QWidget* parent = nullptr);
};

} // namespace supplies
