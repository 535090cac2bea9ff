#include "data/schema/SchemaAreas.h"

namespace data::schema {

// Suppliers, materials, labs and their orders. The field order is the record format: keep it.
QList<db::TableDef> suppliesTables()
{
    QList<db::TableDef> tables;

    tables.append({"Suppliers",
        {
            db::i32("SupplierID", "Supplier ID"),
            db::str("Company", 20, "Supplier"),
            db::str("Contact", 30),
            db::str("Address", 40),
            db::str("Province", 20),
            db::i32("CityID", "City ID"),
            db::str("Zip", 9),
            db::str("VAT", 12),
            db::str("Phone1", 12, "Phone 1"),
            db::str("Phone2", 12, "Phone 2"),
            db::str("CellTel", 12, "Cellular"),
            db::str("Fax", 12),
            db::str("Email", 40),
            db::str("Web", 40),
            db::f64("Balance"),
            db::f64("BalanceEURO", "Balance (EURO)"),
        },
        "SupplierID",
        {{"By Name", {"Company"}}}});

    tables.append({"MaterialDB",
        {
            db::str("MaterialID", 20),
            db::str("Description", 50),
            db::str("Packaging", 10),
            db::i32("Quantity"),
            db::str("Unit", 5),
            db::boolean("MedicalUse"),
        },
        "MaterialID",
        {{"Description", {"Description"}}}});

    tables.append({"SuppliersPerMaterial",
        {
            db::i32("ID"),
            db::i32("SupplierID"),
            db::str("MaterialID", 20),
            db::f64("Price"),
            db::f64("PriceEURO"),
            db::date("PriceDate"),
            db::f64("OldPrice"),
            db::f64("OldPriceEURO"),
            db::date("OldPriceDate"),
        },
        "ID",
        {{"By Material", {"MaterialID"}}, {"By Supplier", {"SupplierID"}}}});

    tables.append({"MaterialOrders",
        {
            db::i32("OrderID"),
            db::i32("DocID"),
            db::i32("SupplierID"),
            db::memo("Notes", 80),
            db::date("Date"),
            db::str("OrderCode", 10),
            db::i32("TotalItems"),
            db::f64("TotalPrice"),
            db::f64("TotalPriceEURO"),
            db::i16("TransType"),
        },
        "OrderID",
        {{"SupplierID", {"SupplierID"}}}});

    tables.append({"MaterialOrderItems",
        {
            db::i32("ItemID"),
            db::i32("OrderID"),
            db::str("MaterialID", 20),
            db::f64("UnitPrice"),
            db::f64("UnitPriceEURO"),
            db::i32("Quantity"),
            db::i32("QuantityDelivered"),
            db::f64("Discount"),
            db::f64("Price"),
            db::f64("PriceEURO"),
            db::i32("RelatedOrderItemID"),
            db::f64("Tax"),
        },
        "ItemID",
        {{"by Order", {"OrderID"}}}});

    tables.append({"DentalLabDB",
        {
            db::i32("DentalLabID"),
            db::str("Company", 30),
            db::str("Contact", 30),
            db::str("Phone1", 12, "Phone 1"),
            db::str("Phone2", 12, "Phone 2"),
            db::str("Fax", 12),
            db::str("CellTel", 12, "Cellular"),
            db::str("Address", 50),
            db::str("Zip", 9),
            db::str("Province", 30),
            db::f64("Balance"),
            db::f64("BalanceEURO", "Balance (EURO)"),
            db::str("Email", 40),
            db::memo("Notes", 200),
            db::str("VAT", 25),
            db::i32("CityID"),
        },
        "DentalLabID",
        {}});

    tables.append({"LabOrders",
        {
            db::i32("OrderID"),
            db::i32("DocID"),
            db::i32("LabID"),
            db::memo("Notes", 80),
            db::date("Date"),
            db::str("OrderCode", 10),
            db::f64("TotalPrice"),
            db::f64("TotalPriceEURO"),
            db::i32("TotalItems"),
            db::i16("TransType"),
        },
        "OrderID",
        {{"LabID", {"LabID"}}}});

    tables.append({"LabOrderItems",
        {
            db::i32("ItemID"),
            db::i32("OrderID"),
            db::i32("HistoryID"),
            db::str("OrderWhat", 200),
            db::f64("OrderPrice"),
            db::f64("OrderPriceEURO"),
            db::date("EstimatedDeliveryDate"),
            db::i32("PatientID"),
            db::i32("OperID"),
            db::i16("ToothNum"),
            db::i32("RelatedOrderItemID"),
        },
        "ItemID",
        {{"By Order", {"OrderID"}}, {"EstimatedDelivery", {"EstimatedDeliveryDate"}}}}); // lab jobs due on a day
    return tables;
}

} // namespace data::schema
