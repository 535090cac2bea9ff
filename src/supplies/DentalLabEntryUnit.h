#pragma once

#include "supplies/FileEntryForm.h"

namespace widgets {
class DBLookupCombo;
class DBMemo;
class DBText;
} // namespace widgets

namespace supplies {

// The laboratories file ("Dental Labs"): name, contact, address, phones, notes and the stored
// balance. The main window's record commands act on it (code 10).
class TDentalLabEntryForm : public FileEntryForm {
    Q_OBJECT
public:
    explicit TDentalLabEntryForm(data::TDmForm& dm, QWidget* parent = nullptr);

    void prepareNew() override;

    widgets::DBEdit* CompanyEdit; // DBEdit2, the New command's focus
    widgets::DBLookupCombo* CityCombo;
    widgets::DBMemo* NotesMemo;
    widgets::DBText* BalanceText;
};

} // namespace supplies
