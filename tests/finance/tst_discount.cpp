// The discount's three linked figures, the dialog's row on "OK" with the dentist chosen, and
// the display currency switched while it is open.

#include "FinanceFixture.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"

#include "finance/DiscountUnit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace {

class ChartAt : public data::ChartContext {
public:
    explicit ChartAt(data::TreatmentLevel level)
        : m_level(level)
    {
    }
    int selectedTooth() const override { return 0; }
    data::TreatmentLevel treatmentLevel() const override { return m_level; }

private:
    data::TreatmentLevel m_level;
};

// The current patient with a treatment charged for each of `euros`, at the implementation level
// the chart shows to the dialog while the guard lives.
db::RuleGuard chargedPatientOnTheChart(data::TDmForm& dm, std::initializer_list<double> euros)
{
    static const ChartAt implementation(data::TreatmentLevel::Implementation);
    RulesPractice::addPatient(dm);
    for (double euro : euros)
        financetest::treatmentCharge(dm, euro);
    return dm.clinical().attachChart(implementation);
}

} // namespace

class TestDiscount : public RulesTest {
    Q_OBJECT

private Q_SLOTS:
    // Typed in the currency shown; the other currency keeps the same percentage.
    void figures_data()
    {
        // total: EURO; the local total is at the rate
        // typed: percent, amount or final
        // amount: in the currency shown
        testsupport::addRows<double, QString, double, bool, double, double, double>(
            { "total", "typed", "value", "euro", "percent", "amount", "finalCost" },
            {
                { "10% of 250", 250.0, "percent", 10.0, true, 10.0, 25.0, 225.0 },
                { "final 200 on 250", 250.0, "final", 200.0, true, 20.0, 50.0, 200.0 },
                { "amount 50 on 250", 250.0, "amount", 50.0, true, 20.0, 50.0, 200.0 },
                { "local amount", 250.0, "amount", 8518.75, false, 10.0, 8518.75, 76668.75 },
                { "zero total, percent", 0.0, "percent", 15.0, true, 15.0, 0.0, 0.0 },
                { "zero total, amount", 0.0, "amount", 30.0, true, 0.0, 0.0, 0.0 },
                { "zero total, final", 0.0, "final", 30.0, true, 0.0, 0.0, 0.0 },
            });
    }
    void figures()
    {
        QFETCH(double, total);
        QFETCH(QString, typed);
        QFETCH(double, value);
        QFETCH(bool, euro);
        QFETCH(double, percent);
        QFETCH(double, amount);
        QFETCH(double, finalCost);
        finance::DiscountFigures f;
        f.startFrom(total * kFinanceRate, total);
        if (typed == QLatin1String("percent"))
            f.fromPercent(value);
        else if (typed == QLatin1String("amount"))
            f.fromAmount(value, euro);
        else
            f.fromFinalCost(value, euro);
        QVERIFY(qFuzzyCompare(1 + f.percent, 1 + percent));
        QVERIFY(qFuzzyCompare(1 + (euro ? f.costEuro : f.cost), 1 + amount));
        QVERIFY(qFuzzyCompare(1 + (euro ? f.finalCostEuro : f.finalCost), 1 + finalCost));
        // Both currencies say the same discount.
        QVERIFY(qFuzzyCompare(1 + f.cost, 1 + f.costEuro * kFinanceRate));
        QVERIFY(qFuzzyCompare(1 + f.finalCost, 1 + f.finalCostEuro * kFinanceRate));
    }

    // "OK" appends one negative treatment at the chart's level; its charge reaches the ledger.
    void okAppendsTheDiscount_data()
    {
        testsupport::addRows<QString, int>({ "percent", "rows" },
            {
                { "10%", "10", 1 },
                { "no discount", "0", 0 },
            });
    }
    void okAppendsTheDiscount()
    {
        QFETCH(QString, percent);
        QFETCH(int, rows);
        auto dm = m_practice->open();
        const db::RuleGuard attached = chargedPatientOnTheChart(*dm, { 200, 50 });
        testsupport::MessageRecorder messages;
        finance::TDiscountForm dialog(*dm);
        QCOMPARE(dialog.figures().priceEuro, 250.0);
        dialog.DiscountEdit->setText(percent);
        dialog.DiscountEditExit();
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(RulesPractice::scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM History WHERE CostEURO < 0"))
                     .toInt(),
            rows);
        QCOMPARE(RulesPractice::scalar(
                     *dm, QStringLiteral("SELECT COUNT(*) FROM PatEconomics WHERE CreditEURO < 0"))
                     .toInt(),
            rows);
        if (rows) {
            QCOMPARE(
                RulesPractice::scalar(*dm, QStringLiteral("SELECT CostEURO FROM History WHERE CostEURO < 0"))
                    .toDouble(),
                -25.0);
            QCOMPARE(
                RulesPractice::scalar(*dm, QStringLiteral("SELECT PriceEURO FROM History WHERE CostEURO < 0"))
                    .toDouble(),
                -25.0);
            QCOMPARE(
                dm->clinical().sessionBalance(dm->clinical().SessionsTable->value(u"SessionID")).euro, 225.0);
        }
        QVERIFY(messages.texts().isEmpty());
    }

    // The default dentist is offered among the others; the row is the chosen one's.
    void dentistChosenGoesIntoTheRow()
    {
        auto dm = m_practice->open();
        db::Dataset& dentists = *dm->lists().DentistsTable;
        RulesPractice::addRow(dentists, { { "LastName", "Alexiou" } });
        const int first = dentists.value(u"DocID").toInt();
        RulesPractice::addRow(dentists, { { "LastName", "Vlachou" } });
        const int second = dentists.value(u"DocID").toInt();
        dm->setDefaultDentist(second, m_practice->settings());
        const db::RuleGuard attached = chargedPatientOnTheChart(*dm, { 100 });
        finance::TDiscountForm dialog(*dm);
        QCOMPARE(dialog.DentistCombo->count(), 2);
        QCOMPARE(dialog.DentistCombo->currentText(), QStringLiteral("Vlachou"));
        QCOMPARE(dialog.dentistId(), QVariant(second));
        dialog.DentistCombo->setCurrentIndex(dialog.DentistCombo->findText(QStringLiteral("Alexiou")));
        QCOMPARE(dialog.dentistId(), QVariant(first));
        dialog.DiscountEdit->setText(QStringLiteral("10"));
        dialog.DiscountEditExit();
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(
            RulesPractice::scalar(*dm, QStringLiteral("SELECT DentistID FROM History WHERE CostEURO < 0"))
                .toInt(),
            first);
    }

    // Switched while the dialog is open, the boxes show the other currency; an amount typed in
    // it gives the EURO twin the same discount.
    void currencySwitchedWhileOpen()
    {
        auto dm = m_practice->open();
        const db::RuleGuard attached = chargedPatientOnTheChart(*dm, { 250 });
        testsupport::MessageRecorder messages;
        const auto amount = [](double value) { return QLocale().toString(value, 'f', 2); };
        finance::TDiscountForm dialog(*dm);
        QVERIFY(dm->money().euroMode());
        QCOMPARE(dialog.PriceEdit->text(), amount(250));
        dm->money().setEuroMode(false);
        QCOMPARE(dialog.PriceEdit->text(), amount(250 * kFinanceRate));
        QCOMPARE(dialog.FinalCostEdit->text(), amount(250 * kFinanceRate));
        dialog.CostEdit->setText(amount(25 * kFinanceRate));
        emit dialog.CostEdit->editingFinished();
        QVERIFY(qFuzzyCompare(dialog.figures().costEuro, 25.0));
        QVERIFY(qFuzzyCompare(dialog.figures().percent, 10.0));
        QCOMPARE(dialog.FinalCostEdit->text(), amount(225 * kFinanceRate));
        dm->money().setEuroMode(true);
        QCOMPARE(dialog.CostEdit->text(), amount(25));
        QCOMPARE(dialog.FinalCostEdit->text(), amount(225));
        QVERIFY(messages.texts().isEmpty());
    }

    // Text in an amount box is said and keeps the dialog open with nothing written.
    void textIsRefused()
    {
        auto dm = m_practice->open();
        const db::RuleGuard attached = chargedPatientOnTheChart(*dm, { 100 });
        testsupport::MessageRecorder messages;
        finance::TDiscountForm dialog(*dm);
        dialog.CostEdit->setText(QStringLiteral("ten"));
        dialog.accept();
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(dialog.result() != int(QDialog::Accepted));
        QCOMPARE(RulesPractice::scalar(*dm, QStringLiteral("SELECT COUNT(*) FROM History WHERE CostEURO < 0"))
                     .toInt(),
            0);
    }
};

QTEST_MAIN(TestDiscount)
#include "tst_discount.moc"
