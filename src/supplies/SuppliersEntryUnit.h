#pragma once

#include "supplies/CompanyEntryForm.h"

namespace supplies {

// The suppliers file ("Suppliers"): name, contact, address, phones, web site and the stored
// balance (debts from deliveries less payments). The main window's record commands act on it
// (code 9).
class TSuppliersEntryForm : public CompanyEntryForm {
    Q_OBJECT
public:
    explicit TSuppliersEntryForm(data::TDmForm& dm, QWidget* parent = nullptr);
};

} // namespace supplies
