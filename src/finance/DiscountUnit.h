#pragma once

#include "data/Domain.h"
#include "widgets/Forward.h"

#include <QDate>
#include <QDialog>
#include <QVariant>

#include <optional>

namespace finance {

// The three linked figures of a discount on a total: the percentage, the amount and the final
// cost, each in both currencies. A figure is typed in the currency shown; the other currency
// keeps the same percentage.
struct DiscountFigures {
    double price = 0;
    double priceEuro = 0;
    double percent = 0;
    double cost = 0; // the discount amount
    double costEuro = 0;
    double finalCost = 0;
    double finalCostEuro = 0;

    void startFrom(double total, double totalEuro);
    void fromPercent(double p);
    void fromAmount(double amount, bool euro);
    void fromFinalCost(double final, bool euro);
    bool isZero() const { return cost == 0 && costEuro == 0; }
};

// "Discount": the total cost of the current session's treatments at the chart's level, a
// discount stated as a percentage, an amount or the final cost, and on "OK" one more treatment
// row with the negative amount.
class TDiscountForm : public QDialog {
    Q_OBJECT
public:
    explicit TDiscountForm(data::TDmForm& dm, QWidget* parent = nullptr);

    const DiscountFigures& figures() const { return m_figures; }
    // The DocID of the dentist chosen, the default dentist's when none is.
    QVariant dentistId() const;
    // The amount editors show the currency of the display mode.
    void showFigures();
    void DiscountEditExit(); // percentage
    void CostEditExit(); // amount
    void FinalCostEditExit();

    QDateEdit* DateEdit;
    QComboBox* DentistCombo; // the dentists by last name; the chosen one's DocID goes into the row
    QLineEdit* PriceEdit;
    QLineEdit* DiscountEdit;
    QLineEdit* CostEdit;
    QLineEdit* FinalCostEdit;
    QToolButton* CurrencyBtn;
    widgets::TLanguage* Lang;

public slots:
    void accept() override;

private:
    // The number typed into an editor, or nothing (with the message said) when it is no number.
    std::optional<double> numberIn(QLineEdit* editor);
    QString amountText(double value) const;
    void fillDentists();

    data::TDmForm& m_dm;
    DiscountFigures m_figures;
    data::TreatmentLevel m_level = data::TreatmentLevel::Implementation;
    bool m_chartOpen = false;
};

} // namespace finance
