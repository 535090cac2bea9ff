#pragma once

#include "widgets/Forward.h"
#include "widgets/RecordWindow.h"

#include "db/RuleChain.h"

#include <QWidget>

#include <vector>

namespace supplies {

// What tells an order window from a delivery window, and materials from lab work.
struct DocumentSetup {
    QString componentName; // "SupplierOrderForm" …
    QString caption;
    widgets::WindowCode code = widgets::WindowCode::None;
    bool lab = false;
    bool delivery = false;
    db::Dataset* counterparts = nullptr; // suppliers or labs
    QString counterpartKey; // SupplierID or DentalLabID
    QString counterpartCaption; // "Supplier" / "Dental Lab"
    db::Dataset* header = nullptr;
    db::DataSource* headerSource = nullptr;
    db::Dataset* lines = nullptr;
    db::DataSource* linesSource = nullptr;
    QString linesTitle;
};

// An order or delivery window over one supplier (lab) at a time: the counterpart chosen above,
// its orders (deliveries) in a list, the header's editors, the line grid with its own buttons,
// the currency switch and printing. The main window's record commands act on the header.
class OrderDocumentForm : public QWidget, public widgets::RecordWindow {
    Q_OBJECT
public:
    OrderDocumentForm(data::TDmForm& dm, DocumentSetup setup, QWidget* parent = nullptr);
    ~OrderDocumentForm() override;

    widgets::WindowCode windowCode() const override
    {
        return m_setup.code;
    }
    db::DataSource* mainSource() const override;
    // Left for another window, the document gives the commands up.
    bool releasesOnLeave() const override { return true; }
    void prepareNew() override;
    void cancelDetails() override;
    void refreshDetails() override;

    const DocumentSetup& setup() const { return m_setup; }
    // Moves to a counterpart (the list above); false when unsaved changes were kept.
    bool selectCounterpart(int row);
    void AddLineBtnClick();
    void DeleteLineBtnClick();
    // The header posted if it is being edited (its lines need its number); false when refused.
    bool postHeaderFirst();
    // Stores the header with its changed lines; a failure is told and the header stays edited.
    bool storeChanges();
    // The report of the header shown and its lines.
    reports::Report buildReport();
    void previewReport();
    void printReport();
    bool exportPdf(const QString& fileName);

    QComboBox* CounterpartCombo;
    widgets::DBGrid* HeaderGrid;
    widgets::DBEdit* IdEdit;
    widgets::DBEdit* CodeEdit;
    widgets::DBDateEdit* DateEdit;
    widgets::DBLookupCombo* DentistCombo;
    widgets::DBMemo* NotesMemo;
    widgets::DBText* TotalItemsText;
    widgets::DBText* TotalPriceText;
    widgets::DBGrid* Grid;
    QHBoxLayout* LineButtons;
    QToolButton* AddLineBtn;
    QToolButton* DeleteLineBtn;
    QPushButton* PrintBtn;
    QMenu* PrintMenu;
    QPushButton* CloseBtn;
    QMenu* GridMenu;
    widgets::TLanguage* Lang;

protected:
    void showEvent(QShowEvent* event) override;
    // The columns of the line grid and the line buttons of a kind of document.
    virtual void addLineColumns() = 0;
    virtual void addLineButtons() { }
    // The report's line table.
    virtual void addReportLines(reports::Report& report) = 0;
    QToolButton* lineButton(const char* name, const QString& caption);
    QAction* gridItem(const char* name, const QString& caption);
    QStringList translationPaths() const;
    data::TDmForm& m_dm;
    DocumentSetup m_setup;

private:
    QWidget* buildHeader();
    void fillCounterparts();
    void followCounterpart();
    void headerEdited();

    std::vector<db::RuleGuard> m_rules;
    QStringList m_paths;
    bool m_shownOnce = false;
};

} // namespace supplies
