// A database that refuses what the user stores: the error is shown, nothing is half-stored,
// and no exception travels through Qt (main.cpp counts those).

#include "Scenario.h"

#include "appointments/AppointmentGrid.h"
#include "support/ExceptionLogText.h"

#include <QApplication>

namespace scenarios {
namespace {

const QStringList kRefusing { QStringLiteral("History"), QStringLiteral("PatEconomics"),
    QStringLiteral("Appointments") };
const QString kRefusal = QStringLiteral("refused by the test");

// Every insert into the tables above fails, as a full disk or a broken server would make it.
void refuseInserts(const Stored& stored, QVariantMap& notes)
{
    if (stored.onPostgres())
        stored.run(QStringLiteral("CREATE FUNCTION scenario_refuse() RETURNS trigger AS $$ BEGIN RAISE "
                                  "EXCEPTION '%1'; END $$ LANGUAGE plpgsql")
                       .arg(kRefusal));
    for (const QString& table : kRefusing) {
        notes[table] = stored.count(QStringLiteral("SELECT COUNT(*) FROM ") + table);
        stored.run(stored.onPostgres()
                ? QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE INSERT ON %1 FOR EACH ROW EXECUTE FUNCTION "
                                 "scenario_refuse()")
                      .arg(table)
                : QStringLiteral(
                    "CREATE TRIGGER refuse_%1 BEFORE INSERT ON %1 BEGIN SELECT RAISE(ABORT, '%2'); END")
                      .arg(table, kRefusal));
    }
}

void expectRefusal(User& user, const QString& where)
{
    const QString text = user.answer(QStringLiteral("Εντάξει")); // Qt's OK, in Greek
    // The user reads what happened in their words; the engine's own text goes to the log.
    user.checks.expect(text.contains(QString::fromUtf8("Η βάση δεδομένων")) && !text.contains(kRefusal),
        QStringLiteral("%1: the message is in the user's words (\"%2\")").arg(where, text));
    user.checks.expect(testsupport::exceptionLogText().contains(kRefusal),
        QStringLiteral("%1: the exceptions log holds the engine's refusal").arg(where));
}

struct GridCell {
    QPoint global;
    int appId = 0;
};

// A booked cell and a free one of the book's grid, on the screen.
QList<GridCell> bookedAndFree()
{
    auto* grid
        = qobject_cast<appointments::TAppointmentGrid*>(User::visible(QStringLiteral("AppointmentGrid")));
    GridCell booked;
    GridCell free;
    for (int col = 1; grid && col < grid->ColCount(); ++col) {
        for (int row = 1; row <= grid->SlotCount(); ++row) {
            const QRect rect = grid->CellRect(col, row);
            if (!grid->isRowShown(row) || !grid->viewport()->rect().contains(rect))
                continue;
            const appointments::TAppointment* a = grid->GetAppointment(col, row);
            const auto sameAt = [&](int r) {
                const appointments::TAppointment* other
                    = r >= 1 && r <= grid->SlotCount() ? grid->GetAppointment(col, r) : nullptr;
                return other && a && other->AppID == a->AppID;
            };
            // One slot long, so that a free slot has room for it.
            if (a && !sameAt(row - 1) && !sameAt(row + 1) && booked.appId == 0)
                booked = { grid->viewport()->mapToGlobal(rect.center()), a->AppID };
            else if (!a && free.global.isNull())
                free = { grid->viewport()->mapToGlobal(rect.center()), 0 };
        }
    }
    return { booked, free };
}

void faultsDrive(User& user, QVariantMap& notes)
{
    // A click on a tooth (a handler of the chart's own).
    user.toolButton(QStringLiteral("DentalChartBtn"));
    waitShown(user, QStringLiteral("DentalChartForm"));
    recordOnTooth(user, 5, 16);
    expectRefusal(user, QStringLiteral("a click on a tooth"));

    // A menu command: Save on a new payment.
    user.toolButton(QStringLiteral("EconomicsBtn"));
    waitShown(user, QStringLiteral("AmountEdit"));
    user.key(QStringLiteral("ctrl+Insert"));
    waitFocused(user, QStringLiteral("AmountEdit"));
    user.type(QStringLiteral("30"));
    user.menu(QStringLiteral("FileFunctions1"), QStringLiteral("SaveRecordMenu"));
    expectRefusal(user, QStringLiteral("Save from the menu"));
    user.checks.expect(
        user.see([] { return User::textOf(QStringLiteral("AmountEdit")).contains(QLatin1String("30")); }),
        QStringLiteral("the payment typed is still there to store again"));
    user.key(QStringLiteral("ctrl+BackSpace"));

    // The appointment book's Paste, inside its write lock.
    user.key(QStringLiteral("F3"));
    waitShown(user, QStringLiteral("AppointmentGrid"));
    const QList<GridCell> cells = user.see(bookedAndFree);
    if (cells.at(0).appId == 0 || cells.at(1).global.isNull())
        throw Stuck(QStringLiteral("no booked and free cell side by side in the book"));
    notes[QStringLiteral("cut")] = cells.at(0).appId;
    user.click(cells.at(0).global);
    user.key(QStringLiteral("ctrl+x"));
    user.click(cells.at(1).global);
    user.key(QStringLiteral("ctrl+v"));
    expectRefusal(user, QStringLiteral("Paste in the book"));
}

void nothingHalfStored(const Stored& stored, const QVariantMap& notes, Checks& checks)
{
    for (const QString& table : kRefusing) {
        const int now = stored.count(QStringLiteral("SELECT COUNT(*) FROM ") + table);
        checks.expect(now == notes.value(table).toInt(),
            QStringLiteral("%1 holds %2 rows, not %3").arg(table).arg(now).arg(notes.value(table).toInt()));
    }
    checks.expect(stored.count(QStringLiteral("SELECT COUNT(*) FROM Appointments WHERE AppID = :id"),
                      { { QStringLiteral("id"), notes.value(QStringLiteral("cut")) } })
            == 1,
        QStringLiteral("the appointment cut is still booked after the refused paste"));
}

} // namespace

const Scenario& faultsScenario()
{
    static const Scenario scenario { QStringLiteral("faults"), refuseInserts, faultsDrive,
        nothingHalfStored };
    return scenario;
}

} // namespace scenarios
