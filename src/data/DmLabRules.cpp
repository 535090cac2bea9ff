// Record rules of dental labs, lab orders and deliveries.

#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"

#include "widgets/Language.h"
#include "widgets/MessageService.h"

#include <QScopedValueRollback>

namespace data {
namespace {

const QString kOrderID = QStringLiteral("OrderID");
const QString kDentalLabID = QStringLiteral("DentalLabID");

} // namespace

void TDmForm::installLabRules()
{
    DentalLabTable->onNewRecord = rule(&TDmForm::DentalLabTableNewRecord);
    DentalLabTable->beforeEdit = [this](db::Dataset& ds) { rememberKey(ds, kDentalLabID); };
    DentalLabTable->beforePost = rule(&TDmForm::DentalLabTableBeforePost);
    DentalLabTable->beforeDelete = rule(&TDmForm::DentalLabTableBeforeDelete);

    for (db::Dataset* header : {LabOrdersTable, DeliveredLabOrdersTable}) {
        header->beforeInsert = rule(&TDmForm::LabOrdersTableBeforeInsert);
        header->onNewRecord = rule(&TDmForm::LabOrdersTableNewRecord);
    }
    LabOrdersTable->beforePost = rule(&TDmForm::LabOrdersTableBeforePost);
    LabOrdersTable->beforeDelete = rule(&TDmForm::LabOrdersTableBeforeDelete);
    DeliveredLabOrdersTable->beforePost = rule(&TDmForm::DeliveredLabOrdersTableBeforePost);
    DeliveredLabOrdersTable->beforeDelete = rule(&TDmForm::DeliveredLabOrdersTableBeforeDelete);
    QObject::connect(DeliveredLabOrdersTable, &db::Dataset::afterPost, this, [this] { postPendingTransaction(*LabEconomTable); });
    for (db::Dataset* jobs : {LabOrderItemsTable, DeliveredLabOrderItemsTable})
        jobs->onNewRecord = rule(&TDmForm::LabOrderItemsTableNewRecord);
    LabOrderItemsTable->beforeDelete = rule(&TDmForm::LabOrderItemsTableBeforeDelete);
    DeliveredLabOrderItemsTable->beforeDelete = rule(&TDmForm::DeliveredLabOrderItemsTableBeforeDelete);
    // The treatments and order jobs a removed job gives back are stored with its header's
    // group, or dropped with it.
}

void TDmForm::DentalLabTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(kDentalLabID, NextID(QStringLiteral("LastDentLabTable")));
    DataSet.setValue(u"Balance", 0.0);
    DataSet.setValue(u"BalanceEURO", 0.0);
}

void TDmForm::DentalLabTableBeforePost(db::Dataset& DataSet)
{
    refuseDuplicateKey(DataSet, kDentalLabID);
}

void TDmForm::DentalLabTableBeforeDelete(db::Dataset& DataSet)
{
    const QVariant lab = DataSet.value(kDentalLabID);
    {
        QScopedValueRollback<bool> noBalance(m_deletingCounterpart, true);
        deleteAllRows(*LabOrdersTable);
        deleteAllRows(*DeliveredLabOrdersTable);
        deleteAllRows(*LabEconomTable);
    }
    if (!DataSet.isEditing() && DataSet.value(kDentalLabID) != lab && !DataSet.locate(kDentalLabID, lab))
        throw db::Abort();
}

void TDmForm::LabOrdersTableBeforeInsert(db::Dataset&)
{
    if (hasRows(*DentalLabTable))
        return;
    widgets::showWarning(Lang->Message(QStringLiteral("Dental Labs File is Empty!")));
    throw db::Abort();
}

void TDmForm::LabOrdersTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(kOrderID, NextID(QStringLiteral("LastLabOrderTable")));
    DataSet.setValue(u"Date", QDate::currentDate());
    DataSet.setValue(u"DocID", m_defaultDentist);
    DataSet.setValue(u"LabID", currentValue(*DentalLabTable, kDentalLabID));
    DataSet.setValue(u"TransType", &DataSet == DeliveredLabOrdersTable ? 1 : 0);
    DataSet.setValue(u"TotalPrice", 0.0);
    DataSet.setValue(u"TotalPriceEURO", 0.0);
    DataSet.setValue(u"TotalItems", 0);
}

void TDmForm::LabOrdersTableBeforePost(db::Dataset& DataSet)
{
    sumOrderLines(DataSet, *LabOrderItemsTable, QStringLiteral("OrderPrice"));
}

void TDmForm::LabOrdersTableBeforeDelete(db::Dataset&)
{
    deleteAllRows(*LabOrderItemsTable);
}

void TDmForm::DeliveredLabOrdersTableBeforePost(db::Dataset& DataSet)
{
    sumOrderLines(DataSet, *DeliveredLabOrderItemsTable, QStringLiteral("OrderPrice"));
    ConvertTwins(DataSet);
    DeliveryTransaction(DataSet);
}

void TDmForm::DeliveredLabOrdersTableBeforeDelete(db::Dataset& DataSet)
{
    deleteDeliveryTransaction(DataSet, *LabEconomTable);
    deleteAllRows(*DeliveredLabOrderItemsTable);
}

void TDmForm::LabOrderItemsTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"ItemID", NextID(QStringLiteral("LastLabOrderItemTable")));
    DataSet.setValue(u"RelatedOrderItemID", -1);
}

void TDmForm::LabOrderItemsTableBeforeDelete(db::Dataset& DataSet)
{
    // The treatment may be ordered again.
    changeRow(*HistLabOrderItemsToUpdateTable, QStringLiteral("ID"), DataSet.value(u"HistoryID"),
        [](db::Dataset& history) { history.setValue(u"Ordered", false); });
}

void TDmForm::DeliveredLabOrderItemsTableBeforeDelete(db::Dataset& DataSet)
{
    const QVariant related = DataSet.value(u"RelatedOrderItemID");
    if (!related.isNull() && related.toInt() >= 0) {
        // The order job it received is pending again.
        changeRow(*UndeliveredLabOrdersToUpdateTable, QStringLiteral("ItemID"), related,
            [](db::Dataset& job) { job.setValue(u"RelatedOrderItemID", -1); });
    } else {
        LabOrderItemsTableBeforeDelete(DataSet);
    }
}

} // namespace data
