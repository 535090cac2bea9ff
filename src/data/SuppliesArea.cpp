// Suppliers, materials, dental labs and their orders and deliveries: the views and their
// record rules (line totals, partial deliveries, price history, cascades).

#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"
#include "db/FieldFormat.h"

#include "db/DataSource.h"
#include "db/Query.h"
#include "platform/MessageService.h"

#include <QScopedValueRollback>
#include <algorithm>

namespace data {
namespace {

const QString kOrderID = QStringLiteral("OrderID");
const QString kMaterialID = QStringLiteral("MaterialID");

bool isOrder(const db::Dataset& ds)
{
    return ds.value(u"TransType").toInt() == 0;
}

bool isDelivery(const db::Dataset& ds)
{
    return ds.value(u"TransType").toInt() == 1;
}

// The order's date, then " - " and its code when it has one.
void calcDateAndOrderCode(db::Dataset& ds)
{
    const QDate date = ds.value(u"Date").toDate();
    const QString code = ds.value(u"OrderCode").toString();
    QString text = date.isValid() ? db::fieldformat::dateText(date) : QString();
    if (!code.isEmpty())
        text += QStringLiteral(" - ") + code;
    ds.setValue(u"DateAndOrderCode", text);
}

} // namespace

SuppliesArea::SuppliesArea(TDmForm& dm)
    : DmArea(dm)
{
}

void SuppliesArea::declareViews()
{
    SuppliersTable = table("SuppliersTable", "Suppliers");
    SuppliersTable->setIndexName(QStringLiteral("By Name"));
    SuppliersTable->setCachedUpdates(true);
    SuppliersSrc = sourceOf(SuppliersTable);
    SuppliersForLookUpTable = table("SuppliersForLookUpTable", "Suppliers");
    SuppliersForLookUpTable->setIndexName(QStringLiteral("By Name"));

    MaterialsTable = table("MaterialsTable", "MaterialDB");
    MaterialsTable->setOrderBy({QStringLiteral("Description")});
    MaterialsTable->setCachedUpdates(true);
    MaterialsSrc = sourceOf(MaterialsTable);
    DentalMaterialsTable = table("DentalMaterialsTable", "MaterialDB");
    DentalMaterialsTable->setOrderBy({QStringLiteral("Description")});
    DentalMaterialsTable->onFilterRecord.install(Stage::Area, QStringLiteral("DentalMaterialsTable"),
        [](const db::Dataset& ds) { return ds.value(u"MedicalUse").toBool(); });
    DentalMaterialsTable->setReadOnly(true);
    DentalMaterialsSrc = sourceOf(DentalMaterialsTable);

    SuppliersPerMaterialTable = table("SuppliersPerMaterialTable", "SuppliersPerMaterial");
    SuppliersPerMaterialTable->setIndexName(QStringLiteral("By Material"));
    SuppliersPerMaterialTable->setMaster(MaterialsSrc, {kMaterialID});
    SuppliersPerMaterialTable->setCachedUpdates(true);
    lookup(SuppliersPerMaterialTable, db::str(QStringLiteral("Supplier"), 20), QStringLiteral("SupplierID"), SuppliersForLookUpTable,
        QStringLiteral("SupplierID"), QStringLiteral("Company"));
    SuppliersPerMaterialSrc = sourceOf(SuppliersPerMaterialTable);
    MaterialsPerSupplierTable = table("MaterialsPerSupplierTable", "SuppliersPerMaterial");
    MaterialsPerSupplierTable->setIndexName(QStringLiteral("By Supplier"));
    MaterialsPerSupplierTable->setMaster(SuppliersSrc, {QStringLiteral("SupplierID")});
    lookup(MaterialsPerSupplierTable, db::str(QStringLiteral("MaterialDescription"), 50), kMaterialID, MaterialsTable, kMaterialID,
        QStringLiteral("Description"));

    // Orders and deliveries share the file; the filter rules tell them apart.
    const auto orders = [this](const char* name, int dentistSize, bool deliveries) {
        db::Dataset* view = table(name, "MaterialOrders");
        view->setOrderBy({QStringLiteral("SupplierID")});
        view->setMaster(SuppliersSrc, {QStringLiteral("SupplierID")}, {QStringLiteral("SupplierID")});
        view->onFilterRecord.install(
            Stage::Area, QStringLiteral("onFilterRecord"), deliveries ? isDelivery : isOrder);
        view->setCachedUpdates(true);
        lookup(view, db::str(QStringLiteral("Dentist"), dentistSize), QStringLiteral("DocID"), lists().DentistsTable, QStringLiteral("DocID"),
            QStringLiteral("LastName"));
        return view;
    };
    MaterialOrdersTable = orders("MaterialOrdersTable", 50, false);
    MaterialOrdersSrc = sourceOf(MaterialOrdersTable);
    DeliveredMaterialsTable = orders("DeliveredMaterialsTable", 30, true);
    DeliveredMaterialsSrc = sourceOf(DeliveredMaterialsTable);

    const auto orderItems = [this](const char* name, db::Dataset* master, const char* index) {
        db::Dataset* view = table(name, "MaterialOrderItems");
        if (index)
            view->setIndexName(QLatin1String(index));
        else
            view->setOrderBy({kOrderID});
        view->setMaster(sourceOf(master), {kOrderID}, {kOrderID});
        view->setCachedUpdates(true);
        lookup(view, db::str(QStringLiteral("MaterialDescription"), 50), kMaterialID, MaterialsPerSupplierTable, kMaterialID,
            QStringLiteral("MaterialDescription"));
        lookup(view, db::str(QStringLiteral("Unit"), 5), kMaterialID, MaterialsTable, kMaterialID, QStringLiteral("Unit"));
        view->field(u"Discount").setDisplayFormat(QStringLiteral(",0.#"));
        view->field(u"Tax").setDisplayFormat(QStringLiteral(",0.## %"));
        view->field(u"Tax").setEditFormat(QStringLiteral(",0.00"));
        return view;
    };
    MaterialOrderItemsTable = orderItems("MaterialOrderItemsTable", MaterialOrdersTable, nullptr);
    MaterialOrderItemsSrc = sourceOf(MaterialOrderItemsTable);
    DeliveredMatItemsTable = orderItems("DeliveredMatItemsTable", DeliveredMaterialsTable, "by Order");
    DeliveredMatItemsTable->field(u"Discount").setEditFormat(QStringLiteral(",0.###"));
    DeliveredMatItemsSrc = sourceOf(DeliveredMatItemsTable);
    MaterialOrderItemsForLook = table("MaterialOrderItemsForLook", "MaterialOrderItems");
    MaterialOrderItemsForLook->setCachedUpdates(true);
    lookup(MaterialOrderItemsForLook, db::i32(QStringLiteral("SupplierID")), kOrderID, MaterialOrdersTable, kOrderID,
        QStringLiteral("SupplierID"));

    UndeliveredMaterialOrderItemsQry = query("UndeliveredMaterialOrderItemsQry",
        QStringLiteral("SELECT MaterialOrderItems.*, MaterialOrders.SupplierID, MaterialOrders.OrderCode, MaterialOrders.\"Date\" "
                       "FROM MaterialOrderItems, MaterialOrders WHERE (MaterialOrders.TransType = 0) "
                       "AND (MaterialOrderItems.QuantityDelivered < MaterialOrderItems.Quantity) "
                       "AND (MaterialOrders.OrderID = MaterialOrderItems.OrderID)"));
    lookup(UndeliveredMaterialOrderItemsQry, db::str(QStringLiteral("Supplier"), 20), QStringLiteral("SupplierID"), SuppliersTable,
        QStringLiteral("SupplierID"), QStringLiteral("Company"));
    lookup(UndeliveredMaterialOrderItemsQry, db::str(QStringLiteral("MaterialDescription"), 50), kMaterialID, MaterialsTable, kMaterialID,
        QStringLiteral("Description"));
    UndeliveredMaterialOrderItemsQry->addCalculatedField(db::str(QStringLiteral("DateAndOrderCode"), 100));
    UndeliveredMaterialOrderItemsSrc = sourceOf(UndeliveredMaterialOrderItemsQry);

    // The pending lines of the current supplier's orders, read by one statement bound to the
    // supplier (not a list of the orders' numbers).
    UndeliveredMaterialItemsPerSupplQry = query("UndeliveredMaterialItemsPerSupplQry",
        QStringLiteral("SELECT MaterialOrderItems.*, MaterialOrders.SupplierID, MaterialOrders.\"Date\", MaterialOrders.OrderCode "
                       "FROM MaterialOrderItems "
                       "INNER JOIN MaterialOrders "
                       "ON MaterialOrders.OrderID = MaterialOrderItems.OrderID WHERE MaterialOrders.TransType = 0 "
                       "AND MaterialOrders.SupplierID = :SupplierID "
                       "AND MaterialOrderItems.QuantityDelivered < MaterialOrderItems.Quantity ORDER BY MaterialOrderItems.OrderID, "
                       "MaterialOrderItems.ItemID"));
    followParameters(UndeliveredMaterialItemsPerSupplQry, SuppliersTable, {QStringLiteral("SupplierID")});
    UndeliveredMaterialItemsPerSupplQry->setCachedUpdates(true);
    UndeliveredMaterialItemsPerSupplQry->onFilterRecord.install(
        Stage::Area, QStringLiteral("UndeliveredMaterialItemsPerSupplQryFilter"), [](const db::Dataset& ds) {
            return ds.value(u"QuantityDelivered").toInt() < ds.value(u"Quantity").toInt();
        });
    lookup(UndeliveredMaterialItemsPerSupplQry, db::str(QStringLiteral("Supplier"), 20), QStringLiteral("SupplierID"), SuppliersTable,
        QStringLiteral("SupplierID"), QStringLiteral("Company"));
    lookup(UndeliveredMaterialItemsPerSupplQry, db::str(QStringLiteral("MaterialDescription"), 50), kMaterialID, MaterialsTable,
        kMaterialID, QStringLiteral("Description"));
    UndeliveredMaterialItemsPerSupplQry->addCalculatedField(db::str(QStringLiteral("DateAndOrderCode"), 100));
    UndeliveredMaterialItemsPerSupplSrc = sourceOf(UndeliveredMaterialItemsPerSupplQry);

    OrderedMaterialsQry = query("OrderedMaterialsQry",
        QStringLiteral("SELECT MaterialDB.MaterialID, MaterialDB.Description, SuppliersPerMaterial.SupplierID FROM MaterialDB "
                       "INNER JOIN SuppliersPerMaterial ON SuppliersPerMaterial.MaterialID = MaterialDB.MaterialID "
                       "WHERE SuppliersPerMaterial.SupplierID = :SupplierID ORDER BY MaterialDB.Description"));
    followParameters(OrderedMaterialsQry, SuppliersTable, {QStringLiteral("SupplierID")});

    // The labs belong here: the treatment history's look-ups and lab views need them.
    DentalLabTable = table("DentalLabTable", "DentalLabDB");
    DentalLabTable->setCachedUpdates(true);
    DentalLabSrc = sourceOf(DentalLabTable);
    DentalLabForLookTable = table("DentalLabForLookTable", "DentalLabDB");
}

void SuppliesArea::declareLabViews()
{
    const auto orders = [this](const char* name, int dentistSize, bool deliveries) {
        db::Dataset* view = table(name, "LabOrders");
        view->setOrderBy({QStringLiteral("LabID")});
        view->setMaster(DentalLabSrc, {QStringLiteral("DentalLabID")}, {QStringLiteral("LabID")});
        view->onFilterRecord.install(
            Stage::Area, QStringLiteral("onFilterRecord"), deliveries ? isDelivery : isOrder);
        view->setCachedUpdates(true);
        lookup(view, db::str(QStringLiteral("Dentist"), dentistSize), QStringLiteral("DocID"), lists().DentistsTable, QStringLiteral("DocID"),
            QStringLiteral("LastName"));
        return view;
    };
    LabOrdersTable = orders("LabOrdersTable", 50, false);
    LabOrdersSrc = sourceOf(LabOrdersTable);
    DeliveredLabOrdersTable = orders("DeliveredLabOrdersTable", 30, true);
    DeliveredLabOrdersSrc = sourceOf(DeliveredLabOrdersTable);

    const auto items = [this](const char* name, db::Dataset* master) {
        db::Dataset* view = table(name, "LabOrderItems");
        view->setIndexName(QStringLiteral("By Order"));
        view->setMaster(sourceOf(master), {kOrderID});
        view->setCachedUpdates(true);
        lookup(view, db::str(QStringLiteral("PatientName"), 61), QStringLiteral("PatientID"), patients().AllPatientsTable, QStringLiteral("PatientID"),
            QStringLiteral("Name"));
        lookup(view, db::str(QStringLiteral("Operation"), 40), QStringLiteral("OperID"), clinical().OperationsTableForLook, QStringLiteral("OperID"),
            QStringLiteral("Description"));
        view->addCalculatedField(db::str(QStringLiteral("OperationAndToothNo"), 80));
        return view;
    };
    LabOrderItemsTable = items("LabOrderItemsTable", LabOrdersTable);
    LabOrderItemsTable->addCalculatedField(db::boolean(QStringLiteral("Delivered")));
    LabOrderItemsSrc = sourceOf(LabOrderItemsTable);
    DeliveredLabOrderItemsTable = items("DeliveredLabOrderItemsTable", DeliveredLabOrdersTable);
    DeliveredLabOrderItemsSrc = sourceOf(DeliveredLabOrderItemsTable);
    UndeliveredLabOrdersToUpdateTable = table("UndeliveredLabOrdersToUpdateTable", "LabOrderItems");
    UndeliveredLabOrdersToUpdateTable->setCachedUpdates(true);

    UndeliveredLabOrdersQry = query("UndeliveredLabOrdersQry",
        QStringLiteral("SELECT LabOrderItems.*, LabOrders.OrderCode, LabOrders.\"Date\", LabOrders.LabID, DentalLabDB.Company AS DentalLab, "
                       "Patient.LastName, Patient.FirstName, Operations.Description FROM LabOrders, DentalLabDB, "
                       "(LabOrderItems LEFT OUTER JOIN Patient ON LabOrderItems.PatientID = Patient.PatientID) "
                       "LEFT OUTER JOIN Operations ON LabOrderItems.OperID = Operations.OperID WHERE (LabOrders.TransType = 0) "
                       "AND (LabOrders.OrderID = LabOrderItems.OrderID) AND (LabOrderItems.RelatedOrderItemID < 0) "
                       "AND (DentalLabDB.DentalLabID = LabOrders.LabID)"));
    UndeliveredLabOrdersQry->addCalculatedField(db::str(QStringLiteral("DateAndOrderCode"), 100));
    UndeliveredLabOrdersSrc = sourceOf(UndeliveredLabOrdersQry);

    UndeliveredOrderItemsPerLabQry = query("UndeliveredOrderItemsPerLabQry",
        QStringLiteral("SELECT LabOrderItems.*, LabOrders.LabID, LabOrders.\"Date\", LabOrders.OrderCode, Patient.LastName, "
                       "Patient.FirstName, Operations.Description FROM LabOrders, (LabOrderItems LEFT OUTER JOIN Patient "
                       "ON LabOrderItems.PatientID = Patient.PatientID) LEFT OUTER JOIN Operations ON LabOrderItems.OperID = "
                       "Operations.OperID WHERE (LabOrderItems.OrderID = LabOrders.OrderID) AND (LabOrders.TransType = 0) "
                       "AND (RelatedOrderItemID < 0) "
                       "AND (LabOrders.LabID = :DentalLabID)"));
    UndeliveredOrderItemsPerLabQry->onFilterRecord.install(Stage::Area,
        QStringLiteral("UndeliveredOrderItemsPerLabQry"),
        [](const db::Dataset& ds) { return ds.value(u"RelatedOrderItemID").toInt() < 0; });
    UndeliveredOrderItemsPerLabQry->addCalculatedField(db::str(QStringLiteral("DateAndOrderCode"), 100));
    followParameters(UndeliveredOrderItemsPerLabQry, DentalLabTable, {QStringLiteral("DentalLabID")});
    UndeliveredOrderItemsPerLabSrc = sourceOf(UndeliveredOrderItemsPerLabQry);

    PossibleLabOrderItemsQry = query("PossibleLabOrderItemsQry",
        QStringLiteral("SELECT History.ID, History.PatientID, History.OperID, Patient.LastName, Patient.FirstName, History.ToothNum, "
                       "Operations.Description AS Operation FROM (History LEFT OUTER JOIN Patient ON History.PatientID = "
                       "Patient.PatientID) LEFT OUTER JOIN Operations ON History.OperID = Operations.OperID "
                       "WHERE RequireLab = TRUE AND TreatmentLevel <> 0 AND Ordered = FALSE AND DentalLabID = :DentalLabID"));
    followParameters(PossibleLabOrderItemsQry, DentalLabTable, {QStringLiteral("DentalLabID")});
    PossibleLabOrderItemsSrc = sourceOf(PossibleLabOrderItemsQry);
}

void SuppliesArea::declareStorage()
{
    storeAlone(SuppliersTable);
    storeAlone(DentalLabTable);
    storeWithItems(MaterialOrdersTable, MaterialOrderItemsTable);
    storeWithItems(MaterialsTable, SuppliersPerMaterialTable);
    // An order or delivery of lab work also changes the history rows it covers and the
    // orders it delivers: those changes go and stay with it.
    const QList<db::Dataset*> labWork
        = { clinical().HistLabOrderItemsToUpdateTable, UndeliveredLabOrdersToUpdateTable };
    storeTogether({ .master = LabOrdersTable,
        .apply = QList<db::Dataset*> { LabOrdersTable, LabOrderItemsTable } + labWork,
        .flush = { LabOrdersTable, LabOrderItemsTable },
        .discard = QList<db::Dataset*> { LabOrdersTable, LabOrderItemsTable } + labWork });
    // A delivery, the order lines it completes, its ledger row and the supplier's (lab's)
    // balance are written in one transaction: a failure anywhere stores none of them.
    const auto delivery = [this](db::Dataset* master, db::Dataset* items,
                              const QList<db::Dataset*>& delivered, db::Dataset* ledger,
                              db::Dataset* counterpart) {
        const QList<db::Dataset*> views = QList<db::Dataset*> { master, items } + delivered;
        storeTogether({ .master = master,
            .apply = views + QList<db::Dataset*> { ledger },
            .flush = { master, items },
            .discard = views,
            .discardPending = { ledger, counterpart },
            .inTransaction
            = [this, master](db::UpdateGroup& update) { finance().storeDeliveryBalance(*master, update); } });
    };
    delivery(DeliveredMaterialsTable, DeliveredMatItemsTable, { MaterialOrderItemsForLook },
        finance().SupplierEconomTable, SuppliersTable);
    delivery(DeliveredLabOrdersTable, DeliveredLabOrderItemsTable, labWork, finance().LabEconomTable,
        DentalLabTable);

    for (db::Dataset* supplier : { DentalLabTable, SuppliersTable }) {
        carriesMoney(supplier, { "Balance" });
        // Summed afresh from the ledger at each delivery and payment.
        supplier->setRecomputedFields({ QStringLiteral("Balance"), QStringLiteral("BalanceEURO") });
    }
    carriesMoney(SuppliersPerMaterialTable, { "Price", "OldPrice" });
    for (db::Dataset* items : { MaterialOrderItemsTable, DeliveredMatItemsTable })
        carriesMoney(items, { "Price", "UnitPrice" });
    for (db::Dataset* items : { LabOrderItemsTable, DeliveredLabOrderItemsTable })
        carriesMoney(items, { "OrderPrice" });
    for (db::Dataset* order :
        { MaterialOrdersTable, DeliveredMaterialsTable, LabOrdersTable, DeliveredLabOrdersTable })
        carriesMoney(order, { "TotalPrice" });
}

void SuppliesArea::installRules()
{
    installSupplyRules();
    installLabRules();
    for (db::Dataset* view : {UndeliveredMaterialOrderItemsQry, UndeliveredMaterialItemsPerSupplQry, UndeliveredLabOrdersQry,
             UndeliveredOrderItemsPerLabQry})
        view->onCalcFields.install(Stage::Area, QStringLiteral("onCalcFields"), calcDateAndOrderCode);
    const auto operationAndTooth = [this](db::Dataset& ds) {
        ds.setValue(u"OperationAndToothNo",
            ds.value(u"Operation").toString() + QStringLiteral(" - ") + message(QStringLiteral("Tooth No.")) + QLatin1Char(' ')
                + ds.value(u"ToothNum").toString());
    };
    DeliveredLabOrderItemsTable->onCalcFields.install(
        Stage::Area, QStringLiteral("DeliveredLabOrderItemsTable"), operationAndTooth);
    LabOrderItemsTable->onCalcFields.install(
        Stage::Area, QStringLiteral("LabOrderItemsTable"), [operationAndTooth](db::Dataset& ds) {
            operationAndTooth(ds);
            // The delivery job's ItemID once received (identifiers start at 1); -1 while pending.
            ds.setValue(u"Delivered", ds.value(u"RelatedOrderItemID").toInt() > 0);
        });
}

// Record rules of suppliers, materials and their prices, material orders and deliveries.

namespace {

const QString kSupplierID = QStringLiteral("SupplierID");
const QString kItemID = QStringLiteral("ItemID");

constexpr double kMostUnits = 1000000;
constexpr double kMostPrice = 1e9;

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

void SuppliesArea::installSupplyRules()
{
    installRule(SuppliersTable->onNewRecord, &SuppliesArea::SuppliersTableNewRecord, QStringLiteral("SuppliersTableNewRecord"));
    installRule(SuppliersTable->beforeDelete, &SuppliesArea::SuppliersTableBeforeDelete, QStringLiteral("SuppliersTableBeforeDelete"));

    installRule(MaterialsTable->onNewRecord, &SuppliesArea::MaterialsTableNewRecord, QStringLiteral("MaterialsTableNewRecord"));
    MaterialsTable->beforeEdit.install(Stage::Area, QStringLiteral("MaterialsTable"),
        [this](db::Dataset& ds) { rememberKey(ds, kMaterialID); });
    installRule(MaterialsTable->beforePost, &SuppliesArea::MaterialsTableBeforePost, QStringLiteral("MaterialsTableBeforePost"));
    installRule(MaterialsTable->beforeDelete, &SuppliesArea::MaterialsTableBeforeDelete, QStringLiteral("MaterialsTableBeforeDelete"));
    installRule(SuppliersPerMaterialTable->onNewRecord, &SuppliesArea::SuppliersPerMaterialTableNewRecord, QStringLiteral("SuppliersPerMaterialTableNewRecord"));
    installRule(SuppliersPerMaterialTable->beforeEdit, &SuppliesArea::SuppliersPerMaterialTableBeforeEdit, QStringLiteral("SuppliersPerMaterialTableBeforeEdit"));
    installRule(SuppliersPerMaterialTable->beforePost, &SuppliesArea::SuppliersPerMaterialTableBeforePost, QStringLiteral("SuppliersPerMaterialTableBeforePost"));

    for (db::Dataset* header : {MaterialOrdersTable, DeliveredMaterialsTable}) {
        installRule(header->beforeInsert, &SuppliesArea::MaterialOrdersTableBeforeInsert, QStringLiteral("MaterialOrdersTableBeforeInsert"));
        installRule(header->onNewRecord, &SuppliesArea::MaterialOrdersTableNewRecord, QStringLiteral("MaterialOrdersTableNewRecord"));
    }
    installRule(MaterialOrdersTable->beforePost, &SuppliesArea::MaterialOrdersTableBeforePost, QStringLiteral("MaterialOrdersTableBeforePost"));
    installRule(MaterialOrdersTable->beforeDelete, &SuppliesArea::MaterialOrdersTableBeforeDelete, QStringLiteral("MaterialOrdersTableBeforeDelete"));
    installRule(DeliveredMaterialsTable->beforePost, &SuppliesArea::DeliveredMaterialsTableBeforePost, QStringLiteral("DeliveredMaterialsTableBeforePost"));
    installRule(DeliveredMaterialsTable->beforeDelete, &SuppliesArea::DeliveredMaterialsTableBeforeDelete, QStringLiteral("DeliveredMaterialsTableBeforeDelete"));

    for (db::Dataset* lines : {MaterialOrderItemsTable, DeliveredMatItemsTable}) {
        installRule(lines->onNewRecord, &SuppliesArea::MaterialOrderItemsTableNewRecord, QStringLiteral("MaterialOrderItemsTableNewRecord"));
        lines->onFieldChange.install(Stage::Area, QStringLiteral("MaterialOrderItemsTableFieldChange"),
            [this](db::Dataset& ds, const QString& name) { MaterialOrderItemsTableFieldChange(ds, name); });
    }
    installRule(MaterialOrderItemsTable->beforePost, &SuppliesArea::refuseBadLine, QStringLiteral("MaterialOrderItemsTableBeforePost"));
    installRule(DeliveredMatItemsTable->beforePost, &SuppliesArea::DeliveredMatItemsTableBeforePost, QStringLiteral("DeliveredMatItemsTableBeforePost"));
    installRule(DeliveredMatItemsTable->beforeDelete, &SuppliesArea::DeliveredMatItemsTableBeforeDelete, QStringLiteral("DeliveredMatItemsTableBeforeDelete"));
    // The order lines a delivery line completes (MaterialOrderItemsForLook) are stored with the
    // delivery's group, or dropped with it.
}

void SuppliesArea::SuppliersTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(kSupplierID, NextID(QStringLiteral("LastSupplTable")));
    DataSet.setValue(u"Balance", 0.0);
    DataSet.setValue(u"BalanceEURO", 0.0);
}

void SuppliesArea::SuppliersTableBeforeDelete(db::Dataset& DataSet)
{
    const QVariant supplier = DataSet.value(kSupplierID);
    {
        const auto noBalance = finance().deletingCounterpart();
        deleteAllRows(*MaterialsPerSupplierTable);
        deleteAllRows(*MaterialOrdersTable);
        deleteAllRows(*DeliveredMaterialsTable);
        deleteAllRows(*finance().SupplierEconomTable);
    }
    // Storing those may have read the suppliers again: the row to delete is this supplier's.
    if (!DataSet.isEditing() && DataSet.value(kSupplierID) != supplier && !DataSet.locate(kSupplierID, supplier))
        throw db::Abort();
}

void SuppliesArea::MaterialsTableNewRecord(db::Dataset& DataSet)
{
    // The catalogue shares the patient book's series and keeps the number as text.
    DataSet.setValue(kMaterialID, QString::number(NextID(QStringLiteral("LastMaterialTable"))));
    DataSet.setValue(u"MedicalUse", true);
}

void SuppliesArea::MaterialsTableBeforePost(db::Dataset& DataSet)
{
    refuseDuplicateKey(DataSet, kMaterialID);
}

void SuppliesArea::MaterialsTableBeforeDelete(db::Dataset&)
{
    deleteAllRows(*SuppliersPerMaterialTable);
}

void SuppliesArea::SuppliersPerMaterialTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"ID", NextID(QStringLiteral("LastSupPerMaterialTable")));
    DataSet.setValue(u"Price", 0.0);
    DataSet.setValue(u"PriceEURO", 0.0);
    DataSet.setValue(u"PriceDate", QDate::currentDate());
}

void SuppliesArea::SuppliersPerMaterialTableBeforeEdit(db::Dataset& DataSet)
{
    m_priceAtEdit = amount(DataSet, u"Price");
    m_priceEuroAtEdit = amount(DataSet, u"PriceEURO");
}

void SuppliesArea::SuppliersPerMaterialTableBeforePost(db::Dataset& DataSet)
{
    // A new price row has no earlier price. The price compared is the one the user typed: a
    // change of the rate alone is no new price.
    if (DataSet.state() != db::DatasetState::Edit)
        return;
    const bool euro = dm().money().euroMode();
    if (amount(DataSet, euro ? u"PriceEURO" : u"Price") == (euro ? m_priceEuroAtEdit : m_priceAtEdit))
        return;
    DataSet.setValue(u"OldPrice", m_priceAtEdit);
    DataSet.setValue(u"OldPriceEURO", m_priceEuroAtEdit);
    DataSet.setValue(u"OldPriceDate", DataSet.value(u"PriceDate"));
    DataSet.setValue(u"PriceDate", QDate::currentDate());
}

void SuppliesArea::MaterialOrdersTableBeforeInsert(db::Dataset&)
{
    if (hasRows(*SuppliersTable))
        return;
    platform::showWarning(message(QStringLiteral("Suppliers File is Empty!")));
    throw db::Abort();
}

void SuppliesArea::MaterialOrdersTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(kOrderID, NextID(QStringLiteral("LastMaterialOrderTable")));
    DataSet.setValue(u"TotalItems", 0);
    DataSet.setValue(u"Date", QDate::currentDate());
    DataSet.setValue(u"DocID", dm().defaultDentist());
    DataSet.setValue(u"TransType", &DataSet == DeliveredMaterialsTable ? 1 : 0);
}

void SuppliesArea::sumOrderLines(db::Dataset& header, db::Dataset& lines, const QString& priceField)
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

void SuppliesArea::MaterialOrdersTableBeforePost(db::Dataset& DataSet)
{
    sumOrderLines(DataSet, *MaterialOrderItemsTable, QStringLiteral("Price"));
}

void SuppliesArea::MaterialOrdersTableBeforeDelete(db::Dataset&)
{
    deleteAllRows(*MaterialOrderItemsTable);
}

void SuppliesArea::DeliveredMaterialsTableBeforePost(db::Dataset& DataSet)
{
    sumOrderLines(DataSet, *DeliveredMatItemsTable, QStringLiteral("Price"));
    dm().ConvertTwins(DataSet);
    finance().DeliveryTransaction(DataSet);
}

void SuppliesArea::DeliveredMaterialsTableBeforeDelete(db::Dataset& DataSet)
{
    finance().deleteDeliveryTransaction(DataSet, *finance().SupplierEconomTable);
    deleteAllRows(*DeliveredMatItemsTable);
}

void SuppliesArea::MaterialOrderItemsTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(kItemID, NextID(QStringLiteral("LastMaterialOrderItemTable")));
    DataSet.setValue(u"QuantityDelivered", 0);
    DataSet.setValue(u"Discount", 0.0);
    DataSet.setValue(u"Quantity", 0);
    DataSet.setValue(u"RelatedOrderItemID", -1);
}

void SuppliesArea::MaterialOrderItemsTableFieldChange(db::Dataset& DataSet, const QString& fieldName)
{
    if (dm().convertingTwins())
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
        computeLineTotal(DataSet, delivery, dm().money().euroMode());
}

void SuppliesArea::DeliveredMatItemsTableBeforePost(db::Dataset& DataSet)
{
    // The order line this line delivers: what was outstanding when the line was made, less
    // what this line brings. Posting the line again recomputes from the same snapshot.
    refuseBadLine(DataSet);
    const int related = DataSet.value(u"RelatedOrderItemID").toInt();
    if (related <= 0)
        return;
    const bool found = changeRow(*MaterialOrderItemsForLook, kItemID, related, [&DataSet](db::Dataset& orderLine) {
        orderLine.setValue(u"QuantityDelivered",
            orderLine.value(u"Quantity").toInt() - DataSet.value(u"Quantity").toInt() + DataSet.value(u"QuantityDelivered").toInt());
    });
    // A new line cannot deliver an order item that is gone; a line stored before its order was
    // deleted is still the practice's record of what came, and is stored with nothing to update.
    if (!found && DataSet.state() == db::DatasetState::Insert) {
        platform::showError(message(QStringLiteral("The ordered item this line delivers has been deleted by another workstation.")));
        throw db::Abort();
    }
}

void SuppliesArea::refuseLine(const char* text) const
{
    platform::showError(message(QLatin1String(text)));
    throw db::Abort();
}

void SuppliesArea::refuseBadLine(db::Dataset& DataSet)
{
    // Amounts a typing slip makes: negative, a discount or tax past 100 %, absurd quantities.
    for (QStringView name : {u"Quantity", u"QuantityDelivered"}) {
        const double q = amount(DataSet, name);
        if (q < 0 || q > kMostUnits)
            refuseLine("The quantity must be between 0 and 1000000.");
    }
    for (QStringView name : {u"UnitPrice", u"UnitPriceEURO"}) {
        const double price = amount(DataSet, name);
        if (price < 0 || price > kMostPrice)
            refuseLine("The unit price must not be negative.");
    }
    const double discount = amount(DataSet, u"Discount");
    if (discount < 0 || discount > 100)
        refuseLine("The discount must be between 0 and 100.");
    const double tax = amount(DataSet, u"Tax");
    if (tax < 0 || tax > 100)
        refuseLine("The tax must be between 0 and 100.");
}

void SuppliesArea::DeliveredMatItemsTableBeforeDelete(db::Dataset& DataSet)
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

// Record rules of dental labs, lab orders and deliveries.

namespace {

const QString kDentalLabID = QStringLiteral("DentalLabID");

} // namespace

void SuppliesArea::installLabRules()
{
    installRule(DentalLabTable->onNewRecord, &SuppliesArea::DentalLabTableNewRecord, QStringLiteral("DentalLabTableNewRecord"));
    DentalLabTable->beforeEdit.install(Stage::Area, QStringLiteral("DentalLabTable"),
        [this](db::Dataset& ds) { rememberKey(ds, kDentalLabID); });
    installRule(DentalLabTable->beforePost, &SuppliesArea::DentalLabTableBeforePost, QStringLiteral("DentalLabTableBeforePost"));
    installRule(DentalLabTable->beforeDelete, &SuppliesArea::DentalLabTableBeforeDelete, QStringLiteral("DentalLabTableBeforeDelete"));

    for (db::Dataset* header : {LabOrdersTable, DeliveredLabOrdersTable}) {
        installRule(header->beforeInsert, &SuppliesArea::LabOrdersTableBeforeInsert, QStringLiteral("LabOrdersTableBeforeInsert"));
        installRule(header->onNewRecord, &SuppliesArea::LabOrdersTableNewRecord, QStringLiteral("LabOrdersTableNewRecord"));
    }
    installRule(LabOrdersTable->beforePost, &SuppliesArea::LabOrdersTableBeforePost, QStringLiteral("LabOrdersTableBeforePost"));
    installRule(LabOrdersTable->beforeDelete, &SuppliesArea::LabOrdersTableBeforeDelete, QStringLiteral("LabOrdersTableBeforeDelete"));
    installRule(DeliveredLabOrdersTable->beforePost, &SuppliesArea::DeliveredLabOrdersTableBeforePost, QStringLiteral("DeliveredLabOrdersTableBeforePost"));
    installRule(DeliveredLabOrdersTable->beforeDelete, &SuppliesArea::DeliveredLabOrdersTableBeforeDelete, QStringLiteral("DeliveredLabOrdersTableBeforeDelete"));
    for (db::Dataset* jobs : {LabOrderItemsTable, DeliveredLabOrderItemsTable}) {
        installRule(jobs->onNewRecord, &SuppliesArea::LabOrderItemsTableNewRecord, QStringLiteral("LabOrderItemsTableNewRecord"));
        installRule(jobs->beforePost, &SuppliesArea::refuseBadJob, QStringLiteral("LabOrderItemsTableBeforePost"));
    }
    installRule(LabOrderItemsTable->beforeDelete, &SuppliesArea::LabOrderItemsTableBeforeDelete, QStringLiteral("LabOrderItemsTableBeforeDelete"));
    installRule(DeliveredLabOrderItemsTable->beforeDelete, &SuppliesArea::DeliveredLabOrderItemsTableBeforeDelete, QStringLiteral("DeliveredLabOrderItemsTableBeforeDelete"));
    // The treatments and order jobs a removed job gives back are stored with its header's
    // group, or dropped with it.
}

void SuppliesArea::refuseBadJob(db::Dataset& DataSet)
{
    // A lab job is priced whole: within what a material line may cost.
    for (QStringView name : {u"OrderPrice", u"OrderPriceEURO"}) {
        const double price = amount(DataSet, name);
        if (price < 0 || price > kMostPrice)
            refuseLine("The price of the job must be between 0 and 1000000000.");
    }
}

void SuppliesArea::DentalLabTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(kDentalLabID, NextID(QStringLiteral("LastDentLabTable")));
    DataSet.setValue(u"Balance", 0.0);
    DataSet.setValue(u"BalanceEURO", 0.0);
}

void SuppliesArea::DentalLabTableBeforePost(db::Dataset& DataSet)
{
    refuseDuplicateKey(DataSet, kDentalLabID);
}

void SuppliesArea::DentalLabTableBeforeDelete(db::Dataset& DataSet)
{
    const QVariant lab = DataSet.value(kDentalLabID);
    {
        const auto noBalance = finance().deletingCounterpart();
        deleteAllRows(*LabOrdersTable);
        deleteAllRows(*DeliveredLabOrdersTable);
        deleteAllRows(*finance().LabEconomTable);
    }
    if (!DataSet.isEditing() && DataSet.value(kDentalLabID) != lab && !DataSet.locate(kDentalLabID, lab))
        throw db::Abort();
}

void SuppliesArea::LabOrdersTableBeforeInsert(db::Dataset&)
{
    if (hasRows(*DentalLabTable))
        return;
    platform::showWarning(message(QStringLiteral("Dental Labs File is Empty!")));
    throw db::Abort();
}

void SuppliesArea::LabOrdersTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(kOrderID, NextID(QStringLiteral("LastLabOrderTable")));
    DataSet.setValue(u"Date", QDate::currentDate());
    DataSet.setValue(u"DocID", dm().defaultDentist());
    DataSet.setValue(u"LabID", currentValue(*DentalLabTable, kDentalLabID));
    DataSet.setValue(u"TransType", &DataSet == DeliveredLabOrdersTable ? 1 : 0);
    DataSet.setValue(u"TotalPrice", 0.0);
    DataSet.setValue(u"TotalPriceEURO", 0.0);
    DataSet.setValue(u"TotalItems", 0);
}

void SuppliesArea::LabOrdersTableBeforePost(db::Dataset& DataSet)
{
    sumOrderLines(DataSet, *LabOrderItemsTable, QStringLiteral("OrderPrice"));
}

void SuppliesArea::LabOrdersTableBeforeDelete(db::Dataset&)
{
    deleteAllRows(*LabOrderItemsTable);
}

void SuppliesArea::DeliveredLabOrdersTableBeforePost(db::Dataset& DataSet)
{
    sumOrderLines(DataSet, *DeliveredLabOrderItemsTable, QStringLiteral("OrderPrice"));
    dm().ConvertTwins(DataSet);
    finance().DeliveryTransaction(DataSet);
}

void SuppliesArea::DeliveredLabOrdersTableBeforeDelete(db::Dataset& DataSet)
{
    finance().deleteDeliveryTransaction(DataSet, *finance().LabEconomTable);
    deleteAllRows(*DeliveredLabOrderItemsTable);
}

void SuppliesArea::LabOrderItemsTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"ItemID", NextID(QStringLiteral("LastLabOrderItemTable")));
    DataSet.setValue(u"RelatedOrderItemID", -1);
}

void SuppliesArea::LabOrderItemsTableBeforeDelete(db::Dataset& DataSet)
{
    // The treatment may be ordered again.
    changeRow(*clinical().HistLabOrderItemsToUpdateTable, QStringLiteral("ID"), DataSet.value(u"HistoryID"),
        [](db::Dataset& history) { history.setValue(u"Ordered", false); });
}

void SuppliesArea::DeliveredLabOrderItemsTableBeforeDelete(db::Dataset& DataSet)
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

void SuppliesArea::suspendLabItemsRefresh()
{
    ++m_labItemsHeld;
}

void SuppliesArea::resumeLabItemsRefresh()
{
    if (m_labItemsHeld > 0 && --m_labItemsHeld == 0)
        refreshLabItems();
}

void SuppliesArea::refreshLabItems()
{
    if (m_labItemsHeld == 0 && PossibleLabOrderItemsQry->isActive())
        PossibleLabOrderItemsQry->refresh();
}

} // namespace data
