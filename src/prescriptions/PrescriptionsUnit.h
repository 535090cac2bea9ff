#pragma once

#include "db/RuleChain.h"
#include "prescriptions/MedicinesUnit.h"
#include "prescriptions/PrescriptionReport.h"
#include "widgets/Forward.h"

#include <QWidget>

#include <vector>

namespace prescriptions {

// What the main window lends the prescriptions window.
struct PrescriptionsHost {
    Search search; // the search dialog (medicines)
    std::function<bool()> searchPatient;
    // "Design Report": edits the layout and saves it to the file; the report designer when empty.
    std::function<void(PrescriptionLayout& layout, const QString& fileName)> designReport;
};

// The prescriptions of the current patient ("Prescriptions"), each with its medicine lines,
// printed on the default dentist's letterhead. The shared record commands act on
// PrescriptionsTable (code 20).
class TPrescriptionsForm : public QWidget,
                           public widgets::RecordWindowOf<widgets::WindowCode::Prescriptions> {
    Q_OBJECT
public:
    TPrescriptionsForm(data::TDmForm& dm, PrescriptionsHost host = {}, QWidget* parent = nullptr);
    ~TPrescriptionsForm() override;

    db::DataSource* mainSource() const override;
    void prepareNew() override;
    void windowActivated() override;

    void NewMedicineClick();
    void DeleteMedicineClick();
    // Double click on a line: the chosen medicine goes to the line (a new one when none).
    void ChooseMedicine();
    void PrintBtnClick();
    // "Export PDF...": the current prescription into a PDF file the user names.
    void ExportPdfClick();
    bool ExportPdf(const QString& fileName);
    void DesignReportClick();
    // The layout in use: the file beside the program when it is sound, else the built-in one.
    const PrescriptionLayout& layout() const { return m_layout; }
    void loadLayout();
    static QString layoutFile();

    widgets::DBText *LastNameText, *FirstNameText, *FatherNameText;
    QPushButton* SearchPatientBtn;
    widgets::DBGrid* PrescriptionsGrid;
    widgets::DBDateEdit* DateEdit;
    widgets::DBEdit* NameEdit; // the prescription's name, New's focus
    widgets::DBMemo* CommentsMemo;
    widgets::DBGrid* ItemsGrid;
    QPushButton* NewMedicineBtn;
    QPushButton* DeleteMedicineBtn;
    QPushButton* PrintBtn;
    QMenu* ItemsMenu;
    QAction* NewMedicine1;
    QAction* DeleteMedicine1;
    QAction* ShowAllMedicinesChk;
    QAction* ExportPdf1;
    QAction* DesignReport1;
    QPushButton* CloseBtn;
    widgets::TLanguage* Lang;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildPrescription();
    QWidget* buildLines();
    void updateButtons();
    bool chooseMedicine();
    Translate translator() const;
    bool hasPrescription() const;

    data::TDmForm& m_dm;
    PrescriptionsHost m_host;
    PrescriptionLayout m_layout;
    bool m_shown = false;
    std::vector<db::RuleGuard> m_rules;
    QList<QMetaObject::Connection> m_connections;
};

} // namespace prescriptions
