#pragma once

#include "data/Domain.h"
#include "widgets/Forward.h"

#include <QDialog>

#include <memory>

namespace clinical {

class SymbolArt;
class TSymbolBrowser;

// The operation picker ("Operations") the dental chart shows for a group tool: the operations
// of the group and, in the work row TempHistTable, the date, dentist, material, laboratory,
// colour, discount and cost of the treatments the next chart clicks record. After "Ok" the
// chart reads Discount, Cost, CostEURO, Color and DentistID of the work row and the date.
class TOperationsForm : public QDialog {
    Q_OBJECT
public:
    // `art`: the chart's symbol library and pictures; without them no preview is drawn.
    TOperationsForm(data::TDmForm& dm, const SymbolArt* art, QWidget* parent = nullptr);
    ~TOperationsForm() override;

    // Prepares the picker for a chart tool group. `chartLevel` is the treatment level of the
    // chart's view, -1 when no chart is open: the prices show only beyond the initial situation
    // (and only to a user of full role). Returns whether the group has operations to pick.
    bool prepare(int group, data::TreatmentLevel chartLevel);
    // prepare() and run; true when the user chose "Ok".
    bool execForGroup(int group, data::TreatmentLevel chartLevel);

    QDate date() const;

    widgets::DBGrid* OperationsList;
    QLabel* SymbolImage;
    QDateEdit* DateEdit;
    widgets::DBLookupCombo* DentistCombo;
    widgets::DBLookupCombo* MaterialCombo;
    widgets::DBLookupCombo* LabCombo;
    widgets::DBEdit* ColorEdit;
    QGroupBox* PriceBox;
    widgets::DBEdit* PriceEdit;
    widgets::DBCalcEdit* DiscountEdit;
    widgets::DBCalcEdit* CostEdit;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;
    widgets::TLanguage* Lang;

    // Leaving the discount and the cost editors.
    void DiscountEditExit();
    void CostEditExit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    QWidget* buildDetails();
    QGroupBox* buildPrices();
    void followOperation();
    void requireLookup(widgets::DBLookupCombo* combo, bool required, const QVariant& current);
    void positionChosen(const QString& fieldName);

    data::TDmForm& m_dm;
    std::unique_ptr<TSymbolBrowser> m_browser;
    bool m_following = false;
};

} // namespace clinical
