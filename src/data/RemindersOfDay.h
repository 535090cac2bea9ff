#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace db {
class Dataset;
}

namespace data {

class TDmForm;

// Whether a reminder is due on a day, and whether it is the reminder's own day.
enum class ReminderDue { No, Today, Old };

struct ReminderDates {
    QDate date;
    int durationDays = 0;
    bool everyMonth = false;
    bool everyYear = false;
};

// A reminder is due from its date for DurationDays more days; a monthly one from its day of
// this month, a yearly one from its day and month of this year, for as long. A repetition whose
// day does not exist this month (the 31st, 29 February) is not due by it, and nothing repeats
// before the reminder's own date.
ReminderDue reminderDueOn(const ReminderDates& reminder, QDate today);

// An undelivered lab job whose estimated delivery is the day.
struct LabJobDue {
    QString lab;
    QString lastName;
    QString firstName;
    QString operation;
    int tooth = 0;
};

// What the practice is reminded of on a day: reminders due, name days, birthdays, lab jobs
// expected back and patients to recall. The day is a parameter so that tests and the bench
// pick it. Every look-up reads only the rows of the day through an index; none reads every
// patient.
class RemindersOfDay {
public:
    RemindersOfDay(TDmForm& dm, QDate today);

    QDate today() const { return m_today; }

    // Deletes the reminders whose delete date has passed (a delete date of today keeps the
    // reminder for today). Returns how many went.
    int deleteExpired();
    // The comments of the reminders due, in the order they were written; those not dated
    // today prefixed "(Old Reminder) ".
    QStringList dueReminders() const;
    QStringList nameDays() const;
    // "LastName FirstName" of the patients born on this day and month of any year.
    QStringList birthdays() const;
    QList<LabJobDue> labJobs() const;

    // The page "Reminder - Name Day": deletes the expired reminders, then the headed groups
    // of reminders, name days, birthdays and lab jobs. A group that fails is left out and its
    // error logged; the others still show.
    QString gather();

    // Points PatientsToReviewQry at the recalls of the day of the stored query file and opens
    // it. A file that is missing, empty or broken leaves the query closed and the reason in
    // the exceptions log; returns whether the query is open.
    bool openRecalls();
    QString recallQueryPath() const;

private:
    TDmForm& m_dm;
    QDate m_today;
};

} // namespace data
