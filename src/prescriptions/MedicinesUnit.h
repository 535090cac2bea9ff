#pragma once

#include "widgets/RecordWindow.h"

#include <QDialog>

#include <functional>

class QPushButton;

namespace data {
class TDmForm;
}
namespace db {
class Dataset;
}
namespace widgets {
class DBCheckBox;
class DBEdit;
class DBGrid;
class DBMemo;
class TLanguage;
} // namespace widgets

namespace prescriptions {

// The search dialog over a view with a caption and a condition; true when the user chose a row.
using Search = std::function<bool(db::Dataset& view, const QString& caption, const QString& condition)>;

// The medicines the practice prescribes ("Medicines"), a modal list over MedicinesTable
// (code 19). A medicine not "Shown" stays out of the prescriptions' choice.
class TMedicinesForm : public QDialog, public widgets::RecordWindow {
    Q_OBJECT
public:
    TMedicinesForm(data::TDmForm& dm, Search search = {}, QWidget* parent = nullptr);

    widgets::WindowCode windowCode() const override { return widgets::WindowCode::MedicinesList; }
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
