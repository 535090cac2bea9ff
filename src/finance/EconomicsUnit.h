#pragma once

#include "finance/LedgerSource.h"
#include "widgets/Forward.h"
#include "widgets/RecordWindow.h"

#include "db/RuleChain.h"

#include <functional>
#include <QList>
#include <QVariant>
#include <QWidget>
#include <vector>

namespace finance {

// What the ledger window needs of the shell: the patient search, the supplier and lab
// searches, and the shell's record command Save.
struct EconomicsHost {
    std::function<bool()> searchPatient;
    std::function<bool(db::Dataset& view, const QString& caption)> searchCompany;
};

// "Financial Transactions": the ledgers of patients, suppliers, labs and the practice's other
// sources with their running balances, filtered by direction, marked as receipted, grouped per
// dentist and printed. The main window's record commands act on the ledger shown (code 3).
class TEconomicsForm : public QWidget, public widgets::RecordWindowOf<widgets::WindowCode::Economics> {
    Q_OBJECT
public:
    enum Column {
        DateColumn,
        PayableColumn,
        ReceivableColumn,
        BalanceColumn,
        ReceiptColumn,
        DentistColumn,
        DescriptionColumn,
        ReceiptNoColumn,
        ReceiptCreditColumn
    };

    explicit TEconomicsForm(data::TDmForm& dm, EconomicsHost host = {}, QWidget* parent = nullptr);
    ~TEconomicsForm() override;

    db::DataSource* mainSource() const override;
    void prepareNew() override;
    void refreshDetails() override;
    bool rowLocked() const override;

    LedgerSource source() const { return m_source; }
    LedgerTab tab() const { return m_tab; }
    db::Dataset* view() const;
    // Shows another ledger; false when the user kept an unsaved row (Cancel).
    bool setSource(LedgerSource source);
    bool setTab(LedgerTab tab);
    // "OK" / "Not OK" on the selected charges.
    void markReceipts(bool receipted);
    void setPerDentist(bool on);
    // The footer balance of the ledger shown, in the currency shown.
    double footerBalance() const;
    void PrintBtnClick();
    void SearchBtnClick();
    // Activate: the filter, the currency shown and the footers.
    void windowActivated() override;
    // Settles an unsaved row with the save question; false when the user chose Cancel.
    bool settleChanges() override;
    // Left for another window, the ledger gives the commands up.
    bool releasesOnLeave() const override { return true; }

    QTreeWidget* SideBar;
    QTabBar* TabSet;
    widgets::DBGrid* Grid;
    QLabel* NameLabel;
    widgets::DBEdit* NameEdit;
    QToolButton* SearchBtn;
    widgets::DBDateEdit* DateEdit;
    widgets::DBLookupCombo* DentistCombo;
    widgets::DBRadioGroup* SignRadio;
    widgets::DBCalcEdit* AmountEdit;
    widgets::DBEdit* ReceiptNoEdit;
    widgets::DBCalcEdit* ReceiptAmountEdit;
    widgets::DBComboBox* DescriptionCombo;
    widgets::DBRadioGroup* PaymentRadio;
    widgets::DBEdit* PaymentTextEdit;
    widgets::DBDateEdit* DueDateEdit;
    widgets::DBText* AddressText;
    widgets::DBText* JobText;
    QLabel* OnBehalfLabel;
    widgets::DBText* ChildNameText;
    QPushButton* PrintBtn;
    QPushButton* CloseBtn;
    QMenu* PopupMenu;
    QAction* OkItem;
    QAction* NotOkItem;
    QAction* PerDentistItem;
    widgets::TLanguage* Lang;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildSideBar();
    QWidget* buildEditors();
    void buildGrid();
    void buildPopup();
    QLabel* labelFor(QWidget* editor, const QString& caption, QWidget* parent);
    void setEditorVisible(QWidget* editor, bool visible);
    void applySource();
    void bindEditors();
    void installFilter();
    void removeFilter();
    void applyVisibility();
    bool fromTreatment(const db::Dataset& ds) const;
    void followRow();
    void followState();
    void updateFooters();
    void fillDescriptions();
    void focusAmount();
    QList<QVariant> selectedIds() const;

    data::TDmForm& m_dm;
    EconomicsHost m_host;
    LedgerSource m_source = LedgerSource::Patients;
    LedgerTab m_tab = LedgerTab::All;
    db::Dataset* m_shown = nullptr; // whose filter is installed
    db::RuleGuard m_filter;
    std::vector<db::RuleGuard> m_rules; // the window's rules on the data module's views
    QVariant m_onBehalf;
    QList<QLabel*> m_labels;
    QList<QMetaObject::Connection> m_viewConnections;
    bool m_shownOnce = false;
    bool m_closing = false;
    bool m_marking = false; // "OK" edits the treatments' charges
};

} // namespace finance
