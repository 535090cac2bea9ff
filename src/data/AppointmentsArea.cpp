// The appointment book: its views, the rules of a new appointment, and the tidying of old
// appointments at start.

#include "data/AppointmentSlots.h"
#include "data/DmRuleHelpers.h"
#include "data/DmUnit.h"

#include "data/StartupSequence.h"
#include "db/DataSource.h"
#include "db/Query.h"
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
    AppointmentTable->setFilterConditions([this] {
        QList<db::ViewSpec::Condition> conditions;
        if (m_week.docId >= 0) {
            conditions.append({QStringLiteral("DocID"), QStringLiteral("="), m_week.docId});
            conditions.append({QStringLiteral("Date"), QStringLiteral(">="), m_week.first});
            conditions.append({QStringLiteral("Date"), QStringLiteral("<="), m_week.last});
        }
        return conditions;
    });
    AppointmentSrc = sourceOf(AppointmentTable);
    AppointmentTypesTable = table("AppointmentTypesTable", "AppointmentTypes");
    AppointmentTypesSrc = sourceOf(AppointmentTypesTable);
    // Given the deletion of old appointments at start (deleteOldAppointments).
    DeleteAppQry = query("DeleteAppQry", QStringLiteral("SELECT * FROM Appointments"));
}

void AppointmentsArea::declareStorage()
{
    storeAlone(AppointmentTable);
}

void AppointmentsArea::installRules()
{
    installRule(AppointmentTable->onNewRecord, &AppointmentsArea::AppointmentTableNewRecord, QStringLiteral("AppointmentTableNewRecord"));
    AppointmentTable->onFieldChange.install(Stage::Area, QStringLiteral("AppointmentTablePatNameChange"),
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

void AppointmentsArea::showWeek(int docId, QDate first, QDate last)
{
    m_week = {docId, first, last};
    if (AppointmentTable->isActive())
        AppointmentTable->refresh();
    else
        OpenTable(*AppointmentTable);
}

void AppointmentsArea::showAllAppointments()
{
    if (m_week.docId < 0)
        return;
    m_week = {};
    if (AppointmentTable->isActive())
        AppointmentTable->refresh();
}

void AppointmentsArea::underWriteLock(const std::function<void()>& work)
{
    db::TransactionGuard lock(*Database);
    work();
    lock.commit();
}

bool AppointmentsArea::timeTaken(int docId, QDate date, int start, int length, int slotMinutes, qint32 except) const
{
    db::Query day(*Database,
        QStringLiteral("SELECT AppID, StartTime, Duration FROM Appointments WHERE DocID = :doc AND %1 = :day")
            .arg(db::Dialect::quoted(QStringLiteral("Date"))));
    day.bind(QStringLiteral("doc"), docId).bind(QStringLiteral("day"), date).exec();
    while (day.next()) {
        if (day.value(0).toInt() == except)
            continue;
        const int from = timeslots::minutesOf(day.value(1).toString());
        if (from < 0)
            continue;
        const int to = from + std::max(day.value(2).toInt(), 0) * slotMinutes;
        if (from < start + length && start < to)
            return true;
    }
    return false;
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
