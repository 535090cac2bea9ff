#pragma once

#include "supplies/FileEntryForm.h"
#include "widgets/Forward.h"

#include "db/RuleChain.h"

#include <vector>

namespace supplies {

// "Materials": the catalogue, and for the current material the suppliers that sell it with
// their current and previous price. A price row belongs to its material: adding, changing or
// removing one edits the material, and Save stores them together. Code 6.
class TmaterialEntryForm : public FileEntryForm {
    Q_OBJECT
public:
    explicit TmaterialEntryForm(data::TDmForm& dm, QWidget* parent = nullptr);

    void prepareNew() override;
    void cancelDetails() override;
    void AddPriceBtnClick();
    void DeletePriceBtnClick();

    widgets::DBEdit* DescriptionEdit; // DBEdit2, the New command's focus
    widgets::DBComboBox* UnitCombo;
    widgets::DBCheckBox* MedicalUseCheck;
    widgets::DBGrid* PriceGrid;
    widgets::DBLookupCombo* SupplierCombo;
    widgets::DBEdit* PriceEdit;
    QToolButton* AddPriceBtn;
    QToolButton* DeletePriceBtn;

private:
    std::vector<db::RuleGuard> m_rules;
};

} // namespace supplies
