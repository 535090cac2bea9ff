// The dental chart with the finance windows: its balance follows a payment stored in the ledger
// without a refresh, and the discount reads the chart's level and lowers its cost.

#include "clinical/ClinicFixture.h"
#include "FinanceFixture.h"
#include "support/MessageRecorder.h"

#include "clinical/DentalChartUnit.h"
#include "finance/DiscountUnit.h"
#include "widgets/WindowService.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

// The main window's service as the chart's discount button uses it: the dialog is made, a
// final cost of 200 typed and "OK" pressed.
class DiscountService : public widgets::WindowService {
public:
    explicit DiscountService(data::TDmForm& dm)
        : m_dm(dm)
    {
    }
    QWidget* openWindow(const QString& componentName) override
    {
        if (componentName != QLatin1String("DiscountForm"))
            return nullptr;
        finance::TDiscountForm discount(m_dm);
        price = discount.figures().priceEuro;
        discount.FinalCostEdit->setText(QStringLiteral("200"));
        discount.FinalCostEditExit();
        percent = discount.figures().percent;
        discount.accept();
        return nullptr;
    }
    QWidget* findWindow(const QString&) const override { return nullptr; }

    double price = 0;
    double percent = 0;

private:
    data::TDmForm& m_dm;
};

} // namespace

class TestChartBalance : public QObject, clinictest::ChartFixture {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        openChart([](data::TDmForm& dm) {
            financetest::treatmentCharge(dm, 200);
            financetest::treatmentCharge(dm, 50);
        });
        m_chart->setView(data::TreatmentLevel::Implementation);
    }
    void cleanup() { closeChart(); }

    void balanceFollowsThePayment()
    {
        QCOMPARE(m_chart->BalanceText->text(), m_dm->money().FormatMoney(250));
        db::Dataset& ledger = *m_dm->finance().PatientEconomTable;
        const int payment = rulestest::ledgerRow(ledger, -1, 100.0);
        QCOMPARE(m_chart->BalanceText->text(), m_dm->money().FormatMoney(150));
        QVERIFY(ledger.locate(QStringLiteral("EconomID"), payment));
        ledger.remove();
        QCOMPARE(m_chart->BalanceText->text(), m_dm->money().FormatMoney(250));
    }

    void discountOnTheChartsLevel()
    {
        testsupport::MessageRecorder messages;
        DiscountService service(*m_dm);
        widgets::WindowService::setCurrent(&service);
        m_chart->DiscountBtnClick();
        widgets::WindowService::setCurrent(nullptr);
        QCOMPARE(service.price, 250.0);
        QCOMPARE(service.percent, 20.0);
        QCOMPARE(m_chart->CostText->text(), m_dm->money().FormatMoney(200));
        QCOMPARE(m_chart->BalanceText->text(), m_dm->money().FormatMoney(200));
        QVERIFY(messages.texts().isEmpty());
    }
};

QTEST_MAIN(TestChartBalance)
#include "tst_chartbalance.moc"
