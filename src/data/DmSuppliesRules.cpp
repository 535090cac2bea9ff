// Record rules of suppliers, materials and their prices, material orders and deliveries.

#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"

#include "db/DataSource.h"
#include "db/Query.h"
#include "widgets/Language.h"
#include "widgets/MessageService.h"

#include <QScopedValueRollback>

#include <algorithm>

namespace data {
namespace {

const QString kOrderID = QStringLiteral("OrderID");
const QString kSupplierID = QStringLiteral("SupplierID");
const QString kMaterialID = QStringLiteral("MaterialID");
const QString kItemID = QStringLiteral("ItemID");

double amount(const db::Dataset& ds, QStringView field)
{
    return ds.value(field).toDouble(); // an empty amount counts 0
}

// Price = (Tax / 100 + 1) x q x UnitPrice x (100 - Discount) / 100, on the twin the user sees.
// q is the quantity ordered on an order line and the quantity received on a delivery line.
void computeLineTotal(db::Dataset& line, bool delivery, bool euroMode)
{
    const double quantity = amount(line, delivery ? u"QuantityDelivered" : u"Quantity");
    const double unitPrice = amount(line, euroMode ? u"UnitPriceEURO" : u"UnitPrice");
    const double total = (amount(line, u"Tax") / 100 + 1) * quantity * unitPrice * (100 - amount(line, u"Discount")) / 100;
    line.setValue(euroMode ? u"PriceEURO" : u"Price", total);
}

} // namespace

void TDmForm::installSuppliesRecordRules()
{
    SuppliersTable->onNewRecord = rule(&TDmForm::SuppliersTableNewRecord);
    SuppliersTable->beforeDelete = rule(&TDmForm::SuppliersTableBeforeDelete);

    MaterialsTable->onNewRecord = rule(&TDmForm::MaterialsTableNewRecord);
    MaterialsTable->beforeEdit = [this](db::Dataset& ds) { rememberKey(ds, kMaterialID); };
    MaterialsTable->beforePost = rule(&TDmForm::MaterialsTableBeforePost);
    MaterialsTable->beforeDelete = rule(&TDmForm::MaterialsTableBeforeDelete);
    SuppliersPerMaterialTable->onNewRecord = rule(&TDmForm::SuppliersPerMaterialTableNewRecord);
    SuppliersPerMaterialTable->beforeEdit = rule(&TDmForm::SuppliersPerMaterialTableBeforeEdit);
    SuppliersPerMaterialTable->beforePost = rule(&TDmForm::SuppliersPerMaterialTableBeforePost);

    for (db::Dataset* header : {MaterialOrdersTable, DeliveredMaterialsTable}) {
        header->beforeInsert = rule(&TDmForm::MaterialOrdersTableBeforeInsert);
        header->onNewRecord = rule(&TDmForm::MaterialOrdersTableNewRecord);
    }
    MaterialOrdersTable->beforePost = rule(&TDmForm::MaterialOrdersTableBeforePost);
    MaterialOrdersTable->beforeDelete = rule(&TDmForm::MaterialOrdersTableBeforeDelete);
    DeliveredMaterialsTable->beforePost = rule(&TDmForm::DeliveredMaterialsTableBeforePost);
    DeliveredMaterialsTable->beforeDelete = rule(&TDmForm::DeliveredMaterialsTableBeforeDelete);
    QObject::connect(DeliveredMaterialsTable, &db::Dataset::afterPost, this, [this] { postPendingTransaction(*SupplierEconomTable); });

    for (db::Dataset* lines : {MaterialOrderItemsTable, DeliveredMatItemsTable}) {
        lines->onNewRecord = rule(&TDmForm::MaterialOrderItemsTableNewRecord);
        QObject::connect(lines, &db::Dataset::fieldChanged, this,
            [this, lines](const QString& name) { MaterialOrderItemsTableFieldChange(*lines, name); });
    }
    DeliveredMatItemsTable->beforePost = rule(&TDmForm::DeliveredMatItemsTableBeforePost);
    DeliveredMatItemsTable->beforeDelete = rule(&TDmForm::DeliveredMatItemsTableBeforeDelete);
    // The order lines a delivery line completes (MaterialOrderItemsForLook) are stored with the
    // delivery's group, or dropped with it.
}

void TDmForm::SuppliersTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(kSupplierID, NextID(QStringLiteral("LastSupplTable")));
    DataSet.setValue(u"Balance", 0.0);
    DataSet.setValue(u"BalanceEURO", 0.0);
}

void TDmForm::SuppliersTableBeforeDelete(db::Dataset& DataSet)
{
    const QVariant supplier = DataSet.value(kSupplierID);
    {
        QScopedValueRollback<bool> noBalance(m_deletingCounterpart, true);
        deleteAllRows(*MaterialsPerSupplierTable);
        deleteAllRows(*MaterialOrdersTable);
        deleteAllRows(*DeliveredMaterialsTable);
        deleteAllRows(*SupplierEconomTable);
    }
    // Storing those may have read the suppliers again: the row to delete is this supplier's.
    if (!DataSet.isEditing() && DataSet.value(kSupplierID) != supplier && !DataSet.locate(kSupplierID, supplier))
        throw db::Abort();
}

void TDmForm::MaterialsTableNewRecord(db::Dataset& DataSet)
{
    // The catalogue shares the patient book's series and keeps the number as text.
    DataSet.setValue(kMaterialID, QString::number(NextID(QStringLiteral("LastMaterialTable"))));
    DataSet.setValue(u"MedicalUse", true);
}

void TDmForm::MaterialsTableBeforePost(db::Dataset& DataSet)
{
    refuseDuplicateKey(DataSet, kMaterialID);
}

void TDmForm::MaterialsTableBeforeDelete(db::Dataset&)
{
    deleteAllRows(*SuppliersPerMaterialTable);
}

void TDmForm::SuppliersPerMaterialTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"ID", NextID(QStringLiteral("LastSupPerMaterialTable")));
    DataSet.setValue(u"Price", 0.0);
    DataSet.setValue(u"PriceEURO", 0.0);
    DataSet.setValue(u"PriceDate", QDate::currentDate());
}

void TDmForm::SuppliersPerMaterialTableBeforeEdit(db::Dataset& DataSet)
{
    m_priceAtEdit = amount(DataSet, u"Price");
    m_priceEuroAtEdit = amount(DataSet, u"PriceEURO");
}

void TDmForm::SuppliersPerMaterialTableBeforePost(db::Dataset& DataSet)
{
    // A new price row has no earlier price. The price compared is the one the user typed: a
    // change of the rate alone is no new price.
    if (DataSet.state() != db::DatasetState::Edit)
        return;
    const bool euro = m_money.euroMode();
    if (amount(DataSet, euro ? u"PriceEURO" : u"Price") == (euro ? m_priceEuroAtEdit : m_priceAtEdit))
        return;
    DataSet.setValue(u"OldPrice", m_priceAtEdit);
    DataSet.setValue(u"OldPriceEURO", m_priceEuroAtEdit);
    DataSet.setValue(u"OldPriceDate", DataSet.value(u"PriceDate"));
    DataSet.setValue(u"PriceDate", QDate::currentDate());
}

void TDmForm::MaterialOrdersTableBeforeInsert(db::Dataset&)
{
    if (hasRows(*SuppliersTable))
        return;
    widgets::showWarning(Lang->Message(QStringLiteral("Suppliers File is Empty!")));
    throw db::Abort();
}

void TDmForm::MaterialOrdersTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(kOrderID, NextID(QStringLiteral("LastMaterialOrderTable")));
    DataSet.setValue(u"TotalItems", 0);
    DataSet.setValue(u"Date", QDate::currentDate());
    DataSet.setValue(u"DocID", m_defaultDentist);
    DataSet.setValue(u"TransType", &DataSet == DeliveredMaterialsTable ? 1 : 0);
}

void TDmForm::sumOrderLines(db::Dataset& header, db::Dataset& lines, const QString& priceField)
{
    lines.checkBrowseMode(); // a line still being typed counts
    const QVariant order = header.value(kOrderID);
    int count = 0;
    double total = 0;
    double totalEuro = 0;
    if (lines.isActive()) {
        const int orderAt = lines.field(kOrderID).index();
        const int priceAt = lines.field(priceField).index();
        const int euroAt = lines.field(moneyTwin(priceField)).index();
        for (int row = 0; row < lines.recordCount(); ++row) {
            if (lines.rowValue(row, orderAt) != order)
                continue;
            ++count;
            total += lines.rowValue(row, priceAt).toDouble();
            totalEuro += lines.rowValue(row, euroAt).toDouble();
        }
    }
    header.setValue(u"TotalItems", count);
    header.setValue(u"TotalPrice", total);
    header.setValue(u"TotalPriceEURO", totalEuro);
}

void TDmForm::MaterialOrdersTableBeforePost(db::Dataset& DataSet)
{
    sumOrderLines(DataSet, *MaterialOrderItemsTable, QStringLiteral("Price"));
}

void TDmForm::MaterialOrdersTableBeforeDelete(db::Dataset&)
{
    deleteAllRows(*MaterialOrderItemsTable);
}

void TDmForm::DeliveredMaterialsTableBeforePost(db::Dataset& DataSet)
{
    sumOrderLines(DataSet, *DeliveredMatItemsTable, QStringLiteral("Price"));
    ConvertTwins(DataSet);
    DeliveryTransaction(DataSet);
}

void TDmForm::DeliveredMaterialsTableBeforeDelete(db::Dataset& DataSet)
{
    deleteDeliveryTransaction(DataSet, *SupplierEconomTable);
    deleteAllRows(*DeliveredMatItemsTable);
}

void TDmForm::MaterialOrderItemsTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(kItemID, NextID(QStringLiteral("LastMaterialOrderItemTable")));
    DataSet.setValue(u"QuantityDelivered", 0);
    DataSet.setValue(u"Discount", 0.0);
    DataSet.setValue(u"Quantity", 0);
    DataSet.setValue(u"RelatedOrderItemID", -1);
}

void TDmForm::MaterialOrderItemsTableFieldChange(db::Dataset& DataSet, const QString& fieldName)
{
    if (m_convertingTwins)
        return; // the other currency of what the user typed: the line total stands
    const bool delivery = &DataSet == DeliveredMatItemsTable;
    if (fieldName == kMaterialID) {
        // The supplier's price list gives the unit price.
        const db::Dataset* header = DataSet.master() ? DataSet.master()->dataset() : nullptr;
        const QVariant supplier = header ? currentValue(*header, kSupplierID) : QVariant();
        if (supplier.isNull())
            return;
        db::Query price(*Database,
            QStringLiteral("SELECT Price, PriceEURO FROM SuppliersPerMaterial WHERE SupplierID = :supplier AND MaterialID = :material"));
        price.bind(QStringLiteral("supplier"), supplier).bind(QStringLiteral("material"), DataSet.value(kMaterialID)).exec();
        if (!price.next())
            return;
        DataSet.setValue(u"UnitPrice", price.value(0));
        DataSet.setValue(u"UnitPriceEURO", price.value(1));
        return;
    }
    static const QStringList amounts = {QStringLiteral("UnitPrice"), QStringLiteral("UnitPriceEURO"), QStringLiteral("Tax"),
        QStringLiteral("Discount")};
    const QString quantity = delivery ? QStringLiteral("QuantityDelivered") : QStringLiteral("Quantity");
    if (amounts.contains(fieldName) || fieldName == quantity)
        computeLineTotal(DataSet, delivery, m_money.euroMode());
}

void TDmForm::DeliveredMatItemsTableBeforePost(db::Dataset& DataSet)
{
    // The order line this line delivers: what was outstanding when the line was made, less
    // what this line brings. Posting the line again recomputes from the same snapshot.
    const int related = DataSet.value(u"RelatedOrderItemID").toInt();
    if (related <= 0)
        return;
    changeRow(*MaterialOrderItemsForLook, kItemID, related, [&DataSet](db::Dataset& orderLine) {
        orderLine.setValue(u"QuantityDelivered",
            orderLine.value(u"Quantity").toInt() - DataSet.value(u"Quantity").toInt() + DataSet.value(u"QuantityDelivered").toInt());
    });
}

void TDmForm::DeliveredMatItemsTableBeforeDelete(db::Dataset& DataSet)
{
    const int related = DataSet.value(u"RelatedOrderItemID").toInt();
    if (related <= 0)
        return;
    changeRow(*MaterialOrderItemsForLook, kItemID, related, [&DataSet](db::Dataset& orderLine) {
        orderLine.setValue(u"QuantityDelivered",
            orderLine.value(u"QuantityDelivered").toInt()
                - std::min(DataSet.value(u"Quantity").toInt(), DataSet.value(u"QuantityDelivered").toInt()));
    });
}

} // namespace data
