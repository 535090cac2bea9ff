// The views of the appointment book, the dentists, prescriptions, reminders and the lists.

#include "data/DmUnit.h"

#include "db/DataSource.h"

#include <QLocale>

namespace data {

void TDmForm::declareListViews()
{
    AppointmentTable = table("AppointmentTable", "Appointments");
    AppointmentTable->setCachedUpdates(true);
    AppointmentTable->field(u"PatID").setRequired(true);
    AppointmentSrc = sourceOf(AppointmentTable);
    AppointmentTypesTable = table("AppointmentTypesTable", "AppointmentTypes");
    AppointmentTypesSrc = sourceOf(AppointmentTypesTable);

    DentistsTable = table("DentistsTable", "Doctors");
    lookup(DentistsTable, db::str(QStringLiteral("CityName"), 30), QStringLiteral("CityID"), CitiesTable, QStringLiteral("CityID"),
        QStringLiteral("CityName"));
    DentistsSrc = sourceOf(DentistsTable);

    MedicinesTable = table("MedicinesTable", "Medicines");
    MedicinesSrc = sourceOf(MedicinesTable);
    PrescriptionsTable = table("PrescriptionsTable", "Prescriptions");
    PrescriptionsTable->setIndexName(QStringLiteral("PrescriptionsPatID"));
    PrescriptionsTable->setMaster(PatientsSrc, {QStringLiteral("PatientID")});
    PrescriptionsTable->setCachedUpdates(true);
    PrescriptionsSrc = sourceOf(PrescriptionsTable);
    PrescrItemsTable = table("PrescrItemsTable", "PrescrItems");
    PrescrItemsTable->setIndexName(QStringLiteral("By Prescription"));
    PrescrItemsTable->setMaster(PrescriptionsSrc, {QStringLiteral("PrescriptionID")});
    PrescrItemsTable->setCachedUpdates(true);
    lookup(PrescrItemsTable, db::str(QStringLiteral("Medicine"), 100), QStringLiteral("MedicineID"), MedicinesTable, QStringLiteral("ID"),
        QStringLiteral("Name"));
    PrescrItemsSrc = sourceOf(PrescrItemsTable);

    PhonesTable = table("PhonesTable", "Phones");
    PhonesTable->setIndexName(QStringLiteral("By Name"));
    PhonesTable->setCachedUpdates(true);
    lookup(PhonesTable, db::str(QStringLiteral("City"), 30), QStringLiteral("CityID"), CitiesTable, QStringLiteral("CityID"),
        QStringLiteral("CityName"));
    PhonesSrc = sourceOf(PhonesTable);

    RemindersTable = table("RemindersTable", "Reminders");
    RemindersSrc = sourceOf(RemindersTable);

    NameDaysTable = table("NameDaysTable", "NameDays");
    NameDaysTable->addCalculatedField(db::str(QStringLiteral("MonthName"), 20));
    NameDaysTable->onCalcFields = [](db::Dataset& ds) {
        const QVariant month = ds.value(u"Month");
        const int m = month.toInt();
        ds.setValue(u"MonthName", month.isNull() || m < 1 || m > 12 ? QVariant() : QVariant(QLocale().monthName(m, QLocale::LongFormat)));
    };
    NameDaysSrc = sourceOf(NameDaysTable);

    RecallsTable = table("RecallsTable", "Recalls");
    RecallsTable->setOrderBy({QStringLiteral("PatientID")});
    RecallsTable->setMaster(PatientsSrc, {QStringLiteral("PatientID")}, {QStringLiteral("PatientID")});
    RecallsTable->setCachedUpdates(true);
    lookup(RecallsTable, db::str(QStringLiteral("DoctorName"), 50), QStringLiteral("DoctorID"), DentistsTable, QStringLiteral("DocID"),
        QStringLiteral("LastName"));
    RecallsSrc = sourceOf(RecallsTable);

    // Given the deletion of old appointments at start (deleteOldAppointments).
    DeleteAppQry = query("DeleteAppQry", QStringLiteral("SELECT * FROM Appointments"));
    DeleteQuery = query("DeleteQuery"); // the record rules set its statement before each use
    TempQuery = query("TempQuery"); // for windows that run their own statement
}

} // namespace data
