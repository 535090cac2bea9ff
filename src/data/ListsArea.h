#pragma once

#include "data/DmArea.h"

namespace data {

// The reference lists other records pick from: cities, insurance companies, patient
// categories, dentists, medicines, the phone list, reminders and name days; and the two
// statement views that rules and windows fill before each use.
class ListsArea : public DmArea {
    Q_OBJECT
public:
    explicit ListsArea(TDmForm& dm);
    void declareViews();
    void installRules();
    void declareStorage();

    db::Dataset *CitiesTable, *InsurCompaniesTable, *CategoriesTable, *DentistsTable, *MedicinesTable;
    db::Dataset *PhonesTable, *RemindersTable, *NameDaysTable, *DeleteQuery, *TempQuery;
    db::DataSource *CitiesSrc, *InsurCompaniesSrc, *CategoriesSrc, *DentistsSrc, *MedicinesSrc;
    db::DataSource *PhonesSrc, *RemindersSrc, *NameDaysSrc;

private:
    void DentistsTableNewRecord(db::Dataset& DataSet);
    void DentistsTableBeforePost(db::Dataset& DataSet);
    void ListTableNewRecord(db::Dataset& DataSet); // the lists numbered from their generator
    void RemindersTableNewRecord(db::Dataset& DataSet);
};

} // namespace data
