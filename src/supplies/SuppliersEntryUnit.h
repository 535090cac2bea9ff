#pragma once

#include "supplies/FileEntryForm.h"

namespace widgets {
class DBLookupCombo;
class DBText;
} // namespace widgets

namespace supplies {

// The suppliers file ("Suppliers"): name, contact, address, phones and the stored balance
// (debts from deliveries less payments). The main window's record commands act on it (code 9).
class TSuppliersEntryForm : public FileEntryForm {
    Q_OBJECT
public:
    explicit TSuppliersEntryForm(data::TDmForm& dm, QWidget* parent = nullptr);

    void prepareNew() override;

    widgets::DBEdit* CompanyEdit; // Edit1, the New command's focus
    widgets::DBLookupCombo* CityCombo;
    widgets::DBText* BalanceText;
};

} // namespace supplies
