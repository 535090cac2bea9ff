// The views of suppliers, materials, dental labs and their orders and deliveries.

#include "data/DmUnit.h"

#include "db/DataSource.h"
#include "widgets/Language.h"

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
    QString text = date.isValid() ? QLocale().toString(date, QLocale::ShortFormat) : QString();
    if (!code.isEmpty())
        text += QStringLiteral(" - ") + code;
    ds.setValue(u"DateAndOrderCode", text);
}

} // namespace

void TDmForm::declareSuppliesViews()
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
    DentalMaterialsTable->onFilterRecord = [](const db::Dataset& ds) { return ds.value(u"MedicalUse").toBool(); };
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
        view->onFilterRecord = deliveries ? isDelivery : isOrder;
        view->setCachedUpdates(true);
        lookup(view, db::str(QStringLiteral("Dentist"), dentistSize), QStringLiteral("DocID"), DentistsTable, QStringLiteral("DocID"),
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

    // Its statement is rebuilt for the current supplier's orders when the supplier changes.
    UndeliveredMaterialItemsPerSupplQry = query("UndeliveredMaterialItemsPerSupplQry", QStringLiteral("SELECT * FROM MaterialOrderItems"));
    UndeliveredMaterialItemsPerSupplQry->setCachedUpdates(true);
    UndeliveredMaterialItemsPerSupplQry->onFilterRecord
        = [](const db::Dataset& ds) { return ds.value(u"QuantityDelivered").toInt() < ds.value(u"Quantity").toInt(); };
    lookup(UndeliveredMaterialItemsPerSupplQry, db::str(QStringLiteral("MaterialDescription"), 50), kMaterialID, MaterialsTable,
        kMaterialID, QStringLiteral("Description"));
    lookup(UndeliveredMaterialItemsPerSupplQry, db::date(QStringLiteral("Date")), kOrderID, MaterialOrdersTable, kOrderID,
        QStringLiteral("Date"));
    lookup(UndeliveredMaterialItemsPerSupplQry, db::str(QStringLiteral("OrderCode"), 10), kOrderID, MaterialOrdersTable, kOrderID,
        QStringLiteral("OrderCode"));
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

void TDmForm::declareLabViews()
{
    const auto orders = [this](const char* name, int dentistSize, bool deliveries) {
        db::Dataset* view = table(name, "LabOrders");
        view->setOrderBy({QStringLiteral("LabID")});
        view->setMaster(DentalLabSrc, {QStringLiteral("DentalLabID")}, {QStringLiteral("LabID")});
        view->onFilterRecord = deliveries ? isDelivery : isOrder;
        view->setCachedUpdates(true);
        lookup(view, db::str(QStringLiteral("Dentist"), dentistSize), QStringLiteral("DocID"), DentistsTable, QStringLiteral("DocID"),
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
        lookup(view, db::str(QStringLiteral("PatientName"), 61), QStringLiteral("PatientID"), AllPatientsTable, QStringLiteral("PatientID"),
            QStringLiteral("Name"));
        lookup(view, db::str(QStringLiteral("Operation"), 40), QStringLiteral("OperID"), OperationsTableForLook, QStringLiteral("OperID"),
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
                       "Operations.OperID WHERE (LabOrderItems.OrderID = LabOrders.OrderID) AND (RelatedOrderItemID < 0) "
                       "AND (LabOrders.LabID = :DentalLabID)"));
    UndeliveredOrderItemsPerLabQry->onFilterRecord = [](const db::Dataset& ds) { return ds.value(u"RelatedOrderItemID").toInt() < 0; };
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

void TDmForm::installSuppliesRules()
{
    for (db::Dataset* view : {UndeliveredMaterialOrderItemsQry, UndeliveredMaterialItemsPerSupplQry, UndeliveredLabOrdersQry,
             UndeliveredOrderItemsPerLabQry})
        view->onCalcFields = calcDateAndOrderCode;
    const auto operationAndTooth = [this](db::Dataset& ds) {
        ds.setValue(u"OperationAndToothNo",
            ds.value(u"Operation").toString() + QStringLiteral(" - ") + Lang->Message(QStringLiteral("Tooth No.")) + QLatin1Char(' ')
                + ds.value(u"ToothNum").toString());
    };
    DeliveredLabOrderItemsTable->onCalcFields = operationAndTooth;
    LabOrderItemsTable->onCalcFields = [operationAndTooth](db::Dataset& ds) {
        operationAndTooth(ds);
        const QVariant related = ds.value(u"RelatedOrderItemID");
        ds.setValue(u"Delivered", !related.isNull() && related.toInt() != -1);
    };
}

} // namespace data
