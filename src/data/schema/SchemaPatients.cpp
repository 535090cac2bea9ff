#include "data/schema/SchemaAreas.h"

namespace data::schema {

// Patients and their clinical records. The field order is the record format: keep it.
QList<db::TableDef> patientTables()
{
    QList<db::TableDef> tables;

    tables.append({"Patient",
        {
            db::i32("PatientID", "Patient ID"),
            db::str("LastName", 30, "Last Name"),
            db::str("FirstName", 30, "First Name"),
            db::str("FatherName", 50, "Father's Name"),
            db::str("MotherName", 50, "Mother's Name"),
            db::str("FolderCode", 20, "Folder Code"),
            db::str("SSN", 15, "Insur. Code"),
            db::str("Address", 40),
            db::str("Zip", 9),
            db::str("PrimaryDentist", 50, "Primary Dentist"),
            db::memo("Remarks", 240),
            db::date("BirthDate", "Birth Date"),
            db::str("BirthPlace", 40, "Birth Place"),
            db::boolean("Sex"),
            db::str("Job", 30),
            db::date("RecDate", "Rec.Date"),
            db::time("RecTime", "Rec.Time"),
            db::i32("TherapySessionID", "Therapy Session ID"),
            db::str("Province", 30),
            db::str("BloodType", 10),
            db::str("FiscalCode", 40, "Fiscal Code"),
            db::str("Fax", 20),
            db::str("Email", 40),
            db::str("InvoiceName", 40, "Invoice Name"),
            db::str("VAT", 15),
            db::str("Phone", 20),
            db::str("Phone2", 20),
            db::str("CellTel", 20, "Cellular"),
            db::i16("Discount"),
            db::date("RecallDate", "Recall Date"),
            db::str("Referrer", 30),
            db::str("RefPhone", 20, "Ref Phone"),
            db::i32("CityID"),
            db::i32("InsurCompanyID"),
            db::i16("TypeProtectionFamily"),
            db::str("YgionomikosKodikos", 20, "Health Code"),
            db::boolean("ActiveTherapySession", "Active Therapy Session"),
            db::memo("RecallReason", 240, "Recall Reason"),
            db::str("PatientCategory", 50),
            db::boolean("NotActive"),
            db::str("PhotoPath", 255),
        },
        "PatientID",
        {{"LastNames", {"LastName", "FirstName"}}, {"BirthDate", {"BirthDate"}}, {"RecallDate", {"RecallDate"}}}}); // the reminders of the day

    tables.append({"CartAnamnestica",
        {
            db::i32("PatID"),
            db::i32("DocID"),
            db::boolean("Saluta", "Good health at present"),
            db::boolean("Chirurgici", "Had serious diseases or surg. operations"),
            db::str("ChirurgiciEdit", 40, "Which?"),
            db::boolean("Mediche", "Current medical treatments"),
            db::str("MedicheEdit", 40, "Which?"),
            db::boolean("Medicinali", "Takes medication reqularly"),
            db::str("MedicinaliEdit", 40, "Which?"),
            db::boolean("Ortodontici", "Is prone to Orthodontic treatment"),
            db::boolean("Anestetici", "Reactions to local anesthesia"),
            db::boolean("Notte", "Gnashes teeth at day/night"),
            db::boolean("Periodiche", "Carry out periodical dental visits"),
            db::str("PeriodicheEdit", 40, "Had or has"),
            db::boolean("Cuore", "Diseases of the heart"),
            db::boolean("Pressione", "High blood pressure"),
            db::boolean("Allergie", "Has Allergies"),
            db::str("AllergieEdit", 40, "Which?"),
            db::boolean("Diabete", "Diabetes"),
            db::boolean("Epatiti", "Viral Hepatitis"),
            db::boolean("Fegato", "Other diseases of the liver"),
            db::boolean("Sinusiti", "Inflammations"),
            db::boolean("Renali", "Diseases of the kidneys"),
            db::boolean("Tiroide", "Diseases of the thyroid"),
            db::boolean("Tuberculosis"),
            db::boolean("Stomaco", "Stomach diseases"),
            db::boolean("Digerente", "Peptic system diseases"),
            db::boolean("Polmonari", "Diseases of the lungs"),
            db::boolean("Veneree", "Venereal diseases"),
            db::boolean("Depressive", "Neuropathy or depression"),
            db::boolean("Emorragie", "Blood diseases"),
            db::boolean("Elencate", "Other diseases, not listed"),
            db::str("ElencateEdit", 40, "Which?"),
            db::boolean("Fuma", "Smoker"),
            db::boolean("Epilepsy"),
            db::boolean("HIV", "HIV positive"),
            db::boolean("Gravidanza", "In state of pregnancy"),
            db::memo("Other", 200),
        },
        {},
        {{"PatID", {"PatID"}}}});

    tables.append({"Families",
        {
            db::i32("FatherID"),
            db::i32("ChildID"),
            db::str("Relationship", 15),
            db::boolean("ChildPays"),
        },
        {},
        {{"By Child", {"ChildID"}}, {"By Father", {"FatherID"}}}});

    tables.append({"Cities",
        {
            db::i32("CityID", "City ID"),
            db::str("CityName", 30, "City"),
        },
        "CityID",
        {}});

    tables.append({"InsurCompanies",
        {
            db::i32("InsurCompID", "ID"),
            db::str("InsuranceCompany", 30, "Insur. Company"),
        },
        "InsurCompID",
        {}});

    tables.append({"Categories",
        {
            db::str("CategoryID", 50, "Κατηγορία"),
        },
        {},
        {}});

    tables.append({"PatBook",
        {
            db::i32("PatBookID"),
            db::i32("PatientID"),
            db::str("PatBookNo", 20),
            db::dateTime("PatBookDate", "Date"),
        },
        "PatBookID",
        {{"PatIdx", {"PatientID"}}}});

    tables.append({"QuestTemplate",
        {
            db::i32("FatherQuestionID"),
            db::i32("QuestionID"),
            db::str("Question", 200),
        },
        {},
        {{"By FatherQuestion", {"FatherQuestionID"}}}});

    tables.append({"QuestAnswer",
        {
            db::i32("PatientID"),
            db::i32("QuestionID"),
            db::i32("FatherQuestionID"),
            db::boolean("QuestValue"),
        },
        {},
        {{"PatientID", {"PatientID"}}}});

    tables.append({"Sessions",
        {
            db::i32("SessionID"),
            db::i32("PatientID"),
            db::i32("SessionNum"),
            db::boolean("Completed"),
            db::boolean("ShowAllTeeth"),
        },
        "SessionID",
        {{"byPatient", {"PatientID"}}}});

    tables.append({"Operations",
        {
            db::i32("OperID"),
            db::str("Description", 40),
            db::f64("Cost"),
            db::i32("BitmapID2"),
            db::boolean("Transparent"),
            db::i32("BitmapID"),
            db::i32("GroupID"),
            db::boolean("RequireDentalLab"),
            db::boolean("RequireMaterial"),
            db::boolean("RequireColor"),
            db::f64("CostEURO"),
        },
        "OperID",
        {{"Description", {"Description"}}}});

    tables.append({"History",
        {
            db::i32("ID"),
            db::i32("TherapySessionID"),
            db::i32("PatientID"),
            db::i16("TreatmentLevel"),
            db::i32("OperID"),
            db::date("Date"),
            db::i16("ToothNum"),
            db::i32("DentistID"),
            db::boolean("RequireMaterial"),
            db::str("MaterialID", 20),
            db::boolean("RequireLab"),
            db::i32("DentalLabID"),
            db::boolean("RequireColor"),
            db::str("Color", 20),
            db::f64("Cost"),
            db::f64("CostEURO"),
            db::f64("Discount"),
            db::f64("Price"),
            db::f64("PriceEURO"),
            db::boolean("Ordered"),
            db::boolean("IOFld"),
            db::i32("Masitikes"),
        },
        "ID",
        {{"By Session", {"TherapySessionID"}}, {"PatIDs", {"PatientID"}}, {"DentalLabID", {"DentalLabID"}}}});

    tables.append({"Photos",
        {
            db::i32("ID"),
            db::str("PhotoName", 30, "Photo Name"),
            db::i32("PatID", "Patient ID"),
            db::str("Subject", 40),
            db::str("Category", 40),
            db::str("Remarks", 80),
            db::i16("ToothNumber", "Tooth No."),
            db::date("RecDate", "Rec.Date"),
            db::date("SaveDate", "Saved Date"),
            db::i32("SessionID"),
        },
        "ID",
        {{"By Session", {"SessionID"}}}});

    tables.append({"Endo",
        {
            db::i32("EndoID"),
            db::i32("PatientID"),
            db::i32("SessionID"),
            db::date("Date"),
            db::i32("ToothNum", "Tooth No."),
            db::f64("MikosEggysGl", "Length Near Tongue"),
            db::f64("DievrEggysGl", "Width Near Tongue"),
            db::f64("MikosEggysPar", "Length Near Cheek"),
            db::f64("DievrEggysPar", "Width Near Cheek"),
            db::f64("MikosApoGl", "Length Far Tongue"),
            db::f64("DievrApoGl", "Width Far Tongue"),
            db::f64("MikosApoPar", "Length Far Cheek"),
            db::f64("DievrApoPar", "Width Far Cheek"),
            db::f64("MikosYperoia", "Length Yperoia"),
            db::f64("DievrYperoia", "Width Yperoia"),
            db::memo("Notes", 60),
            db::memo("EggysGlNotes", 200),
            db::memo("EggysParNotes", 200),
            db::memo("ApoGlNotes", 200),
            db::memo("ApoParNotes", 200),
            db::memo("YperoiaNotes", 200),
        },
        "EndoID",
        {{"By Session", {"SessionID"}}}});

    tables.append({"ToothNotes",
        {
            db::i32("PatientID"),
            db::i32("SessionID"),
            db::i32("ToothNum"),
            db::memo("Notes", 80),
        },
        {},
        {{"SessionID", {"SessionID"}}}});

    tables.append({"ToothColor",
        {
            db::i32("SessionID"),
            db::i32("ToothNum"),
            db::i32("PatientID"),
            db::str("Near", 10),
            db::str("Far", 10),
            db::str("Chewing", 10),
            db::str("Auchenic", 10),
            db::memo("Notes", 60),
            db::str("Chromatologio", 20),
        },
        {},
        {{"SessionID", {"SessionID"}}}});

    tables.append({"ProgNotes",
        {
            db::i32("ProgNoteID"),
            db::i32("PatientID"),
            db::i32("SessionID"),
            db::str("BriefDesc", 60, "Short description"),
            db::memo("FmtdFindings", 240, "History - Findings"),
            db::memo("FmtdTherapy", 240, "Diagnosis - Treatment"),
            db::i32("PhysSystemID"),
            db::date("NoteDate", "Date"),
            db::i32("DocID"),
        },
        "ProgNoteID",
        {{"BySession", {"PatientID", "SessionID"}}}});

    tables.append({"PhysSystems",
        {
            db::i32("PhysSystemID"),
            db::str("SystemDesc", 30, "System"),
        },
        "PhysSystemID",
        {}});

    tables.append({"Peri",
        {
            db::i32("PeriID"),
            db::i32("PatientID"),
            db::i32("SessionID"),
            db::date("Date"),
        },
        "PeriID",
        {{"SessionID", {"SessionID"}}}});

    tables.append({"PeriItem",
        {
            db::i32("PeriItemID"),
            db::i32("PeriID"),
            db::i16("ToothNum"),
            db::i16("PD1"),
            db::i16("PD2"),
            db::i16("PD3"),
            db::i16("PD4"),
            db::i16("PD5"),
            db::i16("PD6"),
            db::i16("Bleeding1"),
            db::i16("Bleeding2"),
            db::i16("Bleeding3"),
            db::i16("Bleeding4"),
            db::i16("Bleeding5"),
            db::i16("Bleeding6"),
            db::i16("GM1"),
            db::i16("GM2"),
            db::i16("GM3"),
            db::i16("GM4"),
            db::i16("GM5"),
            db::i16("GM6"),
            db::i16("FurB"),
            db::i16("FurL"),
            db::i16("FurM"),
            db::i16("FurD"),
            db::i16("MOB"),
            db::boolean("Periapidal"),
            db::i16("PlaqueOut"),
            db::i16("PlaqueIn"),
            db::boolean("ToothNotExists"),
            db::memo("Notes", 200),
            db::i16("PlaqueOut1"),
            db::i16("PlaqueOut2"),
        },
        "PeriItemID",
        {{"By Peri", {"PeriID"}}}});
    return tables;
}

} // namespace data::schema
