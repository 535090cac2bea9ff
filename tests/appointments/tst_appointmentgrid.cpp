#include "appointments/AppointmentGrid.h"
#include "support/DataTable.h"

#include <QHeaderView>
#include <QLocale>
#include <QSignalSpy>
#include <QtTest>

using appointments::TAppointment;
using appointments::TAppointmentGrid;

class TestAppointmentGrid : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void newGridShowsThisWeekFromMonday()
    {
        TAppointmentGrid grid;
        const QDate today = QDate::currentDate();
        QCOMPARE(grid.RowCount(), 47);
        QCOMPARE(grid.ColCount(), 8);
        QCOMPARE(grid.model()->rowCount(), 46);
        QCOMPARE(grid.model()->columnCount(), 7);
        QCOMPARE(grid.TimeLabel(grid.SlotCount()), QStringLiteral("23 : 00"));
        QCOMPARE(grid.FirstDate.dayOfWeek(), 1);
        QVERIFY(grid.FirstDate <= today && today < grid.FirstDate.addDays(7));
        QCOMPARE(grid.LastDate, grid.FirstDate.addDays(7));
        QCOMPARE(grid.SelectedDate, today);
        QVERIFY(grid.ReadOnly());
        QCOMPARE(grid.DefaultColWidth(), 70);
        QCOMPARE(grid.horizontalHeader()->sectionSize(0), 70);
        QVERIFY(grid.verticalHeader()->width() >= 40);
        QVERIFY(
            grid.verticalHeader()->width() > grid.fontMetrics().horizontalAdvance(QStringLiteral("23 : 00")));
        // Shown in a wider window, the week fills it; never narrower than the default width.
        grid.resize(1000, 400);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QCOMPARE(grid.horizontalHeader()->sectionSize(0), grid.viewport()->width() / 7);
        grid.resize(300, 400);
        QTRY_COMPARE(grid.horizontalHeader()->sectionSize(0), 70);
        QCOMPARE(grid.rowHeight(0), 18);
        // A width the user chose holds in a wide window, narrower than the fill too.
        grid.resize(1000, 400);
        grid.setDefaultColWidth(50);
        QTRY_COMPARE(grid.horizontalHeader()->sectionSize(0), 50);
    }

    void slotLayout_data()
    {
        testsupport::addRows<int, int, QString, QString>({ "minutes", "slotCount", "second", "last" },
            {
                { "20 minutes", 20, 46, "8 : 20", "23 : 00" },
                { "30 minutes", 30, 31, "8 : 30", "23 : 00" },
                { "15 minutes", 15, 61, "8 : 15", "23 : 00" },
                { "5 minutes, no leading zero", 5, 181, "8 : 5", "23 : 00" },
                { "7 minutes, 900 / 7 rounded", 7, 130, "8 : 7", "23 : 3" },
                { "60 minutes", 60, 16, "9 : 00", "23 : 00" },
            });
    }
    void slotLayout()
    {
        QFETCH(int, minutes);
        QFETCH(int, slotCount);
        QFETCH(QString, second);
        QFETCH(QString, last);
        TAppointmentGrid grid;
        grid.SlotMinutes = quint8(minutes);
        grid.Relayout();
        QCOMPARE(grid.SlotCount(), slotCount);
        QCOMPARE(grid.RowCount(), slotCount + 1);
        QCOMPARE(grid.model()->rowCount(), slotCount);
        QCOMPARE(grid.TimeLabel(1), QStringLiteral("8 : 00"));
        QCOMPARE(grid.TimeLabel(2), second);
        QCOMPARE(grid.TimeLabel(slotCount), last);
        QCOMPARE(grid.CellText(0, 2), second);
        QCOMPARE(grid.model()->headerData(1, Qt::Vertical).toString(), second);
        // Labels are the stored start times: each finds its own row back.
        for (int r = 1; r <= slotCount; ++r)
            QCOMPARE(grid.RowOfTime(grid.TimeLabel(r)), r);
        QVERIFY(grid.RowOfTime(QStringLiteral("7 : 40")) > slotCount);
        QVERIFY(grid.RowOfTime(QStringLiteral("08 : 00")) > slotCount);
        QVERIFY(grid.RowOfTime(QStringLiteral("1")) > slotCount);
    }

    void columnOfDate_data()
    {
        const QDate wednesday(2026, 12, 9);
        testsupport::addRows<int, bool, QDate, QDate, int>(
            { "startOfWeek", "singleDay", "shown", "date", "column" },
            {
                { "before the week", 0, false, wednesday, QDate(2026, 12, 6), -1 },
                { "Monday", 0, false, wednesday, QDate(2026, 12, 7), 1 },
                { "the shown Sunday", 0, false, wednesday, QDate(2026, 12, 13), 7 },
                { "the day after the week", 0, false, wednesday, QDate(2026, 12, 14), -1 },
                { "week from Sunday", 6, false, wednesday, QDate(2026, 12, 6), 1 },
                { "week from Sunday, Saturday", 6, false, wednesday, QDate(2026, 12, 12), 7 },
                { "date before the start weekday stays shown", 3, false, QDate(2026, 12, 8),
                    QDate(2026, 12, 8), 6 },
                { "single day", 0, true, wednesday, wednesday, 1 },
                { "single day, the next day", 0, true, wednesday, QDate(2026, 12, 10), -1 },
                { "invalid date", 0, false, wednesday, QDate(), -1 },
            });
    }
    void columnOfDate()
    {
        QFETCH(int, startOfWeek);
        QFETCH(bool, singleDay);
        QFETCH(QDate, shown);
        QFETCH(QDate, date);
        QFETCH(int, column);
        TAppointmentGrid grid;
        grid.setStartOfWeek(startOfWeek);
        grid.SetDate(shown);
        grid.setShowTodayOnly(singleDay);
        QVERIFY(grid.FirstDate <= shown && shown <= grid.FirstDate.addDays(grid.ColCount() - 2));
        QCOMPARE(grid.ColumnOfDate(date), column);
    }

    void dayHeaders_data()
    {
        QTest::addColumn<int>("startOfWeek");
        QTest::addColumn<bool>("singleDay");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("header");
        QTest::newRow("week, Monday the 14th") << 0 << false << QDate(2026, 12, 16) << 1 << "Mon. 14";
        QTest::newRow("week, Sunday") << 0 << false << QDate(2026, 12, 16) << 7 << "Sun. 20";
        QTest::newRow("week from Sunday") << 6 << false << QDate(2026, 12, 16) << 1 << "Sun. 13";
        for (int start : { 0, 3, 6 }) {
            for (int day = 0; day < 7; ++day) {
                const QDate date = QDate(2026, 12, 14).addDays(day);
                const QString name = QLocale().dayName(date.dayOfWeek(), QLocale::ShortFormat);
                QTest::addRow("single day %d, start %d", day, start)
                    << start << true << date << 1 << QStringLiteral("%1. %2").arg(name).arg(date.day());
            }
        }
    }
    void dayHeaders()
    {
        QFETCH(int, startOfWeek);
        QFETCH(bool, singleDay);
        QFETCH(QDate, date);
        QFETCH(int, column);
        QFETCH(QString, header);
        TAppointmentGrid grid;
        grid.setStartOfWeek(startOfWeek);
        grid.SetDate(date);
        grid.setShowTodayOnly(singleDay);
        QCOMPARE(grid.CellText(column, 0), header);
        QCOMPARE(grid.model()->headerData(column - 1, Qt::Horizontal).toString(), header);
        if (singleDay) {
            QCOMPARE(grid.ColCount(), 2);
            QCOMPARE(grid.FirstDate, date);
            QCOMPARE(grid.LastDate, date);
            grid.setShowTodayOnly(false);
            QCOMPARE(grid.StartOfWeek(), startOfWeek); // the configured start comes back
            QCOMPARE(grid.ColCount(), 8);
        }
    }

    void currentAppointmentWrites_data()
    {
        testsupport::addRows<bool, int, QString, bool>({ "withCurrent", "id", "name", "taken" },
            {
                { "negative id", true, -1, QString(), false },
                { "empty name", true, -2, QString(), false },
                { "no current appointment", false, 9, QStringLiteral("X"), false },
                { "id and name", true, 9, QStringLiteral("Papadopoulos // check"), true },
            });
    }
    void currentAppointmentWrites()
    {
        QFETCH(bool, withCurrent);
        QFETCH(int, id);
        QFETCH(QString, name);
        QFETCH(bool, taken);
        TAppointmentGrid grid;
        grid.setReadOnly(false);
        TAppointment appointment { 4, QStringLiteral("Old"), {} };
        grid.SetAppointment(2, 3, &appointment);
        if (withCurrent)
            QVERIFY(grid.SelectCell(2, 3));
        QSignalSpy changes(&grid, &TAppointmentGrid::Change);
        if (id != -2)
            grid.setAppID(id);
        grid.setAppName(name);
        QCOMPARE(grid.AppID(), withCurrent ? (taken ? id : 4) : -1);
        QCOMPARE(grid.AppName(), withCurrent ? (taken ? name : QStringLiteral("Old")) : QString());
        QCOMPARE(changes.count(), taken ? 2 : 0);
        QCOMPARE(grid.property("AppID").toInt(), grid.AppID());
    }

    void showRows_data()
    {
        testsupport::addRows<QList<int>>({ "rows" },
            {
                { "empty set", QList<int> {} },
                { "morning", QList<int> { 1, 2, 3, 4 } },
                { "a gap and the last row", QList<int> { 5, 7, 46 } },
                { "rows beyond the day are ignored", QList<int> { 46, 47, 200 } },
            });
    }
    void showRows()
    {
        QFETCH(QList<int>, rows);
        TAppointmentGrid grid;
        grid.resize(700, 500);
        data::timeslots::SlotSet set;
        for (int r : rows)
            set.set(size_t(r));
        grid.ShowRows(set);
        for (int r = 1; r <= grid.SlotCount(); ++r) {
            QCOMPARE(grid.isRowShown(r), rows.contains(r));
            QCOMPARE(grid.rowHeight(r - 1), rows.contains(r) ? 18 : 0);
        }
        QVERIFY(!grid.horizontalHeader()->isHidden()); // the header row stays
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const int shown
            = int(std::count_if(rows.cbegin(), rows.cend(), [&](int r) { return r <= grid.SlotCount(); }));
        QCOMPARE(grid.verticalHeader()->length(), shown * 18);
    }

    void selectionRule_data()
    {
        testsupport::addRows<bool, bool, int, int, bool, int>(
            { "readOnly", "updating", "col", "row", "selected", "appId" },
            {
                { "read-only refuses", true, false, 3, 2, false, -1 },
                { "read-only while updating", true, true, 3, 2, true, 7 },
                { "an appointment", false, false, 3, 2, true, 7 },
                { "an empty cell", false, false, 4, 2, true, -1 },
                { "the time column", false, false, 0, 2, false, -1 },
                { "below the last slot", false, false, 3, 47, false, -1 },
            });
    }
    void selectionRule()
    {
        QFETCH(bool, readOnly);
        QFETCH(bool, updating);
        QFETCH(int, col);
        QFETCH(int, row);
        QFETCH(bool, selected);
        QFETCH(int, appId);
        TAppointmentGrid grid;
        grid.SetDate(QDate(2026, 12, 9));
        grid.setReadOnly(readOnly);
        grid.Updating = updating;
        TAppointment appointment { 7, QStringLiteral("Ioannou // crown"), {} };
        grid.SetAppointment(3, 2, &appointment);
        QSignalSpy selections(&grid, &TAppointmentGrid::cellSelected);
        QCOMPARE(grid.SelectCell(col, row), selected);
        QCOMPARE(selections.count(), selected ? 1 : 0);
        QCOMPARE(grid.AppID(), appId);
        if (selected) {
            QCOMPARE(grid.SelectedDate, grid.FirstDate.addDays(col - 1));
            QCOMPARE(grid.Col(), col);
            QCOMPARE(grid.Row(), row);
            QVERIFY(grid.selectionModel()->isSelected(grid.model()->index(row - 1, col - 1)));
        }
    }

    // Every key that moves the highlight selects the cell it lands on (cut, copy and paste act
    // on the selected cell).
    void keysSelectWhereTheyLand_data()
    {
        testsupport::addRows<int, int, int>({ "key", "col", "row" },
            {
                { "Down", int(Qt::Key_Down), 3, 6 },
                { "Tab", int(Qt::Key_Tab), 4, 5 },
                { "Shift+Tab", int(Qt::Key_Backtab), 2, 5 },
                { "Home", int(Qt::Key_Home), 3, 1 },
                { "End", int(Qt::Key_End), 3, 46 },
                { "Page Down", int(Qt::Key_PageDown), 3, -1 },
                { "Page Up", int(Qt::Key_PageUp), 3, 1 },
            });
    }
    void keysSelectWhereTheyLand()
    {
        QFETCH(int, key);
        QFETCH(int, col);
        QFETCH(int, row);
        TAppointmentGrid grid;
        grid.setReadOnly(false);
        grid.resize(700, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QVERIFY(grid.SelectCell(3, 5));
        grid.setFocus();
        QSignalSpy selections(&grid, &TAppointmentGrid::cellSelected);
        QTest::keyClick(&grid, Qt::Key(key), key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(grid.Col(), col);
        if (row > 0)
            QCOMPARE(grid.Row(), row);
        else
            QVERIFY2(grid.Row() > 6, "a page further down"); // as many rows as the viewport shows
        QCOMPARE(selections.count(), 1);
        QVERIFY(grid.selectionModel()->isSelected(grid.model()->index(grid.Row() - 1, col - 1)));
        QVERIFY(grid.hasFocus());
    }

    void newDateRaisesChange()
    {
        TAppointmentGrid grid;
        QSignalSpy changes(&grid, &TAppointmentGrid::Change);
        grid.SetDate(QDate(2027, 1, 6));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(grid.FirstDate, QDate(2027, 1, 4));
        grid.setStartOfWeek(2); // kept until the next date is shown
        QCOMPARE(grid.FirstDate, QDate(2027, 1, 4));
        QCOMPARE(changes.count(), 1);
        grid.SetDate(QDate(2027, 1, 6));
        QCOMPARE(grid.FirstDate, QDate(2027, 1, 6));
        QCOMPARE(grid.ConfiguredStartOfWeek(), 2);
    }

    void cellsHoldTheirObjects()
    {
        TAppointmentGrid grid;
        grid.setReadOnly(false);
        TAppointment appointment { 12, QStringLiteral("Nikolaou // filling"), Qt::red };
        grid.SetAppointment(1, 5, &appointment);
        QCOMPARE(appointment.Color, grid.palette().color(QPalette::Base)); // the grid's colour first
        QCOMPARE(grid.GetAppointment(1, 5), &appointment);
        QCOMPARE(grid.CellText(1, 5), appointment.AppName);
        QCOMPARE(grid.CellText(1, 6), QString());
        QCOMPARE(grid.CellText(0, 0), QString());
        QVERIFY(grid.SelectCell(1, 5));
        grid.SetAppointment(1, 5, nullptr);
        QCOMPARE(grid.GetAppointment(1, 5), nullptr);
        QCOMPARE(grid.CurrentAppointment, nullptr); // a freed object is never current
        QCOMPARE(grid.GetAppointment(0, 5), nullptr);
        QCOMPARE(grid.GetAppointment(1, 47), nullptr);
    }

    void painting()
    {
        TAppointmentGrid grid;
        grid.resize(640, 300);
        grid.SetDate(QDate(2026, 12, 9));
        TAppointment booked { 3, QStringLiteral("A"), {} };
        TAppointment bookedOnDayOff { 4, QStringLiteral("B"), {} };
        grid.SetAppointment(2, 1, &booked);
        grid.SetAppointment(3, 1, &bookedOnDayOff);
        booked.Color = QColor(0x80, 0xFF, 0x80);
        bookedOnDayOff.Color = QColor(0x80, 0xFF, 0x80);
        grid.setDaysOff(QStringLiteral("0010000"));
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const QImage picture = grid.viewport()->grab().toImage();
        const auto colourOf = [&](int col, int row) {
            const QRect r = grid.CellRect(col, row);
            return picture.pixelColor(r.right() - 3, r.center().y());
        };
        const QColor grey = grid.palette().color(QPalette::Button);
        QCOMPARE(colourOf(2, 1), booked.Color);
        QCOMPARE(colourOf(3, 1), grey); // a day off greys its booked cells too
        QCOMPARE(colourOf(3, 4), grey);
        QCOMPARE(colourOf(4, 4), grid.palette().color(QPalette::Base));
    }
};

QTEST_MAIN(TestAppointmentGrid)
#include "tst_appointmentgrid.moc"
