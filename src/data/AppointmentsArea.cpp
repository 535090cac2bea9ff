// The appointment book: its views, the rules of a new appointment, and the tidying of old
// appointments at start.

#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"

#include "data/StartupSequence.h"
#include "db/DataSource.h"
#include "platform/ExceptionLog.h"
#include "platform/Session.h"
#include "platform/Settings.h"

namespace data {
namespace {

const QString kPatName = QStringLiteral("PatName");

} // namespace

AppointmentsArea::AppointmentsArea(TDmForm& dm)
    : DmArea(dm)
{
}

void AppointmentsArea::declareViews()
{
    AppointmentTable = table("AppointmentTable", "Appointments");
    AppointmentTable->setCachedUpdates(true);
    AppointmentTable->field(u"PatID").setRequired(true);
    AppointmentSrc = sourceOf(AppointmentTable);
    AppointmentTypesTable = table("AppointmentTypesTable", "AppointmentTypes");
    AppointmentTypesSrc = sourceOf(AppointmentTypesTable);
    // Given the deletion of old appointments at start (deleteOldAppointments).
    DeleteAppQry = query("DeleteAppQry", QStringLiteral("SELECT * FROM Appointments"));
}

void AppointmentsArea::installRules()
{
    installRule(AppointmentTable->onNewRecord, &AppointmentsArea::AppointmentTableNewRecord, QStringLiteral("AppointmentTableNewRecord"));
    AppointmentTable->onFieldChange.install(stage::Area, QStringLiteral("AppointmentTablePatNameChange"),
        [this](db::Dataset& ds, const QString& name) {
            if (name == kPatName)
                AppointmentTablePatNameChange(ds);
        });
}

void AppointmentsArea::AppointmentTableNewRecord(db::Dataset& DataSet)
{
    const db::Dataset& patients = *this->patients().PatientsTable;
    DataSet.setValue(u"AppID", NextID(QStringLiteral("LastAppTable")));
    DataSet.setValue(u"Date", QDate::currentDate());
    if (platform::session().defaultAppointmentPatient && hasRows(patients)) {
        DataSet.setValue(u"PatID", patients.value(u"PatientID"));
        DataSet.setValue(kPatName, patients.value(u"Name"));
    } else {
        DataSet.setValue(u"PatID", -1);
    }
    DataSet.setValue(u"Duration", 1);
    DataSet.setValue(u"StartTime", 1);
    DataSet.setValue(u"DocID", dm().defaultDentist());
    DataSet.setValue(u"AppointmentType", currentValue(*AppointmentTypesTable, u"AppointmentType"));
}

void AppointmentsArea::AppointmentTablePatNameChange(db::Dataset& DataSet)
{
    // A name typed over the current patient's is a person who is not in the patient file.
    if (DataSet.value(kPatName).toString() != currentValue(*patients().PatientsTable, u"Name").toString())
        DataSet.setValue(u"PatID", -1);
}

void AppointmentsArea::deleteOldAppointments(const platform::Settings& settings, QDate today)
{
    if (!settings.deleteOldAppointments())
        return;
    try {
        data::deleteOldAppointments(*Database, today, settings.deleteAppointmentsAfterDays());
    } catch (const std::exception& e) {
        // an appointment book that cannot be tidied today is tidied at the next start
        platform::exceptionLog::logException(e, QStringLiteral("Deleting old appointments"));
    }
}

} // namespace data
