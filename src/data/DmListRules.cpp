// Record rules of the appointment book, the dentists, prescriptions, reminders and the lists.

#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"

#include "data/schema/Schema.h"
#include "db/Dialect.h"
#include "db/Query.h"
#include "platform/Session.h"
#include "widgets/Language.h"
#include "widgets/MessageService.h"

namespace data {
namespace {

const QString kPatName = QStringLiteral("PatName");

} // namespace

void TDmForm::installListRules()
{
    AppointmentTable->onNewRecord = rule(&TDmForm::AppointmentTableNewRecord);
    QObject::connect(AppointmentTable, &db::Dataset::fieldChanged, this, [this](const QString& name) {
        if (name == kPatName)
            AppointmentTablePatNameChange(*AppointmentTable);
    });
    DentistsTable->onNewRecord = rule(&TDmForm::DentistsTableNewRecord);
    DentistsTable->beforeEdit = [this](db::Dataset& ds) { rememberKey(ds, QStringLiteral("DocID")); };
    DentistsTable->beforePost = rule(&TDmForm::DentistsTableBeforePost);
    for (db::Dataset* view : {CitiesTable, InsurCompaniesTable, MedicinesTable, PhonesTable, NameDaysTable, PrescrItemsTable})
        view->onNewRecord = rule(&TDmForm::ListTableNewRecord);
    PrescriptionsTable->onNewRecord = rule(&TDmForm::PrescriptionsTableNewRecord);
    PrescriptionsTable->beforeDelete = rule(&TDmForm::PrescriptionsTableBeforeDelete);
    RemindersTable->onNewRecord = rule(&TDmForm::RemindersTableNewRecord);
}

void TDmForm::AppointmentTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"AppID", NextID(QStringLiteral("LastAppTable")));
    DataSet.setValue(u"Date", QDate::currentDate());
    if (platform::session().defaultAppointmentPatient && hasRows(*PatientsTable)) {
        DataSet.setValue(u"PatID", PatientsTable->value(u"PatientID"));
        DataSet.setValue(kPatName, PatientsTable->value(u"Name"));
    } else {
        DataSet.setValue(u"PatID", -1);
    }
    DataSet.setValue(u"Duration", 1);
    DataSet.setValue(u"StartTime", 1);
    DataSet.setValue(u"DocID", m_defaultDentist);
    DataSet.setValue(u"AppointmentType", currentValue(*AppointmentTypesTable, u"AppointmentType"));
}

void TDmForm::AppointmentTablePatNameChange(db::Dataset& DataSet)
{
    // A name typed over the current patient's is a person who is not in the patient file.
    if (DataSet.value(kPatName).toString() != currentValue(*PatientsTable, u"Name").toString())
        DataSet.setValue(u"PatID", -1);
}

void TDmForm::DentistsTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"DocID", NextID(QStringLiteral("LastDoctorTable")));
    DataSet.setValue(u"WorkingHoursSet", QByteArray(32, '\xff')); // every half hour of the week open
}

void TDmForm::DentistsTableBeforePost(db::Dataset& DataSet)
{
    refuseDuplicateKey(DataSet, QStringLiteral("DocID"));
}

void TDmForm::ListTableNewRecord(db::Dataset& DataSet)
{
    const db::TableDef& def = DataSet.tableDef();
    const GeneratorDef* generator = generatorFor(def.name);
    Q_ASSERT_X(generator, "TDmForm::ListTableNewRecord", qPrintable(def.name));
    DataSet.setValue(def.identifierField, NextID(generator->table));
    if (&DataSet == NameDaysTable)
        DataSet.setValue(u"DayOff", false);
}

void TDmForm::PrescriptionsTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"PrescriptionID", NextID(QStringLiteral("LastPrescrTable")));
    DataSet.setValue(u"Date", QDate::currentDate());
}

void TDmForm::PrescriptionsTableBeforeDelete(db::Dataset&)
{
    deleteAllRows(*PrescrItemsTable);
}

void TDmForm::RemindersTableNewRecord(db::Dataset& DataSet)
{
    DataSet.setValue(u"ReminderID", NextID(QStringLiteral("LastReminderTable")));
    DataSet.setValue(u"Date", QDate::currentDate());
    DataSet.setValue(u"RemForEveryYear", false);
}

void TDmForm::rememberKey(db::Dataset& view, const QString& keyField)
{
    m_keyAtEdit.insert(&view, view.value(keyField));
}

void TDmForm::refuseDuplicateKey(db::Dataset& view, const QString& keyField)
{
    const QVariant key = view.value(keyField);
    if (key.isNull())
        return;
    if (view.state() == db::DatasetState::Edit && m_keyAtEdit.value(&view) == key)
        return; // the row keeps its own key
    db::Query taken(*Database, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = :key")
                                             .arg(db::Dialect::quoted(view.tableDef().name), db::Dialect::quoted(keyField)));
    if (taken.bind(QStringLiteral("key"), key).scalar().toInt() == 0)
        return;
    widgets::showError(Lang->Message(QStringLiteral("The specified ID already exists")));
    throw db::Abort();
}

} // namespace data
