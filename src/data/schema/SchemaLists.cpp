#include "data/schema/SchemaAreas.h"

namespace data::schema {

// Appointments, dentists, prescriptions, reminders and the small lists. The field order is the record format: keep it.
QList<db::TableDef> listTables()
{
    QList<db::TableDef> tables;

    tables.append({"Appointments",
        {
            db::i32("AppID"),
            db::date("Date"),
            db::i32("Duration"),
            db::str("StartTime", 7),
            db::i32("PatID"),
            db::memo("Details", 200),
            db::i32("DocID"),
            db::str("PatName", 61),
            db::str("AppointmentType", 30, "Appointment Type"),
        },
        "AppID",
        {{"Date", {"Date"}}, {"DocDate", {"DocID", "Date"}}}}); // a dentist's week, read by the book

    tables.append({"AppointmentTypes",
        {
            db::str("AppointmentType", 30, "Appointment Type"),
            db::f64("ColorIndex", "Color"),
        },
        {},
        {}});

    tables.append({"Doctors",
        {
            db::i32("DocID"),
            db::str("LastName", 30),
            db::str("FirstName", 30),
            db::str("Phone", 24),
            db::str("Fax", 24),
            db::str("Mobile", 24),
            db::str("Address", 50),
            db::i32("CityID"),
            db::str("Zip", 9),
            db::str("ClinicName", 40),
            db::FieldDef{"WorkingHoursSet", db::FieldType::Binary, 32, {}},
            db::str("Specialty", 50),
        },
        "DocID",
        {}});

    tables.append({"Medicines",
        {
            db::i32("ID"),
            db::str("Name", 100),
            db::str("Category", 50),
            db::str("Morph", 40),
            db::str("Quantity", 20),
            db::str("Drastic", 100),
            db::memo("Indication", 200),
            db::memo("ContraIndication", 200),
            db::memo("Instructions", 200),
            db::f64("RetailPrice", "Retail Price"),
            db::f64("RetailPriceEURO", "Retail Price (EURO)"),
            db::f64("TradePrice", "Trade Price"),
            db::f64("TradePriceEURO", "Trade Price (EURO)"),
            db::f64("HospitalPrice", "Hospital Price"),
            db::f64("HospitalPriceEURO", "Hospital Price (EURO)"),
            db::memo("Comments", 200),
            db::str("Company", 50, "Med. Company"),
            db::str("EOF", 10),
            db::boolean("Shown"),
        },
        "ID",
        {}});

    tables.append({"Prescriptions",
        {
            db::i32("PrescriptionID"),
            db::date("Date"),
            db::str("Name", 100),
            db::memo("Comments", 200),
            db::i32("PatientID"),
        },
        "PrescriptionID",
        {{"PrescriptionsPatID", {"PatientID"}}}});

    tables.append({"PrescrItems",
        {
            db::i32("PrescrItemID"),
            db::i32("PrescriptionID"),
            db::i32("MedicineID"),
            db::str("Amount", 50),
            db::str("Morph", 40),
            db::str("Instructions", 100),
        },
        "PrescrItemID",
        {{"By Prescription", {"PrescriptionID"}}}});

    tables.append({"Phones",
        {
            db::i32("ID"),
            db::str("LastName", 30),
            db::str("FirstName", 30),
            db::str("FatherName", 30, "Father's Name"),
            db::str("Address", 40),
            db::i32("CityID"),
            db::str("Zip", 9),
            db::str("Phone", 24),
            db::str("JobPhone", 24),
            db::str("Mobile", 24, "Cellular"),
            db::str("Fax", 24),
            db::memo("Comments", 240),
        },
        "ID",
        {{"By Name", {"LastName", "FirstName"}}}});

    tables.append({"Reminders",
        {
            db::i32("ReminderID"),
            db::date("Date"),
            db::memo("Comments", 240),
            db::boolean("RemForEveryYear"),
            db::date("DeleteDate"),
            db::boolean("RemForEveryMonth"),
            db::i16("DurationDays"),
        },
        "ReminderID",
        {{"DeleteDate", {"DeleteDate"}}}});

    tables.append({"NameDays",
        {
            db::i32("ID"),
            db::i16("Day"),
            db::i16("Month"),
            db::str("Name", 40),
            db::boolean("DayOff", "Holiday"),
        },
        "ID",
        {{"MonthDay", {"Month", "Day"}}}});

    tables.append({"Recalls",
        {
            db::i32("RecallID"),
            db::date("RecallDate", "Recall Date"),
            db::i32("PatientID"),
            db::i32("DoctorID"),
            db::memo("PatRecReason", 240, "Recall Reason"),
        },
        "RecallID",
        {{"PatientID", {"PatientID"}}, {"RecallDate", {"RecallDate"}}}});
    return tables;
}

} // namespace data::schema
