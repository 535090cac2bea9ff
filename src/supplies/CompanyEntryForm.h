#pragma once

#include "supplies/FileEntryForm.h"
#include "widgets/Forward.h"

class QFormLayout;

namespace supplies {

// The file of a company the practice deals with (a supplier or a laboratory): name, contact,
// address, phones and the stored balance (debts less payments). A file adds its own rows to the
// right-hand column before `addBalance`.
class CompanyEntryForm : public FileEntryForm {
    Q_OBJECT
public:
    struct Company {
        const char* componentName;
        const char* caption; // the window's title
        widgets::WindowCode code;
        db::Dataset* view;
        db::DataSource* source;
        const char* nameCaption; // what the company is called: "Supplier", "Dental Lab"
        const char* nameEdit; // the name editor's component name
        int nameWidth; // of the name column in the grid
    };

    CompanyEntryForm(data::TDmForm& dm, const Company& company, QWidget* parent = nullptr);

    void prepareNew() override;

    widgets::DBEdit* CompanyEdit; // the New command's focus
    widgets::DBLookupCombo* CityCombo;
    widgets::DBText* BalanceText;

protected:
    QWidget* panel() const { return m_panel; }
    QFormLayout* rightColumn() const { return m_right; }
    void addBalance();

private:
    QWidget* m_panel;
    QFormLayout* m_right;
};

} // namespace supplies
