// The appointment book on a practice of its own, offscreen: loading a dentist's week, the
// placing rule, the appointment dialog, cut and paste, working hours and days off.
#include "BookFixture.h"
#include "support/DataTable.h"

#include "appointments/AppointmentEntryUnit.h"
#include "appointments/AppointmentUnit.h"
#include "appointments/DentistsEntryUnit.h"
#include "appointments/WorkingHoursUnit.h"
#include "data/schema/Schema.h"
#include "db/Dataset.h"
#include "db/Errors.h"
#include "reports/Report.h"
#include "support/MessageRecorder.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTabBar>
#include <QtTest>

using namespace booktest;
using appointments::TAppointmentEntryForm;
using appointments::TAppointmentsForm;

namespace {

const QString kAnother = QStringLiteral("Another appointment already exists!");
const QString kNotPossible
    = QStringLiteral("Appointment's paste is not possible.\nAppointment duration greater than maximum");
const QString kAboveMaximum = QStringLiteral("Appointment duration greater than maximum");

std::unique_ptr<TAppointmentsForm> openBook(data::TDmForm& dm, QDate shown)
{
    auto book = std::make_unique<TAppointmentsForm>(dm);
    book->setAttribute(Qt::WA_DeleteOnClose, false);
    book->resize(1000, 700);
    book->showDate(shown);
    return book;
}

QList<int> filledRows(const appointments::TAppointmentGrid& grid, int col)
{
    QList<int> rows;
    for (int r = 1; r <= grid.SlotCount(); ++r) {
        if (grid.GetAppointment(col, r))
            rows << r;
    }
    return rows;
}

} // namespace

class TestAppointmentBook : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void twoSlotAppointmentFillsTwoCells()
    {
        Book practice;
        const QDate monday = nextMonday();
        addAppointment(*practice.dm, { 101, monday, QStringLiteral("8 : 00"), 2 });
        auto book = openBook(*practice.dm, monday);
        const appointments::TAppointmentGrid& grid = *book->AppointmentGrid;
        QCOMPARE(grid.SlotCount(), 31);
        QCOMPARE(filledRows(grid, 1), (QList<int> { 1, 2 }));
        for (int row : { 1, 2 }) {
            QCOMPARE(grid.CellText(1, row), QStringLiteral("Ioannou Maria // note 101"));
            QCOMPARE(grid.GetAppointment(1, row)->Color, appointments::colourOfIndex(kCheckColour));
            QCOMPARE(grid.GetAppointment(1, row)->AppID, 101);
        }
        // A click on the lower cell selects the whole block and shows the details.
        book->selectCell(1, 2);
        QCOMPARE(grid.SelectionTop(), 1);
        QCOMPARE(grid.SelectionBottom(), 2);
        QCOMPARE(book->DetailsMemo->toPlainText(), QStringLiteral("Ioannou Maria\nnote 101"));
    }

    // Stored rows the book cannot place are shown where they can be, and left as they are.
    void oddAppointments_data()
    {
        testsupport::addRows<QString, int, QString, int, QList<int>>(
            { "start", "duration", "type", "docId", "shown" },
            {
                { "start that is no label", "7 : 15", 1, "Check", 1, QList<int> {} },
                { "start written as a number", "3", 1, "Check", 1, QList<int> {} },
                { "duration 0", "9 : 00", 0, "Check", 1, QList<int> {} },
                { "past the day's end", "22 : 30", 40, "Check", 1, QList<int> { 30, 31 } },
                { "unknown type", "9 : 00", 1, "Gone", 1, QList<int> { 3 } },
                { "dentist above 255", "9 : 00", 1, "Check", 257, QList<int> {} },
            });
    }
    void oddAppointments()
    {
        QFETCH(QString, start);
        QFETCH(int, duration);
        QFETCH(QString, type);
        QFETCH(int, docId);
        QFETCH(QList<int>, shown);
        Book practice;
        const QDate monday = nextMonday();
        addAppointment(*practice.dm, { 7, monday, start, duration, docId, QStringLiteral("Odd"), type });
        const QStringList before = snapshot(*practice.dm->Database);
        auto book = openBook(*practice.dm, monday);
        QCOMPARE(filledRows(*book->AppointmentGrid, 1), shown);
        if (type == QStringLiteral("Gone") && !shown.isEmpty())
            QCOMPARE(book->AppointmentGrid->GetAppointment(1, shown.first())->Color,
                book->AppointmentGrid->palette().color(QPalette::Base));
        for (int row : shown)
            book->selectCell(1, row);
        book.reset();
        QCOMPARE(snapshot(*practice.dm->Database), before);
    }

    // The week read through the index is what a walk over every stored appointment places.
    void weekIsTheWalksWeek_data()
    {
        testsupport::addRows<int, int, bool>({ "docId", "weekOffset", "singleDay" },
            {
                { "dentist 1, first week", 1, 0, false },
                { "dentist 2, first week", 2, 0, false },
                { "dentist 1, second week", 1, 7, false },
                { "dentist 2, a single day", 2, 9, true },
            });
    }
    void weekIsTheWalksWeek()
    {
        QFETCH(int, docId);
        QFETCH(int, weekOffset);
        QFETCH(bool, singleDay);
        Book practice;
        const QDate monday = nextMonday();
        QRandomGenerator random(17);
        for (int id = 1; id <= 300; ++id) {
            const QDate date = monday.addDays(random.bounded(-3, 20));
            addAppointment(*practice.dm,
                { id, date, data::timeslots::label(random.bounded(1, 32), 30), random.bounded(0, 4),
                    random.bounded(1, 3), QStringLiteral("P%1").arg(id),
                    random.bounded(2) ? QStringLiteral("Check") : QStringLiteral("Surgery") });
        }
        auto book = openBook(*practice.dm, monday.addDays(weekOffset));
        book->DentistTabs->setCurrentIndex(docId - 1);
        book->setSingleDay(singleDay);
        const appointments::TAppointmentGrid& grid = *book->AppointmentGrid;
        QCOMPARE(book->selectedDentist(), docId);

        // The walk: every row of the table, in identifier order, placed by the same rules.
        db::Dataset all;
        all.setTable(*practice.dm->Database, *data::schemaTable(u"Appointments"));
        all.setOrderBy({ QStringLiteral("AppID") });
        all.open();
        QHash<QPair<int, int>, int> expected;
        for (all.first(); !all.eof(); all.next()) {
            const QDate date = all.value(u"Date").toDate();
            if (all.value(u"DocID").toInt() != docId || date < grid.FirstDate || date > grid.LastDate)
                continue;
            const int col = grid.ColumnOfDate(date);
            const int first = grid.RowOfTime(all.value(u"StartTime").toString());
            for (int k = 0; k < all.value(u"Duration").toInt(); ++k) {
                if (col >= 1 && first + k <= grid.SlotCount())
                    expected.insert({ col, first + k }, all.value(u"AppID").toInt());
            }
        }
        QHash<QPair<int, int>, int> shown;
        for (int col = 1; col < grid.ColCount(); ++col) {
            for (int row = 1; row <= grid.SlotCount(); ++row) {
                if (const appointments::TAppointment* a = grid.GetAppointment(col, row))
                    shown.insert({ col, row }, a->AppID);
            }
        }
        QVERIFY(!expected.isEmpty());
        QCOMPARE(shown, expected);
        QVERIFY(practice.dm->appointments().AppointmentTable->recordCount() < 100); // not the whole table
    }

    void paste_data()
    {
        testsupport::addRows<bool, int, int, QString, QList<int>>(
            { "cut", "targetRow", "lastWorkingRow", "message", "rowsAfter" },
            {
                // The copied appointment lies at rows 3-4; another of dentist 1 at row 8; one of
                // dentist 2 at rows 10-11.
                { "cut onto itself one slot lower", true, 4, 31, QString(), QList<int> { 4, 5, 8 } },
                { "copy into a free slot", false, 5, 31, QString(), QList<int> { 3, 4, 5, 6, 8 } },
                { "another dentist does not block", false, 10, 31, QString(),
                    QList<int> { 3, 4, 8, 10, 11 } },
                { "onto another appointment", false, 7, 31, kAnother, QList<int> { 3, 4, 8 } },
                { "copy onto itself", false, 4, 31, kAnother, QList<int> { 3, 4, 8 } },
                { "beyond the day's end", false, 31, 31, kNotPossible, QList<int> { 3, 4, 8 } },
                { "outside working hours", true, 12, 12, kNotPossible, QList<int> { 3, 4, 8 } },
            });
    }
    void paste()
    {
        QFETCH(bool, cut);
        QFETCH(int, targetRow);
        QFETCH(int, lastWorkingRow);
        QFETCH(QString, message);
        QFETCH(QList<int>, rowsAfter);
        Book practice;
        exec(*practice.dm->Database,
            QStringLiteral("UPDATE Doctors SET WorkingHoursSet = :h WHERE DocID = 1"),
            { { QStringLiteral("h"), data::timeslots::toBytes(rows(1, lastWorkingRow)) } });
        practice.dm->lists().DentistsTable->refresh();
        const QDate monday = nextMonday();
        addAppointment(*practice.dm, { 1, monday, QStringLiteral("9 : 00"), 2 });
        addAppointment(*practice.dm, { 2, monday, QStringLiteral("11 : 30"), 1, 1, QStringLiteral("Other") });
        addAppointment(
            *practice.dm, { 3, monday, QStringLiteral("12 : 30"), 2, 2, QStringLiteral("Dentist two") });
        auto book = openBook(*practice.dm, monday);
        testsupport::MessageRecorder messages;
        book->selectCell(1, 3);
        cut ? book->CutClick() : book->CopyClick();
        book->selectCell(1, targetRow);
        book->PasteClick();
        QCOMPARE(messages.texts(), message.isEmpty() ? QStringList() : QStringList { message });
        QCOMPARE(filledRows(*book->AppointmentGrid, 1), rowsAfter);
        const int stored = count(*practice.dm->Database, QStringLiteral("SELECT COUNT(*) FROM Appointments"));
        QCOMPARE(stored, message.isEmpty() && !cut ? 4 : 3);
        if (message.isEmpty()) {
            // The new block is selected, and the moved appointment keeps its patient and type.
            QCOMPARE(book->AppointmentGrid->Row(), targetRow);
            QCOMPARE(book->AppointmentGrid->GetAppointment(1, targetRow)->AppName,
                QStringLiteral("Ioannou Maria // note 1"));
            QCOMPARE(count(*practice.dm->Database,
                         QStringLiteral("SELECT COUNT(*) FROM Appointments WHERE AppID = 1")),
                cut ? 0 : 1);
        }
    }

    void maximumDuration_data()
    {
        testsupport::addRows<int, int, bool>({ "row", "maximum", "editing" },
            {
                // Working rows 1-10; appointments at rows 3-4 and 7.
                { "last working slot", 10, 1, false },
                { "up to the next appointment", 5, 2, false },
                { "an appointment and the free slots after it", 4, 4, true },
                { "the last appointment of the day", 7, 4, true },
            });
    }
    void maximumDuration()
    {
        QFETCH(int, row);
        QFETCH(int, maximum);
        QFETCH(bool, editing);
        Book practice;
        exec(*practice.dm->Database,
            QStringLiteral("UPDATE Doctors SET WorkingHoursSet = :h WHERE DocID = 1"),
            { { QStringLiteral("h"), data::timeslots::toBytes(rows(1, 10)) } });
        practice.dm->lists().DentistsTable->refresh();
        const QDate monday = nextMonday();
        addAppointment(*practice.dm, { 1, monday, QStringLiteral("9 : 00"), 2 });
        addAppointment(*practice.dm, { 2, monday, QStringLiteral("11 : 00"), 1 });
        auto book = openBook(*practice.dm, monday);
        int seen = -1;
        bool inserting = false;
        book->runModal = [&](QDialog& dialog) {
            auto& entry = static_cast<TAppointmentEntryForm&>(dialog);
            seen = entry.maxDuration();
            inserting = practice.dm->appointments().AppointmentTable->isEditing();
            practice.dm->appointments().AppointmentTable->cancel();
            return int(QDialog::Rejected);
        };
        book->selectCell(1, row);
        book->OpenEntryDialog();
        QCOMPARE(seen, maximum);
        QCOMPARE(inserting, !editing);
        QCOMPARE(count(*practice.dm->Database, QStringLiteral("SELECT COUNT(*) FROM Appointments")), 2);
    }

    void durationAboveTheMaximumIsClamped()
    {
        Book practice;
        const QDate monday = nextMonday();
        addAppointment(*practice.dm, { 1, monday, QStringLiteral("10 : 00"), 1 });
        auto book = openBook(*practice.dm, monday);
        testsupport::MessageRecorder messages;
        QString shown;
        QString dialogMinutes;
        book->runModal = [&](QDialog& dialog) {
            auto& entry = static_cast<TAppointmentEntryForm&>(dialog);
            entry.chooseDuration(4); // five slots where two are free
            shown = entry.DurationCombo->currentText();
            dialogMinutes = entry.DurationMinutes->text();
            practice.dm->appointments().AppointmentTable->setValue(u"PatName", QStringLiteral("New patient"));
            practice.dm->appointments().AppointmentTable->post();
            return int(QDialog::Accepted);
        };
        book->selectCell(1, 3);
        book->OpenEntryDialog();
        // The message names what is in the way.
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(messages.texts().constFirst().startsWith(kAboveMaximum));
        QVERIFY2(messages.texts().constFirst().contains(
                     QStringLiteral("2 (60 minutes): then comes the appointment of")),
            qPrintable(messages.texts().constFirst()));
        QVERIFY(messages.texts().constFirst().contains(QStringLiteral("at 10 : 00")));
        QCOMPARE(shown, QStringLiteral("2"));
        QCOMPARE(dialogMinutes, QStringLiteral("= 60 minutes"));
        QCOMPARE(scalar(*practice.dm->Database,
                     QStringLiteral("SELECT Duration FROM Appointments WHERE PatName = 'New patient'"))
                     .toInt(),
            2);
        QCOMPARE(filledRows(*book->AppointmentGrid, 1), (QList<int> { 3, 4, 5 }));
        QCOMPARE(book->AppointmentGrid->Row(), 3); // the new block is selected
    }

    // Another workstation books the slot while the dialog is open: the post is refused.
    void dialogPostAfterAnotherBooking()
    {
        Book practice;
        const QDate monday = nextMonday();
        auto book = openBook(*practice.dm, monday);
        testsupport::MessageRecorder messages;
        bool refused = false;
        book->runModal = [&](QDialog&) {
            addAppointment(
                *practice.dm, { 900, monday, QStringLiteral("9 : 30"), 1, 1, QStringLiteral("Elsewhere") });
            db::Dataset& view = *practice.dm->appointments().AppointmentTable;
            view.setValue(u"PatName", QStringLiteral("Late"));
            view.setValue(u"Duration", 2);
            try {
                view.post();
            } catch (const db::Abort&) {
                refused = true;
            }
            view.cancel();
            return int(QDialog::Rejected);
        };
        book->selectCell(1, 3); // 9 : 00, two slots reach 9 : 30
        book->OpenEntryDialog();
        QVERIFY(refused);
        QCOMPARE(messages.texts(), QStringList { kAnother });
        QCOMPARE(count(*practice.dm->Database, QStringLiteral("SELECT COUNT(*) FROM Appointments")), 1);
        QCOMPARE(filledRows(*book->AppointmentGrid, 1), (QList<int> { 4 }));
    }

    // A new appointment given up leaves the selection on the empty cell, not on whichever
    // appointment the view returned to.
    void cancellingANewOneSelectsNothingElse()
    {
        Book practice;
        const QDate monday = nextMonday();
        addAppointment(*practice.dm, { 1, monday, QStringLiteral("10 : 00"), 1 });
        auto book = openBook(*practice.dm, monday);
        book->runModal = [&](QDialog&) {
            practice.dm->appointments().AppointmentTable->cancel();
            return int(QDialog::Rejected);
        };
        book->selectCell(3, 8);
        book->OpenEntryDialog();
        QCOMPARE(book->AppointmentGrid->Col(), 3);
        QCOMPARE(book->AppointmentGrid->Row(), 8);
        QCOMPARE(book->AppointmentGrid->AppID(), -1);
    }

    void editingOneLeavesTheOthers()
    {
        Book practice;
        const QDate monday = nextMonday();
        for (int id = 1; id <= 12; ++id)
            addAppointment(*practice.dm,
                { id, monday.addDays(id % 5), data::timeslots::label(id * 2, 30), 1 + id % 2, 1 + id % 2 });
        addAppointment(*practice.dm, { 50, monday.addDays(14), QStringLiteral("9 : 00"), 1 });
        QStringList before = snapshot(*practice.dm->Database);
        auto book = openBook(*practice.dm, monday);
        book->runModal = [&](QDialog&) {
            db::Dataset& view = *practice.dm->appointments().AppointmentTable;
            view.edit();
            view.setValue(u"Details", QStringLiteral("changed"));
            view.post();
            return int(QDialog::Accepted);
        };
        // Appointment 4: Friday, 11 : 30, dentist 1.
        book->selectCell(5, 8);
        QCOMPARE(book->AppointmentGrid->AppID(), 4);
        book->OpenEntryDialog();
        const QStringList after = snapshot(*practice.dm->Database);
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < before.size(); ++i) {
            if (before[i].startsWith(QStringLiteral("4|")))
                QCOMPARE(after[i],
                    QString(before[i]).replace(QStringLiteral("note 4"), QStringLiteral("changed")));
            else
                QCOMPARE(after[i], before[i]);
        }
    }

    void dayOffIsGrey()
    {
        Book practice;
        const QDate tuesday = nextMonday().addDays(1);
        exec(*practice.dm->Database,
            QStringLiteral(
                "INSERT INTO NameDays (ID, Day, Month, Name, DayOff) VALUES (1, :d, :m, 'Holiday', TRUE)"),
            { { QStringLiteral("d"), tuesday.day() }, { QStringLiteral("m"), tuesday.month() } });
        if (practice.dm->lists().NameDaysTable->isActive())
            practice.dm->lists().NameDaysTable->refresh();
        addAppointment(*practice.dm, { 1, tuesday, QStringLiteral("8 : 00"), 1 });
        auto book = openBook(*practice.dm, tuesday);
        book->selectCell(1, 5); // a selected cell keeps the selection's painting
        book->show();
        QVERIFY(QTest::qWaitForWindowExposed(book.get()));
        const appointments::TAppointmentGrid& grid = *book->AppointmentGrid;
        QCOMPARE(grid.DaysOff(), QStringLiteral("0100000"));
        const QImage picture = grid.viewport()->grab().toImage();
        const auto colourAt = [&](int col, int row) {
            const QRect r = grid.CellRect(col, row);
            return picture.pixelColor(r.right() - 3, r.center().y());
        };
        const QColor grey = grid.palette().color(QPalette::Button);
        QCOMPARE(colourAt(2, 3), grey);
        QCOMPARE(colourAt(2, 1), grey); // its appointment too
        QVERIFY(colourAt(1, 3) != grey);
    }

    void workingHoursHideSlots()
    {
        Book practice;
        auto book = openBook(*practice.dm, nextMonday());
        int listed = 0;
        book->runModal = [&](QDialog& dialog) {
            auto& hours = static_cast<appointments::TWorkingHoursForm&>(dialog);
            listed = hours.SlotList->count();
            hours.SlotList->clearSelection();
            for (int i = 1; i <= 4; ++i)
                hours.SlotList->item(i)->setSelected(true);
            return int(QDialog::Accepted);
        };
        book->SetWorkingHoursClick();
        QCOMPARE(listed, 31);
        const QByteArray stored = scalar(
            *practice.dm->Database, QStringLiteral("SELECT WorkingHoursSet FROM Doctors WHERE DocID = 1"))
                                      .toByteArray();
        QCOMPARE(data::timeslots::fromBytes(stored), rows(2, 5));
        for (int r = 1; r <= 31; ++r)
            QCOMPARE(book->AppointmentGrid->isRowShown(r), r >= 2 && r <= 5);
        QCOMPARE(count(*practice.dm->Database,
                     QStringLiteral("SELECT COUNT(*) FROM Doctors WHERE DocID = 2 AND WorkingHoursSet = :h"),
                     { { QStringLiteral("h"), data::timeslots::toBytes(rows(1, 31)) } }),
            1);
    }

    void messagesOfTheCommands_data()
    {
        testsupport::addRows<QString, QString, QString, int>({ "command", "answer", "message", "width" },
            {
                { "column width not a number", "resize", "wide", "Invalid value", 70 },
                { "column width", "resize", "95", QString(), 95 },
                { "patient missing", "patient", QString(), "Patient not found", 70 },
            });
    }
    void messagesOfTheCommands()
    {
        QFETCH(QString, command);
        QFETCH(QString, answer);
        QFETCH(QString, message);
        QFETCH(int, width);
        Book practice;
        addAppointment(*practice.dm,
            { 1, nextMonday(), QStringLiteral("8 : 00"), 1, 1, QStringLiteral("Gone"),
                QStringLiteral("Check"), 4711 });
        auto book = openBook(*practice.dm, nextMonday());
        testsupport::MessageRecorder messages;
        book->askText = [&](const QString&, const QString&) { return std::optional<QString>(answer); };
        book->selectCell(1, 1);
        if (command == QStringLiteral("resize"))
            book->ResizeColumnsClick();
        else
            book->ShowSelectedPatient();
        QCOMPARE(messages.texts(), message.isEmpty() ? QStringList() : QStringList { message });
        QCOMPARE(book->AppointmentGrid->DefaultColWidth(), width);
    }

    void setDefaultDentistWritesTheSettings()
    {
        Book practice;
        appointments::TDentistsEntryForm dentists(*practice.dm);
        QVERIFY(practice.dm->lists().DentistsTable->locate(QStringLiteral("DocID"), 2));
        dentists.SetDefaultBtnClick();
        QCOMPARE(practice.dm->defaultDentist(), 2);
        QCOMPARE(dentists.DefaultLabel->text(), QStringLiteral("2"));
        QCOMPARE(platform::Settings(platform::Edition::Dental, practice.m_practice.configDirectory())
                     .defaultDoctorId(),
            2);
        // The book now opens on the second dentist.
        auto book = openBook(*practice.dm, nextMonday());
        QCOMPARE(book->selectedDentist(), 2);
        QCOMPARE(book->DentistTabs->currentIndex(), 1);
    }

    void nextAndViews_data()
    {
        testsupport::addRows<int, bool, QString>({ "days", "singleDay", "title" },
            {
                { "a week on", 7, false, "Weekly Appointments" },
                { "a month on", 30, false, "Weekly Appointments" },
                { "six months on, one day", 182, true, "Daily Appointments" },
            });
    }
    void nextAndViews()
    {
        QFETCH(int, days);
        QFETCH(bool, singleDay);
        QFETCH(QString, title);
        Book practice;
        const QDate target = QDate::currentDate().addDays(days);
        addAppointment(*practice.dm, { 1, target, QStringLiteral("8 : 30"), 1 });
        auto book = openBook(*practice.dm, QDate::currentDate());
        book->NextClick(days);
        book->setSingleDay(singleDay);
        const appointments::TAppointmentGrid& grid = *book->AppointmentGrid;
        QCOMPARE(book->Calendar->selectedDate(), target);
        QCOMPARE(grid.SelectedDate, target);
        const int col = grid.ColumnOfDate(target);
        QVERIFY(col >= 1);
        QCOMPARE(grid.Col(), col);
        QCOMPARE(filledRows(grid, col), (QList<int> { 2 }));
        QCOMPARE(grid.ColCount(), singleDay ? 2 : 8);
        const reports::Report report = book->printReport();
        QCOMPARE(report.title(), title);
    }

    void defaultDentistMissing()
    {
        Book practice;
        practice.dm->setDefaultDentist(9, platform::session().settings());
        testsupport::MessageRecorder messages;
        TAppointmentsForm book(*practice.dm);
        book.setAttribute(Qt::WA_DeleteOnClose, false);
        QVERIFY(!book.isUsable());
        QCOMPARE(messages.texts(), QStringList { QStringLiteral("Please check your dentists list") });
        QCOMPARE(book.DentistTabs->count(), 2);
        QCOMPARE(book.DentistTabs->tabText(1), QStringLiteral("Konstantinidou -2"));
    }
};

QTEST_MAIN(TestAppointmentBook)
#include "tst_appointmentbook.moc"
