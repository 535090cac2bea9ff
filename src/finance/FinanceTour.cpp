#include "finance/FinanceTour.h"
#include "widgets/TourPages.h"

#include "data/DmUnit.h"
#include "db/Dataset.h"
#include "finance/DiscountUnit.h"
#include "finance/EconomicsUnit.h"
#include "finance/EuroUnit.h"
#include "platform/Session.h"

#include <QLineEdit>
#include <QTabWidget>

namespace finance {
namespace {

// Moves `counterparts` to the first row whose ledger shows at least `rows` rows.
void findBusyCounterpart(db::Dataset& counterparts, const db::Dataset& ledger, int rows)
{
    for (counterparts.first(); !counterparts.eof(); counterparts.next()) {
        if (ledger.recordCount() >= rows)
            return;
    }
    counterparts.first();
}

// The chart as the discount dialog sees it: the implementation view, no tooth chosen.
class ImplementationView : public data::ChartContext {
public:
    int selectedTooth() const override { return 0; }
    data::TreatmentLevel treatmentLevel() const override { return data::TreatmentLevel::Implementation; }
};

} // namespace

void tourFinanceWindows(data::TDmForm& dm, widgets::TourCamera& camera)
{
    const auto take = [&camera](QWidget& window, const QString& name = {}) { camera.take(window, name); };
    findBusyCounterpart(*dm.patients().PatientsTable, *dm.finance().PatientEconomTable, 4);
    findBusyCounterpart(*dm.supplies().SuppliersTable, *dm.finance().SupplierEconomTable, 3);
    findBusyCounterpart(*dm.supplies().DentalLabTable, *dm.finance().LabEconomTable, 3);
    {
        finance::TEconomicsForm ledger(dm);
        ledger.resize(1180, 720);
        ledger.show();
        const struct {
            finance::LedgerSource source;
            const char* name;
        } ledgers[] = { { finance::LedgerSource::Patients, "Patients" },
            { finance::LedgerSource::Suppliers, "Suppliers" },
            { finance::LedgerSource::DentalLabs, "DentalLabs" }, { finance::LedgerSource::Other, "Other" } };
        for (const auto& l : ledgers) {
            ledger.setSource(l.source);
            take(ledger, QStringLiteral("EconomicsForm-%1").arg(QLatin1String(l.name)));
        }
        ledger.close();
    }
    {
        const ImplementationView chart;
        const db::RuleGuard attached = dm.clinical().attachChart(chart);
        finance::TDiscountForm discount(dm);
        discount.DiscountEdit->setText(QStringLiteral("10"));
        discount.DiscountEditExit();
        take(discount, QStringLiteral("DiscountForm"));
    }
    {
        finance::TEuroForm options(dm);
        for (int page = 0; page < options.PageControl->count(); ++page) {
            options.PageControl->setCurrentIndex(page);
            take(options, QStringLiteral("EuroForm_%1").arg(options.PageControl->widget(page)->objectName()));
        }
    }
    dm.ActiveSrc->setDataset(nullptr);
}

void addFinanceTourPages(widgets::TourPages<data::TDmForm>& pages)
{
    pages.add(QStringLiteral("the financial windows"), &tourFinanceWindows);
}

} // namespace finance
