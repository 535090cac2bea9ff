#pragma once

// A practice with two dentists, two appointment types and the appointments a test adds, for the
// appointment book's tests.

#include "data/RulesFixture.h"

#include "db/Generators.h"

#include "appointments/AppointmentGrid.h"
#include "data/AppointmentSlots.h"
#include "platform/Directories.h"

namespace booktest {

using namespace rulestest;

constexpr int kCheckColour = 0x80FF80; // blue-green-red
constexpr int kSurgeryColour = 0x8080FF;

// Monday of the week after this one: clear of the start's tidying of old appointments.
inline QDate nextMonday()
{
    const QDate today = QDate::currentDate();
    return today.addDays(7 - appointments::weekday(today));
}

inline data::timeslots::SlotSet rows(int first, int last)
{
    data::timeslots::SlotSet set;
    for (int r = first; r <= last; ++r)
        set.set(size_t(r));
    return set;
}

inline void addDentist(
    data::TDmForm& dm, int id, const QString& lastName, const data::timeslots::SlotSet& hours)
{
    exec(*dm.Database,
        QStringLiteral("INSERT INTO Doctors (DocID, LastName, WorkingHoursSet) VALUES (:id, :name, :hours)"),
        { { QStringLiteral("id"), id }, { QStringLiteral("name"), lastName },
            { QStringLiteral("hours"), data::timeslots::toBytes(hours) } });
    dm.lists().DentistsTable->refresh();
}

struct Booking {
    int id;
    QDate date;
    QString start;
    int duration;
    int docId = 1;
    QString name = QStringLiteral("Ioannou Maria");
    QString type = QStringLiteral("Check");
    int patId = -1;
};

inline void addAppointment(data::TDmForm& dm, const Booking& b)
{
    exec(*dm.Database,
        QStringLiteral("INSERT INTO Appointments (AppID, \"Date\", Duration, StartTime, PatID, Details, "
                       "DocID, PatName, AppointmentType) "
                       "VALUES (:id, :date, :duration, :start, :pat, :details, :doc, :name, :type)"),
        { { QStringLiteral("id"), b.id }, { QStringLiteral("date"), b.date },
            { QStringLiteral("duration"), b.duration }, { QStringLiteral("start"), b.start },
            { QStringLiteral("pat"), b.patId },
            { QStringLiteral("details"), QStringLiteral("note %1").arg(b.id) },
            { QStringLiteral("doc"), b.docId }, { QStringLiteral("name"), b.name },
            { QStringLiteral("type"), b.type } });
    // As a start does after a copy of older data: new appointments number behind these.
    dm.generators().setBehindHighestInUse(QStringLiteral("LastApp"), *dm.Database);
}

// Every stored appointment, field by field, in identifier order.
inline QStringList snapshot(const db::Connection& c)
{
    db::Query q(c,
        QStringLiteral("SELECT AppID, \"Date\", Duration, StartTime, PatID, Details, DocID, PatName, "
                       "AppointmentType FROM Appointments ORDER BY AppID"));
    q.exec();
    QStringList rows;
    while (q.next()) {
        QStringList fields;
        for (int i = 0; i < 9; ++i)
            fields << q.value(i).toString();
        rows << fields.join(QLatin1Char('|'));
    }
    return rows;
}

// Two dentists working every slot of a day with 30-minute slots, two types; the default
// dentist is 1.
class Book {
public:
    Book()
    {
        platform::setConfigDirOverride(m_practice.configDirectory());
        dm = m_practice.openNew();
        addDentist(*dm, 1, QStringLiteral("Alexiou"), rows(1, 31));
        addDentist(*dm, 2, QStringLiteral("Konstantinidou"), rows(1, 31));
        exec(*dm->Database,
            QStringLiteral("INSERT INTO AppointmentTypes (AppointmentType, ColorIndex) VALUES ('Check', :a), "
                           "('Surgery', :b)"),
            { { QStringLiteral("a"), kCheckColour }, { QStringLiteral("b"), kSurgeryColour } });
        dm->appointments().AppointmentTypesTable->refresh();
    }
    ~Book() { platform::setConfigDirOverride({}); }

    Practice m_practice;
    std::unique_ptr<data::TDmForm> dm;
};

} // namespace booktest
