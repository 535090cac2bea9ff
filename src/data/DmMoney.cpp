// The money pairs of every view with amounts: completed around every post, and formatted.

#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"

#include <QScopedValueRollback>

namespace data {

void TDmForm::ConvertTwins(db::Dataset& view)
{
    QScopedValueRollback<bool> converting(m_convertingTwins, true);
    DatasetMoney row(view);
    m_money.convertTwins(row);
}

QList<db::Dataset*> TDmForm::moneyViews()
{
    const ClinicalArea& c = clinical();
    const SuppliesArea& s = supplies();
    const FinanceArea& f = finance();
    return {c.HistPerSessionTable, c.HistPerSessionTable2, c.HistPerSessionTable3, c.OperationsTable, s.DentalLabTable, s.SuppliersTable,
        lists().MedicinesTable, s.MaterialOrdersTable, s.MaterialOrderItemsTable, s.DeliveredMaterialsTable, s.DeliveredMatItemsTable,
        s.SuppliersPerMaterialTable, s.LabOrdersTable, s.DeliveredLabOrdersTable, s.LabOrderItemsTable, s.DeliveredLabOrderItemsTable,
        f.PatientEconomTable, f.SupplierEconomTable, f.LabEconomTable, f.DentEconomicsTable};
}

void TDmForm::installMoneyRules()
{
    // Before the area's rule, so that it compares and copies complete amounts; after it, for
    // the amounts it computed in one currency only. Completing twice changes nothing that was
    // complete.
    for (db::Dataset* view : moneyViews()) {
        view->beforePost.install(Stage::CompleteAmounts, QStringLiteral("ConvertTwins"),
            [this](db::Dataset& ds) { ConvertTwins(ds); });
        view->beforePost.install(Stage::CompleteAmountsAgain, QStringLiteral("ConvertTwins"),
            [this](db::Dataset& ds) { ConvertTwins(ds); });
    }
}

void TDmForm::applyMoneyFormats()
{
    // The views with amounts and their local fields; each EURO twin is formatted alike.
    const QList<std::pair<db::Dataset*, QStringList>> money = {
        {finance().PatientEconomTable, {"Credit", "SessBalance", "PayableAmount", "ReceivableAmount", "Balance", "ReceiptCredit"}},
        {finance().DentEconomicsTable, {"Credit", "PayableAmount", "ReceivableAmount", "Balance", "ReceiptCredit"}},
        {finance().SupplierEconomTable, {"Credit", "PayableAmount", "ReceivableAmount", "Balance", "ReceiptCredit"}},
        {finance().LabEconomTable, {"Credit", "PayableAmount", "ReceivableAmount", "Balance", "ReceiptCredit"}},
        {clinical().HistPerSessionTable, {"Cost", "Price"}},
        {clinical().HistPerSessionTable2, {"Cost", "Price"}},
        {clinical().HistPerSessionTable3, {"Cost", "Price"}},
        {supplies().SuppliersPerMaterialTable, {"Price", "OldPrice"}},
        {clinical().OperationsTable, {"Cost"}},
        {clinical().TempHistTable, {"Cost", "Price"}},
        {supplies().DentalLabTable, {"Balance"}},
        {supplies().SuppliersTable, {"Balance"}},
        {supplies().MaterialOrderItemsTable, {"Price", "UnitPrice"}},
        {supplies().DeliveredMatItemsTable, {"Price", "UnitPrice"}},
        {supplies().MaterialOrdersTable, {"TotalPrice"}},
        {supplies().DeliveredMaterialsTable, {"TotalPrice"}},
        {lists().MedicinesTable, {"RetailPrice", "TradePrice", "HospitalPrice"}},
        {supplies().LabOrderItemsTable, {"OrderPrice"}},
        {supplies().DeliveredLabOrderItemsTable, {"OrderPrice"}},
        {supplies().LabOrdersTable, {"TotalPrice"}},
        {supplies().DeliveredLabOrdersTable, {"TotalPrice"}},
    };
    const MoneyFormat euro = euroMoneyFormat();
    const MoneyFormat local = m_money.localFormat();
    for (const auto& [view, fields] : money) {
        for (const QString& name : fields) {
            db::Field& localField = view->field(name);
            if (!local.displayPattern.isEmpty())
                localField.setDisplayFormat(local.displayPattern);
            localField.setEditFormat(local.editPattern);
            db::Field& euroField = view->field(moneyTwin(name));
            euroField.setDisplayFormat(euro.displayPattern);
            euroField.setEditFormat(euro.editPattern);
        }
    }
}

} // namespace data
