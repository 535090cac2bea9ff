#pragma once

#include "supplies/MaterialDocumentForm.h"

namespace supplies {

// "Delivered Materials": what one supplier delivered; a delivery creates the debt in the supplier's ledger.
class TDeliveredMaterialsForm : public MaterialDocumentForm {
    Q_OBJECT
public:
    explicit TDeliveredMaterialsForm(data::TDmForm& dm, QWidget* parent = nullptr)
        : MaterialDocumentForm(dm, true, parent)
    {
    }
};

} // namespace supplies
