#pragma once

#include "supplies/MaterialDocumentForm.h"

namespace supplies {

// "Material Orders": the orders to one supplier at a time.
class TSupplierOrderForm : public MaterialDocumentForm {
    Q_OBJECT
public:
    explicit TSupplierOrderForm(data::TDmForm& dm, QWidget* parent = nullptr)
        : MaterialDocumentForm(dm, false, parent)
    {
    }
};

} // namespace supplies
