#pragma once

#include "supplies/PickerDialog.h"
#include "widgets/Forward.h"

namespace supplies {

// "Undelivered Material Orders": the order lines still waiting for delivery. As the picker of
// the delivery window it lists the current supplier's (one bound statement) and several may be
// chosen; from the main menu it shows every supplier's.
class TUndeliveredMaterialsForm : public PickerDialog {
    Q_OBJECT
public:
    TUndeliveredMaterialsForm(data::TDmForm& dm, bool picking, QWidget* parent = nullptr);

private:
    data::TDmForm& m_dm;
};

} // namespace supplies
