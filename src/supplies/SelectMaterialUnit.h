#pragma once

#include "supplies/PickerDialog.h"
#include "widgets/Forward.h"

#include <QVariant>

namespace supplies {

// "Search Materials": the materials the current supplier sells, by description; OK (or a
// double click) gives the chosen material.
class TSelectMaterialForm : public PickerDialog {
    Q_OBJECT
public:
    explicit TSelectMaterialForm(data::TDmForm& dm, QWidget* parent = nullptr);

    QVariant selectedMaterial() const;

private:
    data::TDmForm& m_dm;
};

} // namespace supplies
