#pragma once

#include "supplies/CompanyEntryForm.h"

namespace supplies {

// The laboratories file ("Dental Labs"): name, contact, address, phones, notes and the stored
// balance. The main window's record commands act on it (code 10).
class TDentalLabEntryForm : public CompanyEntryForm {
    Q_OBJECT
public:
    explicit TDentalLabEntryForm(data::TDmForm& dm, QWidget* parent = nullptr);

    widgets::DBMemo* NotesMemo;
};

} // namespace supplies
