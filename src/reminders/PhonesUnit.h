#pragma once

#include "reminders/OfficeListWindow.h"
#include "widgets/Forward.h"

#include <functional>

namespace reminders {

// The practice's own address book ("Phone List") over PhonesTable (code 21), with the search
// dialog and a button that adds a city.
class TPhonesForm : public OfficeListWindow {
    Q_OBJECT
public:
    // The search dialog over a view with a caption; true when the user chose a row.
    using Search = std::function<bool(db::Dataset& view, const QString& caption)>;

    TPhonesForm(data::TDmForm& dm, Search search, QWidget* parent = nullptr);

    void prepareNew() override;
    void SearchBtnClick();
    // Appends a city, lets the reference lists window fill it in, and gives the entry being
    // edited the city that is current afterwards.
    void NewCityBtnClick();

    widgets::DBGrid* Grid;
    widgets::DBEdit *LastNameEdit, *FirstNameEdit,
        *FatherNameEdit; // LastNameEdit: the last name, New's focus
    widgets::DBEdit *PhoneEdit, *JobPhoneEdit, *MobileEdit, *FaxEdit, *AddressEdit, *ZipEdit;
    widgets::DBLookupCombo* CityCombo;
    QPushButton* NewCityBtn;
    widgets::DBMemo* CommentsMemo;
    QPushButton* SearchBtn;

protected:
    void stateChanged() override;

private:
    Search m_search;
};

} // namespace reminders
