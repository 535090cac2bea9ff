// The money pairs of every view with amounts are completed before a row is stored.

#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"

#include <QScopedValueRollback>

namespace data {

db::Dataset::Hook TDmForm::rule(Handler handler)
{
    return [this, handler](db::Dataset& ds) { (this->*handler)(ds); };
}

void TDmForm::ConvertTwins(db::Dataset& view)
{
    QScopedValueRollback<bool> converting(m_convertingTwins, true);
    DatasetMoney row(view);
    m_money.convertTwins(row);
}

QList<db::Dataset*> TDmForm::moneyViews() const
{
    return {HistPerSessionTable, HistPerSessionTable2, HistPerSessionTable3, OperationsTable, DentalLabTable, SuppliersTable,
        MedicinesTable, MaterialOrdersTable, MaterialOrderItemsTable, DeliveredMaterialsTable, DeliveredMatItemsTable,
        SuppliersPerMaterialTable, LabOrdersTable, DeliveredLabOrdersTable, LabOrderItemsTable, DeliveredLabOrderItemsTable,
        PatientEconomTable, SupplierEconomTable, LabEconomTable, DentEconomicsTable};
}

void TDmForm::installMoneyRules()
{
    for (db::Dataset* view : moneyViews()) {
        // Before the view's own rule, so that it compares and copies complete amounts; after
        // it, for the amounts it computed in one currency only. Completing twice changes
        // nothing that was complete.
        view->beforePost = [this, own = std::move(view->beforePost)](db::Dataset& ds) {
            ConvertTwins(ds);
            if (own) {
                own(ds);
                ConvertTwins(ds);
            }
        };
    }
}

} // namespace data
