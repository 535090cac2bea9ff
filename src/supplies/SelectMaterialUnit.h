#pragma once

#include "supplies/PickerDialog.h"

#include <QVariant>

namespace data {
class TDmForm;
}

namespace supplies {

// "Search Materials": the materials the current supplier sells, by description; OK (or a
// double click) gives the chosen material.
class TSelectMaterialForm : public PickerDialog {
    Q_OBJECT
public:
    explicit TSelectMaterialForm(data::TDmForm& dm, QWidget* parent = nullptr);

    QVariant selectedMaterial() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    data::TDmForm& m_dm;
    bool m_translated = false;
};

} // namespace supplies
