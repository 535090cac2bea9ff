// The reminders of the day: when a reminder is due, what the page gathers on a given day, and a
// recall query file that cannot be used.

#include "data/RemindersOfDay.h"
#include "platform/Directories.h"
#include "platform/ExceptionLog.h"
#include "RulesPractice.h"
#include "support/DataTable.h"
#include "support/ExceptionLogText.h"

#include <QTest>

Q_DECLARE_METATYPE(data::ReminderDue)

namespace {

using data::ReminderDue;

void insert(data::TDmForm& dm, const QString& sql, const QVariantMap& values = {})
{
    rulestest::exec(*dm.Database, sql, values);
}

void addReminder(data::TDmForm& dm, int id, QDate date, const QString& text, int duration = 0,
    bool monthly = false, bool yearly = false, const QVariant& deleteDate = {})
{
    insert(dm,
        QStringLiteral("INSERT INTO Reminders (ReminderID, \"Date\", Comments, DurationDays, "
                       "RemForEveryMonth, RemForEveryYear, "
                       "DeleteDate) VALUES (:id, :date, :text, :duration, :monthly, :yearly, :deleteDate)"),
        { { QStringLiteral("id"), id }, { QStringLiteral("date"), date }, { QStringLiteral("text"), text },
            { QStringLiteral("duration"), duration }, { QStringLiteral("monthly"), monthly },
            { QStringLiteral("yearly"), yearly }, { QStringLiteral("deleteDate"), deleteDate } });
}

} // namespace

class TestRemindersOfDay : public RulesTest {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QDir().mkpath(platform::programDir()); // the exceptions log goes there
    }

    void due_data()
    {
        const QDate d(2026, 3, 10);
        testsupport::addRows<QDate, int, bool, bool, QDate, ReminderDue>(
            { "date", "duration", "monthly", "yearly", "today", "due" },
            {
                { "its own day, no duration", d, 0, false, false, d, ReminderDue::Today },
                { "the next day, no duration", d, 0, false, false, d.addDays(1), ReminderDue::No },
                { "last day of its duration", d, 3, false, false, d.addDays(3), ReminderDue::Old },
                { "a day past its duration", d, 3, false, false, d.addDays(4), ReminderDue::No },
                { "before its day", d, 3, false, false, d.addDays(-1), ReminderDue::No },
                { "a month later, monthly", d, 0, true, false, QDate(2026, 4, 10), ReminderDue::Old },
                { "a month later, not repeating", d, 0, false, false, QDate(2026, 4, 10), ReminderDue::No },
                { "monthly, inside the duration", d, 2, true, false, QDate(2026, 7, 12), ReminderDue::Old },
                { "monthly, after the duration", d, 2, true, false, QDate(2026, 7, 13), ReminderDue::No },
                { "monthly, not before its first day", d, 0, true, false, QDate(2025, 12, 10),
                    ReminderDue::No },
                { "yearly, first of its days", d, 4, false, true, QDate(2029, 3, 10), ReminderDue::Old },
                { "yearly, last of DurationDays + 1 days", d, 4, false, true, QDate(2029, 3, 14),
                    ReminderDue::Old },
                { "yearly, the day after", d, 4, false, true, QDate(2029, 3, 15), ReminderDue::No },
                { "yearly, another month", d, 4, false, true, QDate(2029, 4, 10), ReminderDue::No },
                { "31st, in a 30-day month", QDate(2026, 1, 31), 5, true, false, QDate(2026, 4, 30),
                    ReminderDue::No },
                { "31st, in a 31-day month", QDate(2026, 1, 31), 0, true, false, QDate(2026, 5, 31),
                    ReminderDue::Old },
                { "29 February, common year", QDate(2024, 2, 29), 3, false, true, QDate(2026, 3, 1),
                    ReminderDue::No },
                { "29 February, leap year", QDate(2024, 2, 29), 0, false, true, QDate(2028, 2, 29),
                    ReminderDue::Old },
                { "no date", QDate(), 0, true, true, d, ReminderDue::No },
                { "negative duration is none", d, -5, false, false, d, ReminderDue::Today },
            });
    }
    void due()
    {
        QFETCH(QDate, date);
        QFETCH(int, duration);
        QFETCH(bool, monthly);
        QFETCH(bool, yearly);
        QFETCH(QDate, today);
        QFETCH(ReminderDue, due);
        QCOMPARE(data::reminderDueOn({ date, duration, monthly, yearly }, today), due);
    }

    // Delete dates: yesterday's go, today's stay; the open reminders list follows.
    void expiredReminders()
    {
        auto dm = m_practice->open();
        const QDate today(2026, 6, 15);
        addReminder(
            *dm, 1, today.addDays(-3), QStringLiteral("yesterday"), 0, false, false, today.addDays(-1));
        addReminder(*dm, 2, today.addDays(-3), QStringLiteral("today"), 0, false, false, today);
        addReminder(*dm, 3, today.addDays(-3), QStringLiteral("never"));
        db::Dataset& reminders = RulesPractice::view(*dm, QStringLiteral("RemindersTable"));
        QCOMPARE(reminders.recordCount(), 3);

        data::RemindersOfDay day(*dm, today);
        QCOMPARE(day.deleteExpired(), 1);
        QCOMPARE(reminders.recordCount(), 2);
        QCOMPARE(rulestest::count(
                     *dm->Database, QStringLiteral("SELECT COUNT(*) FROM Reminders WHERE ReminderID = 1")),
            0);
    }

    // The page: headed groups in order, an entry after each empty line, old reminders marked.
    void gatheredPage()
    {
        auto dm = m_practice->open();
        const QDate today(2027, 2, 28);
        addReminder(*dm, 1, today, QStringLiteral("Order gloves"));
        addReminder(*dm, 2, QDate(2026, 10, 28), QStringLiteral("Pay the rent"), 0, true);
        addReminder(*dm, 3, today.addDays(-1), QStringLiteral("Over"));
        insert(*dm,
            QStringLiteral("INSERT INTO NameDays (ID, Day, Month, Name, DayOff) VALUES (1, 28, 2, 'Kyra', "
                           "FALSE), (2, 27, 2, 'Other', FALSE)"));
        RulesPractice::addPatient(*dm, QStringLiteral("Born"));
        RulesPractice::addPatient(*dm, QStringLiteral("Elder"));
        RulesPractice::addPatient(*dm, QStringLiteral("Later"));
        insert(*dm,
            QStringLiteral("UPDATE Patient SET FirstName = 'Anna', BirthDate = :d WHERE LastName = 'Born'"),
            { { QStringLiteral("d"), QDate(1990, 2, 28) } });
        insert(*dm,
            QStringLiteral("UPDATE Patient SET FirstName = 'Ben', BirthDate = :d WHERE LastName = 'Elder'"),
            { { QStringLiteral("d"), QDate(1931, 2, 28) } });
        insert(*dm, QStringLiteral("UPDATE Patient SET BirthDate = :d WHERE LastName = 'Later'"),
            { { QStringLiteral("d"), QDate(1990, 3, 28) } });
        const int patient = rulestest::count(
            *dm->Database, QStringLiteral("SELECT PatientID FROM Patient WHERE LastName = 'Born'"));
        insert(*dm, QStringLiteral("INSERT INTO DentalLabDB (DentalLabID, Company) VALUES (4, 'Ceramica')"));
        insert(*dm, QStringLiteral("INSERT INTO Operations (OperID, Description) VALUES (9, 'Crown')"));
        insert(*dm,
            QStringLiteral("INSERT INTO LabOrders (OrderID, LabID, TransType) VALUES (1, 4, 0), (2, 4, 1)"));
        // Due today and undelivered; delivered; due tomorrow; a delivery's own line.
        insert(*dm,
            QStringLiteral("INSERT INTO LabOrderItems (ItemID, OrderID, PatientID, OperID, ToothNum, "
                           "EstimatedDeliveryDate, RelatedOrderItemID) "
                           "VALUES (1, 1, :p, 9, 16, :today, -1), (2, 1, :p, 9, 17, :today, 5), (3, 1, :p, "
                           "9, 18, :tomorrow, -1), "
                           "(4, 2, :p, 9, 26, :today, -1)"),
            { { QStringLiteral("p"), patient }, { QStringLiteral("today"), today },
                { QStringLiteral("tomorrow"), today.addDays(1) } });

        data::RemindersOfDay day(*dm, today);
        const QString expected
            = QStringLiteral("Reminders :\n\nOrder gloves\n\n(Old Reminder) Pay the rent\n\n\n"
                             "Name Days :\n\nKyra\n\n\n"
                             "Birthdays :\n\nBorn Anna\n\nElder Ben\n\n\n"
                             "Pending Lab Orders that will be delivered today :\n\nDental Lab : "
                             "Ceramica\nPatient : Born Anna\nOperation : Crown - Tooth No. 16");
        QCOMPARE(day.gather(), expected);
        // A birthday on 29 February shows on no other day of a common year.
        insert(*dm, QStringLiteral("UPDATE Patient SET BirthDate = :d WHERE LastName = 'Later'"),
            { { QStringLiteral("d"), QDate(1988, 2, 29) } });
        QCOMPARE(data::RemindersOfDay(*dm, today).birthdays(),
            (QStringList { QStringLiteral("Born Anna"), QStringLiteral("Elder Ben") }));
        QCOMPARE(data::RemindersOfDay(*dm, QDate(2028, 2, 29)).birthdays(),
            QStringList { QStringLiteral("Later") });
    }

    void nothingToday()
    {
        auto dm = m_practice->open();
        addReminder(*dm, 1, QDate(2026, 1, 1), QStringLiteral("Long ago"));
        QCOMPARE(data::RemindersOfDay(*dm, QDate(2026, 5, 5)).gather(), QString());
    }

    void recallsOfTheDay()
    {
        auto dm = m_practice->open();
        const QDate today(2026, 9, 1);
        RulesPractice::addPatient(*dm, QStringLiteral("Due"));
        RulesPractice::addPatient(*dm, QStringLiteral("Listed"));
        RulesPractice::addPatient(*dm, QStringLiteral("Later"));
        insert(*dm, QStringLiteral("UPDATE Patient SET RecallDate = :d WHERE LastName = 'Due'"),
            { { QStringLiteral("d"), today } });
        insert(*dm, QStringLiteral("UPDATE Patient SET RecallDate = :d WHERE LastName = 'Later'"),
            { { QStringLiteral("d"), today.addDays(1) } });
        const int listed = rulestest::count(
            *dm->Database, QStringLiteral("SELECT PatientID FROM Patient WHERE LastName = 'Listed'"));
        insert(*dm,
            QStringLiteral("INSERT INTO Recalls (RecallID, RecallDate, PatientID, PatRecReason) VALUES (1, "
                           ":d, :p, 'Check')"),
            { { QStringLiteral("d"), today }, { QStringLiteral("p"), listed } });

        data::RemindersOfDay day(*dm, today);
        QVERIFY(day.openRecalls());
        db::Dataset& recalls = *dm->patients().PatientsToReviewQry;
        QStringList names;
        for (recalls.first(); !recalls.eof(); recalls.next())
            names << recalls.value(u"LastName").toString();
        names.sort();
        QCOMPARE(names, (QStringList { QStringLiteral("Due"), QStringLiteral("Listed") }));
    }

    void unusableRecallQuery_data()
    {
        // content: empty: no file at all
        testsupport::addRows<QByteArray, QString>({ "content", "logged" },
            {
                { "missing", QByteArray(), QStringLiteral("cannot read") },
                { "empty", QByteArray("  \n"), QStringLiteral("holds no statement") },
                { "comments only", QByteArray("-- nothing\n;"), QStringLiteral("holds no statement") },
                { "broken", QByteArray("SELEC PatientID FROM"), QStringLiteral("The recall list is empty") },
                { "without a recall date", QByteArray("SELECT PatientID FROM Patient"),
                    QStringLiteral("The recall list is empty") },
            });
    }
    void unusableRecallQuery()
    {
        SQLITE_ONLY(); // the stored query is a file of the data directory
        QFETCH(QByteArray, content);
        QFETCH(QString, logged);
        auto dm = m_practice->open();
        addReminder(*dm, 1, QDate(2026, 9, 1), QStringLiteral("Still shown"));
        data::RemindersOfDay day(*dm, QDate(2026, 9, 1));
        QFile file(day.recallQueryPath());
        if (content.isEmpty()) {
            QVERIFY(file.remove());
        } else {
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(content);
            file.close();
        }
        const qsizetype before = testsupport::exceptionLogText().size();
        QVERIFY(!day.openRecalls());
        QVERIFY(!dm->patients().PatientsToReviewQry->isActive());
        const QString added = testsupport::exceptionLogText().mid(before);
        QVERIFY2(added.contains(logged), qPrintable(added));
        QVERIFY(day.gather().contains(QStringLiteral("Still shown")));
    }
};

QTEST_GUILESS_MAIN(TestRemindersOfDay)
#include "tst_remindersofday.moc"
