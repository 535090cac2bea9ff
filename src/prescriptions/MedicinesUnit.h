#pragma once

#include "widgets/Forward.h"
#include "widgets/RecordWindow.h"

#include <QDialog>

#include <functional>

namespace prescriptions {

// The search dialog over a view with a caption and a condition; true when the user chose a row.
using Search = std::function<bool(db::Dataset& view, const QString& caption, const QString& condition)>;

// The medicines the practice prescribes ("Medicines"), a modal list over MedicinesTable
// (code 19). A medicine not "Shown" stays out of the prescriptions' choice.
class TMedicinesForm : public QDialog, public widgets::RecordWindowOf<widgets::WindowCode::MedicinesList> {
    Q_OBJECT
public:
    TMedicinesForm(data::TDmForm& dm, Search search = {}, QWidget* parent = nullptr);

    db::DataSource* mainSource() const override;
    void prepareNew() override;
    void windowActivated() override;
    void SearchBtnClick();

    widgets::DBGrid* Grid;
    widgets::DBEdit* NameEdit; // the name, New's focus
    widgets::DBEdit *CategoryEdit, *DrasticEdit, *CompanyEdit, *EOFEdit, *MorphEdit, *QuantityEdit;
    widgets::DBEdit *RetailPriceEdit, *TradePriceEdit, *HospitalPriceEdit;
    widgets::DBMemo *IndicationMemo, *ContraIndicationMemo, *InstructionsMemo, *CommentsMemo;
    widgets::DBCheckBox* ShownCheck;
    QPushButton* SearchBtn;
    QPushButton* CloseBtn;
    widgets::TLanguage* Lang;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    QWidget* buildEditors();
    void updateButtons();

    data::TDmForm& m_dm;
    Search m_search;
};

} // namespace prescriptions
