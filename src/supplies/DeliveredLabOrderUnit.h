#pragma once

#include "supplies/LabDocumentForm.h"

namespace supplies {

// "Delivered Lab Order": the jobs a laboratory delivered; a delivery creates the debt in the laboratory's
// ledger.
class TDeliveredLabOrderForm : public LabDocumentForm {
    Q_OBJECT
public:
    explicit TDeliveredLabOrderForm(data::TDmForm& dm, QWidget* parent = nullptr)
        : LabDocumentForm(dm, true, parent)
    {
    }
};

} // namespace supplies
