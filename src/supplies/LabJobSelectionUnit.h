#pragma once

#include "supplies/PickerDialog.h"
#include "widgets/Forward.h"

namespace supplies {

// "Selection of Jobs for Dental lab": the treatments that need the current laboratory and are
// not ordered yet (not at the initial level). OK takes the chosen ones, "Custom Order" asks for
// a job of free text instead.
class TLabJobSelectionForm : public PickerDialog {
    Q_OBJECT
public:
    static constexpr int CustomOrder = 2;

    explicit TLabJobSelectionForm(data::TDmForm& dm, QWidget* parent = nullptr);

    QPushButton* CustomBtn;
};

} // namespace supplies
