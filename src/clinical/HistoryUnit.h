#pragma once

#include "data/Domain.h"
#include "widgets/Forward.h"
#include "widgets/RecordWindow.h"
#include <QDialog>
#include <QList>
#include <QVariant>

namespace clinical {

class TMasitikesForm;

// The treatment history of the current session at one treatment level ("Details", "Tooth
// History" of the dental chart; "Treatment History" of the medical edition): the rows with
// their sums, edited, deleted, marked as receipted and moved from the plan to the
// implementation. The main window's record commands act on the listed view (code 4).
class THistoryForm : public QDialog, public widgets::RecordWindowOf<widgets::WindowCode::TreatmentHistory> {
    Q_OBJECT
public:
    enum Column {
        DateColumn,
        OperationColumn,
        ToothColumn,
        PriceColumn,
        DiscountColumn,
        CostColumn,
        ReceiptColumn,
        DentistColumn,
        MaterialColumn,
        LabColumn,
        ColorColumn,
    };

    explicit THistoryForm(data::TDmForm& dm, QWidget* parent = nullptr);
    ~THistoryForm() override;

    // The rows to list: the view of a treatment level (the medical edition always lists the
    // implementation), with the chart's tooth filter on when opened from a tooth command.
    void setLevel(data::TreatmentLevel level, bool toothFilter = false);
    data::TreatmentLevel level() const { return m_level; }
    // Opens the chewing-surface editor on the current row as soon as the window shows (the
    // chart's "Chewing surface" command).
    void setSurfacesOnShow(bool on) { m_surfacesOnShow = on; }
    db::Dataset* view() const;
    db::DataSource* source() const;

    db::DataSource* mainSource() const override { return source(); }
    void windowActivated() override;

    widgets::DBGrid* Grid;
    widgets::DBDateEdit* DateEdit; // the date: the New command's focus
    widgets::DBComboBox* ToothCombo;
    widgets::DBLookupCombo* OperationCombo;
    widgets::DBLookupCombo* DentistCombo;
    widgets::DBLookupCombo* MaterialCombo;
    widgets::DBLookupCombo* LabCombo;
    widgets::DBEdit* ColorEdit;
    QGroupBox* CostBox;
    widgets::DBCalcEdit* DiscountEdit;
    widgets::DBCalcEdit* CostEdit;
    widgets::DBCheckBox* ReceiptCheck;
    QPushButton* ImplementPlanBtn;
    QPushButton* DeleteBtn;
    QPushButton* CloseBtn;
    QMenu* PopupMenu;
    QAction* PerToothItem;
    QAction* ChewingSurfacesItem;
    QAction* OkItem;
    QAction* NotOkItem;
    TMasitikesForm* MasitikesForm;
    widgets::TLanguage* Lang;

    void ImplementPlanBtnClick();
    void DeleteBtnClick();
    void PerToothClick(bool checked);
    void ChewingSurfacesClick();
    // "OK" and "Not OK": the receipt mark of every selected row.
    void markReceipts(bool receipted);
    // A choice in the operation editor: the prices of the operation, the costs after the
    // row's discount.
    void OperationChosen();
    void DiscountEditExit();
    void CostEditExit();
    // The visibility rules of the columns and controls, for the level and the user.
    void applyVisibility();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void done(int result) override;

private:
    void focusLost();
    void buildGrid();
    QWidget* buildEditors();
    QLayout* buildButtons();
    void buildPopup();
    void followRow();
    // The selected rows' IDs, last selected first; the current row when none is selected.
    QList<QVariant> selectedIds() const;
    template<typename Step>
    void forEachSelected(const QList<QVariant>& ids, Step step);
    void setEditorVisible(QWidget* editor, bool visible);
    void bindEditors();

    data::TDmForm& m_dm;
    data::TreatmentLevel m_level;
    bool m_toothFilter = false;
    bool m_surfacesOnShow = false;
    bool m_checkingFocus = false; // the close check's own question takes the focus
    QList<QLabel*> m_labels;
};

} // namespace clinical
