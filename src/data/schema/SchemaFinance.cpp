#include "data/schema/SchemaAreas.h"

namespace data::schema {

// The ledgers of patients and of the practice. The field order is the record format: keep it.
QList<db::TableDef> financeTables()
{
    QList<db::TableDef> tables;

    tables.append({"DentEconomics",
        {
            db::i32("EconomID"),
            db::i32("DentistID"),
            db::date("Date"),
            db::i16("TransactionType"),
            db::i32("SupplierID"),
            db::i32("LabID"),
            db::str("SourceName", 50),
            db::i16("Sign"),
            db::f64("Credit"),
            db::f64("CreditEURO"),
            db::str("Description", 60),
            db::str("ReceiptNo", 15),
            db::i16("PaymentType"),
            db::str("PaymentText", 40),
            db::date("DueDate"),
            db::i32("HistoryID"),
            db::boolean("IOFld", " "),
            db::f64("ReceiptCredit"),
            db::f64("ReceiptCreditEURO"),
        },
        "EconomID",
        {{"Date", {"Date"}}, {"SupplierID", {"SupplierID"}}, {"LabID", {"LabID"}}}});

    tables.append({"PatEconomics",
        {
            db::i32("EconomID"),
            db::i32("DentistID"),
            db::date("Date"),
            db::i32("PatientID"),
            db::i32("SessionID"),
            db::str("SourceName", 50),
            db::i16("Sign"),
            db::f64("Credit"),
            db::f64("CreditEURO"),
            db::str("Description", 60),
            db::str("ReceiptNo", 15),
            db::i16("PaymentType"),
            db::str("PaymentText", 40),
            db::date("DueDate"),
            db::i32("HistoryID"),
            db::i32("ChildID"),
            db::boolean("IOFld"),
            db::f64("ReceiptCredit"),
            db::f64("ReceiptCreditEURO"),
        },
        "EconomID",
        {{"SessionID", {"SessionID"}}, {"HistoryID", {"HistoryID"}}}});
    return tables;
}

} // namespace data::schema
