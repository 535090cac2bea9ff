#pragma once

#include "patients/SearchCondition.h"
#include "widgets/Forward.h"

#include <QDialog>

#include <array>

namespace patients {

// The restrictions window of the search dialog: three rows of field, operator, value and an
// on/off check; rows 2 and 3 also have a connector to the row before. The widgets are named
// after the keys the saved views store them under (Ed1, Fld, Op1, ck1, Ao2 …).
class TSQLEntryForm : public QDialog {
    Q_OBJECT
public:
    explicit TSQLEntryForm(QWidget* parent = nullptr);

    struct Row {
        QComboBox* field;
        QComboBox* op;
        QComboBox* connector; // none on the first row
        QLineEdit* value;
        QCheckBox* on;
    };
    std::array<Row, 3> Rows;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QPushButton* NoRestrictionBtn;
    widgets::TLanguage* Lang;

    // The display labels the field boxes offer; positions in this list are what is stored.
    void setFieldLabels(const QStringList& labels);
    RestrictionRows rows() const;
    void setRows(const RestrictionRows& rows);

    // "Κανένας Περιορισμός": operators and connectors unselected, values emptied.
    void NoRestrictionBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_translated = false;
};

} // namespace patients
