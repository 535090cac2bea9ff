#pragma once

#include "widgets/Forward.h"
#include "widgets/RecordWindow.h"

#include <QDialog>

#include <functional>

namespace appointments {

// The dentists file ("Dentists"): the list of dentists with their addresses, and the choice of
// this workstation's default dentist. The main window's record commands act on it (code 7).
class TDentistsEntryForm : public QDialog, public widgets::RecordWindowOf<widgets::WindowCode::Dentists> {
    Q_OBJECT
public:
    explicit TDentistsEntryForm(data::TDmForm& dm, QWidget* parent = nullptr);

    db::DataSource* mainSource() const override;

    // Makes the current dentist the default one of this workstation (kept in PV.INI).
    void SetDefaultBtnClick();
    // The city chosen in the search dialog over the cities (its button beside the city).
    void SearchCityBtnClick();

    // The program's search dialog over a view with a caption; true on OK with a row found.
    std::function<bool(db::Dataset& view, const QString& caption)> search;

    widgets::DBGrid* Grid;
    widgets::DBEdit* IdEdit;
    widgets::DBEdit* LastNameEdit; // the New command's focus
    widgets::DBEdit* FirstNameEdit;
    widgets::DBEdit* PhoneEdit;
    widgets::DBEdit* FaxEdit;
    widgets::DBEdit* MobileEdit;
    widgets::DBEdit* AddressEdit;
    widgets::DBEdit* ZipEdit;
    widgets::DBLookupCombo* CityCombo;
    QToolButton* SearchCityBtn;
    widgets::DBEdit* ClinicEdit;
    widgets::DBEdit* SpecialtyEdit;
    QPushButton* SetDefaultBtn;
    QLabel* DefaultLabel;
    QPushButton* CloseBtn;
    widgets::TLanguage* Lang;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    QWidget* buildEditors();

    data::TDmForm& m_dm;
};

} // namespace appointments
