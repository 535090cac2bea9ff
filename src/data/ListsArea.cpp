// The reference lists: their views and the rules of their new rows.

#include "data/DmUnit.h"

#include "data/schema/Schema.h"
#include "db/DataSource.h"

#include <QLocale>

namespace data {

ListsArea::ListsArea(TDmForm& dm)
    : DmArea(dm)
{
}

void ListsArea::declareViews()
{
    CitiesTable = table("CitiesTable", "Cities");
    CitiesSrc = sourceOf(CitiesTable);
    InsurCompaniesTable = table("InsurCompaniesTable", "InsurCompanies");
    InsurCompaniesSrc = sourceOf(InsurCompaniesTable);
    CategoriesTable = table("CategoriesTable", "Categories");
    CategoriesSrc = sourceOf(CategoriesTable);

    DentistsTable = table("DentistsTable", "Doctors");
    lookup(DentistsTable, db::str(QStringLiteral("CityName"), 30), QStringLiteral("CityID"), CitiesTable, QStringLiteral("CityID"),
        QStringLiteral("CityName"));
    DentistsSrc = sourceOf(DentistsTable);
    MedicinesTable = table("MedicinesTable", "Medicines");
    MedicinesSrc = sourceOf(MedicinesTable);

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
    NameDaysSrc = sourceOf(NameDaysTable);

    DeleteQuery = query("DeleteQuery"); // the record rules set its statement before each use
    TempQuery = query("TempQuery"); // for windows that run their own statement
}

void ListsArea::declareStorage()
{
    storeAlone(PhonesTable);
    carriesMoney(MedicinesTable, { "RetailPrice", "TradePrice", "HospitalPrice" });
}

void ListsArea::installRules()
{
    NameDaysTable->onCalcFields.install(
        Stage::Area, QStringLiteral("NameDaysTableCalcFields"), [](db::Dataset& ds) {
            const QVariant month = ds.value(u"Month");
            const int m = month.toInt();
            ds.setValue(u"MonthName",
                month.isNull() || m < 1 || m > 12 ? QVariant()
                                                  : QVariant(QLocale().monthName(m, QLocale::LongFormat)));
        });
    installRule(DentistsTable->onNewRecord, &ListsArea::DentistsTableNewRecord, QStringLiteral("DentistsTableNewRecord"));
    installRule(DentistsTable->beforeEdit, QStringLiteral("DentistsTableBeforeEdit"), [this](db::Dataset& ds) { rememberKey(ds, QStringLiteral("DocID")); });
    installRule(DentistsTable->beforePost, &ListsArea::DentistsTableBeforePost, QStringLiteral("DentistsTableBeforePost"));
    for (db::Dataset* view : {CitiesTable, InsurCompaniesTable, MedicinesTable, PhonesTable, NameDaysTable})
        installRule(view->onNewRecord, &ListsArea::ListTableNewRecord, QStringLiteral("ListTableNewRecord"));
    installRule(RemindersTable->onNewRecord, &ListsArea::RemindersTableNewRecord, QStringLiteral("RemindersTableNewRecord"));
}

void ListsArea::DentistsTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"DocID", NextID(QStringLiteral("LastDoctorTable")));
    DataSet.setValue(u"WorkingHoursSet", QByteArray(32, '\xff')); // every half hour of the week open
}

void ListsArea::DentistsTableBeforePost(db::Dataset& DataSet)
{
    refuseDuplicateKey(DataSet, QStringLiteral("DocID"));
}

void ListsArea::ListTableNewRecord(db::Dataset& DataSet)
{
    numberNewRow(DataSet);
    if (&DataSet == NameDaysTable)
        DataSet.setValue(u"DayOff", false);
}

void ListsArea::RemindersTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"ReminderID", NextID(QStringLiteral("LastReminderTable")));
    DataSet.setValue(u"Date", QDate::currentDate());
    DataSet.setValue(u"RemForEveryYear", false);
}

} // namespace data
