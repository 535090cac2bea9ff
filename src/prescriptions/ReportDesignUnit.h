#pragma once

#include "prescriptions/PrescriptionReport.h"
#include "widgets/Forward.h"

#include <QDialog>

namespace prescriptions {

// The report designer of the prescriptions ("Design Report"): the page, the heights of the
// bands, and every caption and field with its band, place, width and font. "Save" writes the
// layout file; the report reads it again afterwards.
class TReportDesignForm : public QDialog {
    Q_OBJECT
public:
    TReportDesignForm(PrescriptionLayout layout, QString fileName, QWidget* parent = nullptr);

    // The layout as edited so far.
    PrescriptionLayout layout() const;
    // Writes the layout file; a layout the prescriptions could not print with is refused.
    bool SaveBtnClick();

    QDoubleSpinBox *PageWidthEdit, *PageHeightEdit, *MarginEdit, *TitleHeightEdit, *DetailHeightEdit;
    QTableWidget* ItemsTable;
    QPushButton *AddBtn, *RemoveBtn, *SaveBtn, *CloseBtn;
    widgets::TLanguage* Lang;

private:
    void addRow(const LayoutItem& item);

    QString m_fileName;
};

} // namespace prescriptions
