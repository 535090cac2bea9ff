// The reminders of the day: which reminders, name days, birthdays, lab jobs and recalls fall on
// a given day.

#include "data/RemindersOfDay.h"

#include "data/DataDirectory.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Errors.h"
#include "db/Query.h"
#include "platform/ExceptionLog.h"

#include <QFile>

#include <functional>

namespace data {
namespace {

// Patients are not older than this: the birthdays are looked up by date, one per year.
constexpr int kOldestAge = 130;

bool within(QDate day, QDate from, int days)
{
    return from.isValid() && day >= from && day <= from.addDays(days);
}

} // namespace

ReminderDue reminderDueOn(const ReminderDates& reminder, QDate today)
{
    const QDate& date = reminder.date;
    if (!date.isValid() || !today.isValid())
        return ReminderDue::No;
    const int days = std::max(reminder.durationDays, 0);
    if (within(today, date, days))
        return date == today ? ReminderDue::Today : ReminderDue::Old;
    if (today < date)
        return ReminderDue::No;
    // QDate(y, m, d) is invalid for a day the month lacks: no candidate, not due.
    if (reminder.everyMonth)
        return within(today, QDate(today.year(), today.month(), date.day()), days) ? ReminderDue::Old
                                                                                   : ReminderDue::No;
    if (reminder.everyYear)
        return within(today, QDate(today.year(), date.month(), date.day()), days) ? ReminderDue::Old
                                                                                  : ReminderDue::No;
    return ReminderDue::No;
}

RemindersOfDay::RemindersOfDay(TDmForm& dm, QDate today)
    : m_dm(dm)
    , m_today(today)
{
}

int RemindersOfDay::deleteExpired()
{
    db::Query expired(m_dm.connection(),
        QStringLiteral("DELETE FROM Reminders WHERE DeleteDate IS NOT NULL AND DeleteDate < :today"));
    expired.bind(QStringLiteral("today"), m_today).exec();
    const int deleted = expired.rowsAffected();
    db::Dataset& reminders = *m_dm.lists().RemindersTable;
    if (deleted > 0 && reminders.isActive() && !reminders.isEditing())
        reminders.refresh();
    return deleted;
}

QStringList RemindersOfDay::dueReminders() const
{
    // Only reminders that started by today can be due; the repeating ones are few.
    db::Query q(m_dm.connection(),
        QStringLiteral(
            "SELECT \"Date\", Comments, DurationDays, RemForEveryMonth, RemForEveryYear FROM Reminders "
            "WHERE \"Date\" <= :today ORDER BY ReminderID"));
    q.bind(QStringLiteral("today"), m_today).exec();
    QStringList lines;
    const QString old = m_dm.lang().Message(QStringLiteral("(Old Reminder)"));
    while (q.next()) {
        const ReminderDates dates { q.value(0).toDate(), q.value(2).toInt(), q.value(3).toBool(),
            q.value(4).toBool() };
        const ReminderDue due = reminderDueOn(dates, m_today);
        if (due == ReminderDue::Today)
            lines.append(q.value(1).toString());
        else if (due == ReminderDue::Old)
            lines.append(old + QLatin1Char(' ') + q.value(1).toString());
    }
    return lines;
}

QStringList RemindersOfDay::nameDays() const
{
    db::Query q(m_dm.connection(),
        QStringLiteral("SELECT Name FROM NameDays WHERE Month = :month AND Day = :day ORDER BY ID"));
    q.bind(QStringLiteral("month"), m_today.month()).bind(QStringLiteral("day"), m_today.day()).exec();
    QStringList names;
    while (q.next())
        names.append(q.value(0).toString());
    return names;
}

QStringList RemindersOfDay::birthdays() const
{
    // One birth date per year that has this day: each is an index probe on BirthDate, which
    // works on every engine (a day-and-month expression would read every patient).
    QStringList markers;
    QList<QDate> dates;
    for (int year = m_today.year() - kOldestAge; year <= m_today.year(); ++year) {
        const QDate date(year, m_today.month(), m_today.day());
        if (!date.isValid())
            continue;
        markers.append(QStringLiteral(":d%1").arg(dates.size()));
        dates.append(date);
    }
    db::Query q(m_dm.connection(),
        QStringLiteral("SELECT LastName, FirstName FROM Patient WHERE BirthDate IN (%1) ORDER BY LastName, "
                       "FirstName, PatientID")
            .arg(markers.join(QStringLiteral(", "))));
    for (int i = 0; i < dates.size(); ++i)
        q.bind(QStringLiteral("d%1").arg(i), dates[i]);
    q.exec();
    QStringList names;
    while (q.next())
        names.append(fullName(q.value(0), q.value(1)));
    return names;
}

QList<LabJobDue> RemindersOfDay::labJobs() const
{
    // The undelivered lines of lab orders (not deliveries) expected today.
    db::Query q(m_dm.connection(),
        QStringLiteral("SELECT DentalLabDB.Company, Patient.LastName, Patient.FirstName, "
                       "Operations.Description, LabOrderItems.ToothNum "
                       "FROM LabOrderItems JOIN LabOrders ON LabOrders.OrderID = LabOrderItems.OrderID "
                       "JOIN DentalLabDB ON DentalLabDB.DentalLabID = LabOrders.LabID "
                       "LEFT OUTER JOIN Patient ON Patient.PatientID = LabOrderItems.PatientID "
                       "LEFT OUTER JOIN Operations ON Operations.OperID = LabOrderItems.OperID "
                       "WHERE LabOrderItems.EstimatedDeliveryDate = :today AND LabOrders.TransType = 0 "
                       "AND LabOrderItems.RelatedOrderItemID < 0 ORDER BY LabOrderItems.ItemID"));
    q.bind(QStringLiteral("today"), m_today).exec();
    QList<LabJobDue> jobs;
    while (q.next())
        jobs.append({ q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
            q.value(3).toString(), q.value(4).toInt() });
    return jobs;
}

QString RemindersOfDay::gather()
{
    const platform::MessageTexts& lang = m_dm.lang();
    QStringList lines;
    // A group after another is set apart by two empty lines, then its header; every entry
    // follows an empty line.
    const auto group = [&](const char* header, const QStringList& entries) {
        if (entries.isEmpty())
            return;
        if (!lines.isEmpty())
            lines << QString() << QString();
        lines << lang.Message(QString::fromLatin1(header));
        for (const QString& entry : entries)
            lines << QString() << entry;
    };
    const auto guarded = [](const QString& what, const std::function<void()>& step) {
        try {
            step();
        } catch (const std::exception& e) {
            platform::exceptionLog::logException(e, what);
        }
    };
    guarded(QStringLiteral("Deleting the expired reminders"), [&] { deleteExpired(); });
    guarded(QStringLiteral("The reminders of the day"), [&] { group("Reminders :", dueReminders()); });
    guarded(QStringLiteral("The name days of the day"), [&] { group("Name Days :", nameDays()); });
    guarded(QStringLiteral("The birthdays of the day"), [&] { group("Birthdays :", birthdays()); });
    guarded(QStringLiteral("The lab jobs due today"), [&] {
        QStringList entries;
        for (const LabJobDue& job : labJobs()) {
            const QString patient = fullName(job.lastName, job.firstName);
            entries << lang.Message(QStringLiteral("Dental Lab")) + QStringLiteral(" : ") + job.lab
                    + QLatin1Char('\n') + lang.Message(QStringLiteral("Patient")) + QStringLiteral(" : ")
                    + patient + QLatin1Char('\n') + lang.Message(QStringLiteral("Operation"))
                    + QStringLiteral(" : ") + job.operation + QStringLiteral(" - ")
                    + lang.Message(QStringLiteral("Tooth No.")) + QLatin1Char(' ')
                    + QString::number(job.tooth);
        }
        group("Pending Lab Orders that will be delivered today :", entries);
    });
    return lines.join(QLatin1Char('\n'));
}

QString RemindersOfDay::recallQueryPath() const
{
    return DataDirectory(m_dm.connection().profile().dataDirectory).recallQueryPath();
}

bool RemindersOfDay::openRecalls()
{
    db::Dataset& recalls = *m_dm.patients().PatientsToReviewQry;
    recalls.close();
    const QString path = recallQueryPath();
    QFile file(path);
    // A practice on a server has no folder to keep a query of its own in: it uses the default.
    const bool onServer = !m_dm.connection().isSqlite();
    if (!onServer && !file.open(QIODevice::ReadOnly)) {
        platform::exceptionLog::logException(
            QStringLiteral("The recall list is empty: cannot read %1: %2").arg(path, file.errorString()));
        return false;
    }
    const QString stored = onServer ? defaultRecallQuery() : QString::fromUtf8(file.readAll());
    // Comments alone are no statement either.
    QString body;
    for (const QString& line : stored.split(QLatin1Char('\n'))) {
        if (!line.trimmed().startsWith(QLatin1String("--")))
            body += line;
    }
    if (body.trimmed().remove(QLatin1Char(';')).trimmed().isEmpty()) {
        platform::exceptionLog::logException(
            QStringLiteral("The recall list is empty: %1 holds no statement").arg(path));
        return false;
    }
    try {
        recalls.setQuery(
            m_dm.connection(), recallsOfDayStatement(stored), { { QStringLiteral("RecallDate"), m_today } });
        recalls.open();
        for (const char* column : { "PatientID", "RecallDate" }) {
            if (!recalls.findField(QString::fromLatin1(column)))
                throw db::DatabaseError(
                    QStringLiteral("The recall query has no column %1").arg(QLatin1String(column)));
        }
    } catch (const std::exception& e) {
        recalls.close();
        platform::exceptionLog::logException(e, QStringLiteral("The recall list is empty: %1").arg(path));
        return false;
    }
    return true;
}

} // namespace data
