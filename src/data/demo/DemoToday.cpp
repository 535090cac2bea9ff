#include "data/demo/DemoToday.h"

#include "data/demo/RowWriter.h"
#include "db/Query.h"

namespace data::demo {

void eventfulDay(RowWriter& writer, QDate today)
{
    db::Connection& c = writer.connection();
    writer.insert(QStringLiteral("NameDays"),
        { { QStringLiteral("ID"), writer.take(QStringLiteral("NameDays")) },
            { QStringLiteral("Day"), today.day() }, { QStringLiteral("Month"), today.month() },
            { QStringLiteral("Name"), QStringLiteral("Χρυσάνθη, Χρύσανθος") },
            { QStringLiteral("DayOff"), false } });

    // Two patients keep their year of birth and take the day's day and month.
    db::Query patients(c,
        QStringLiteral(
            "SELECT PatientID, BirthDate FROM Patient WHERE BirthDate IS NOT NULL ORDER BY PatientID"));
    patients.exec();
    QList<std::pair<int, QDate>> born;
    for (int row = 0; patients.next(); ++row) {
        if (row != 4 && row != 11)
            continue;
        const QDate birthday(patients.value(1).toDate().year(), today.month(), today.day());
        if (birthday.isValid())
            born.append({ patients.value(0).toInt(), birthday });
    }
    patients.finish();
    db::Query birth(c, QStringLiteral("UPDATE Patient SET BirthDate = :date WHERE PatientID = :id"));
    for (const auto& [id, date] : born)
        birth.bind(QStringLiteral("date"), date).bind(QStringLiteral("id"), id).exec();

    db::Query lab(c,
        QStringLiteral(
            "UPDATE LabOrderItems SET EstimatedDeliveryDate = :today WHERE ItemID = (SELECT MIN(i.ItemID) "
            "FROM LabOrderItems i "
            "JOIN LabOrders o ON o.OrderID = i.OrderID WHERE o.TransType = 0 AND i.RelatedOrderItemID < 0)"));
    lab.bind(QStringLiteral("today"), today).exec();

    const QDate monthly(today.addMonths(-2).year(), today.addMonths(-2).month(), today.day());
    if (monthly.isValid()) {
        writer.insert(QStringLiteral("Reminders"),
            { { QStringLiteral("ReminderID"), writer.take(QStringLiteral("Reminders")) },
                { QStringLiteral("Date"), monthly },
                { QStringLiteral("Comments"), QStringLiteral("Έλεγχος αποθέματος αναλωσίμων") },
                { QStringLiteral("RemForEveryYear"), false }, { QStringLiteral("DeleteDate"), QVariant() },
                { QStringLiteral("RemForEveryMonth"), true }, { QStringLiteral("DurationDays"), 1 } });
    }

    db::Query(c, QStringLiteral("UPDATE Medicines SET Shown = :shown WHERE ID = (SELECT MAX(ID) FROM Medicines)"))
        .bind(QStringLiteral("shown"), false)
        .exec();
}

} // namespace data::demo
