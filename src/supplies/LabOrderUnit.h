#pragma once

#include "supplies/LabDocumentForm.h"

namespace supplies {

// "Lab Order": the jobs ordered from one laboratory at a time, taken from the treatments that need a lab.
class TLabOrderForm : public LabDocumentForm {
    Q_OBJECT
public:
    explicit TLabOrderForm(data::TDmForm& dm, QWidget* parent = nullptr)
        : LabDocumentForm(dm, false, parent)
    {
    }
};

} // namespace supplies
