// The reminders of the day window, the reminders list and the phone list on a small practice.

#include "data/RemindersOfDay.h"
#include "data/RulesPractice.h"
#include "db/DataSource.h"
#include "platform/Directories.h"
#include "reminders/PhonesUnit.h"
#include "reminders/RemindersUnit.h"
#include "reminders/ShowReminderUnit.h"
#include "reports/Report.h"
#include "support/DataTable.h"
#include "support/MessageRecorder.h"
#include "support/RecordFrameFor.h"
#include "widgets/WindowService.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

void exec(data::TDmForm& dm, const QString& sql, const QVariantMap& values = {})
{
    rulestest::exec(*dm.Database, sql, values);
}

// Opens nothing but what the test gives it: the reference lists window's part in "New City".
class FakeWindows final : public widgets::WindowService {
public:
    std::function<void()> onAdditional;
    QStringList opened;
    QWidget* openWindow(const QString& name) override
    {
        opened << name;
        if (name == QLatin1String("AdditionalForm") && onAdditional)
            onAdditional();
        return nullptr;
    }
    QWidget* findWindow(const QString&) const override { return nullptr; }
};

} // namespace

class TestReminderWindows : public RulesTest {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QDir().mkpath(platform::programDir()); }

    // Each page shows only with something on it; the recall report lists the grid's rows.
    void pagesOfTheDay_data()
    {
        testsupport::addRows<bool, bool>({ "reminder", "recall" },
            {
                { "both", true, true },
                { "reminders only", true, false },
                { "recalls only", false, true },
            });
    }
    void pagesOfTheDay()
    {
        QFETCH(bool, reminder);
        QFETCH(bool, recall);
        auto dm = m_practice->open();
        const auto frame = testsupport::recordFrameFor(*dm);
        const QDate today(2026, 5, 4);
        if (reminder)
            exec(*dm,
                QStringLiteral("INSERT INTO Reminders (ReminderID, \"Date\", Comments, DurationDays) VALUES "
                               "(1, :d, 'Call the lab', 0)"),
                { { QStringLiteral("d"), today } });
        RulesPractice::addPatient(*dm, QStringLiteral("Recalled"));
        if (recall)
            exec(*dm, QStringLiteral("UPDATE Patient SET RecallDate = :d"),
                { { QStringLiteral("d"), today } });

        reminders::TShowReminderForm form(*dm, today);
        QVERIFY(form.gather());
        QCOMPARE(form.Pages->isTabVisible(form.Pages->indexOf(form.RemindersPage)), reminder);
        QCOMPARE(form.Pages->isTabVisible(form.Pages->indexOf(form.RecallsPage)), recall);
        QCOMPARE(form.ReminderMemo->toPlainText().contains(QStringLiteral("Call the lab")), reminder);
        if (recall) {
            const reports::Report report = form.recallReport();
            QVERIFY(report.title().startsWith(form.RecallLabel->text()));
            const auto* table = std::get_if<reports::ReportTable>(&report.blocks().back());
            QVERIFY(table);
            QCOMPARE(table->rows().size(), 1);
            QCOMPARE(table->rows().first().cells.first(), QStringLiteral("Recalled"));
        }
    }

    void nothingToShow_data()
    {
        testsupport::addSwitchRows("mainVisible", "main window shown", "main window hidden");
    }
    void nothingToShow()
    {
        QFETCH(bool, mainVisible);
        auto dm = m_practice->open();
        const auto frame = testsupport::recordFrameFor(*dm);
        testsupport::MessageRecorder messages;
        reminders::ShowRemindersOfDay(*dm, QDate(2026, 5, 4), mainVisible);
        QCOMPARE(messages.texts(),
            mainVisible ? QStringList { QStringLiteral("No reminders found for the selected date.") }
                        : QStringList {});
    }

    // A broken recall query costs the recall page only.
    void brokenRecallQueryLeavesTheReminders()
    {
        auto dm = m_practice->open();
        const auto frame = testsupport::recordFrameFor(*dm);
        const QDate today(2026, 5, 4);
        exec(*dm,
            QStringLiteral("INSERT INTO Reminders (ReminderID, \"Date\", Comments, DurationDays) VALUES (1, "
                           ":d, 'Still here', 0)"),
            { { QStringLiteral("d"), today } });
        QFile query(data::RemindersOfDay(*dm, today).recallQueryPath());
        QVERIFY(query.open(QIODevice::WriteOnly | QIODevice::Truncate));
        query.write("SELECT nonsense FROM Nowhere");
        query.close();
        bool shown = false;
        QTimer::singleShot(0, this, [&] {
            if (auto* form = qobject_cast<reminders::TShowReminderForm*>(QApplication::activeModalWidget())) {
                shown = form->ReminderMemo->toPlainText().contains(QStringLiteral("Still here"))
                    && !form->Pages->isTabVisible(form->Pages->indexOf(form->RecallsPage));
                form->OKBtn->click();
            }
        });
        reminders::ShowRemindersOfDay(*dm, today, true);
        QVERIFY(shown);
        QVERIFY(!dm->patients().PatientsToReviewQry->isActive());
    }

    // The list window gives the record commands its table while active and closes it after.
    void remindersListOwnsItsTable()
    {
        auto dm = m_practice->open();
        const auto frame = testsupport::recordFrameFor(*dm);
        dm->lists().RemindersTable->close();
        auto* form = new reminders::TRemindersForm(*dm);
        form->show();
        QVERIFY(dm->lists().RemindersTable->isActive());
        QCOMPARE(dm->ActiveSrc->dataset(), dm->lists().RemindersTable);
        QCOMPARE(dm->ActiveSrc->tag(), 22);
        dm->lists().RemindersTable->append();
        QVERIFY(!form->CloseBtn->isEnabled());
        dm->lists().RemindersTable->setValue(u"Comments", QStringLiteral("Kept"));
        testsupport::MessageRecorder messages; // the save question: Yes
        QVERIFY(form->close());
        QVERIFY(!dm->lists().RemindersTable->isActive());
        QCOMPARE(dm->ActiveSrc->dataset(), nullptr);
        QCOMPARE(rulestest::count(
                     *dm->Database, QStringLiteral("SELECT COUNT(*) FROM Reminders WHERE Comments = 'Kept'")),
            1);
        delete form;
    }

    // New City: a new row of the cities, filled in elsewhere, becomes the entry's city.
    void newCityGoesToTheEntry()
    {
        auto dm = m_practice->open();
        const auto frame = testsupport::recordFrameFor(*dm);
        FakeWindows windows;
        widgets::WindowService::setCurrent(&windows);
        windows.onAdditional = [&] {
            db::Dataset& cities = *dm->lists().CitiesTable;
            QCOMPARE(cities.state(), db::DatasetState::Insert);
            cities.setValue(u"CityName", QStringLiteral("Nafplio"));
            cities.post();
        };
        reminders::TPhonesForm form(*dm, {});
        form.show();
        db::Dataset& phones = *dm->lists().PhonesTable;
        phones.append();
        phones.setValue(u"LastName", QStringLiteral("Karras"));
        form.NewCityBtnClick();
        QCOMPARE(windows.opened, QStringList { QStringLiteral("AdditionalForm") });
        QCOMPARE(phones.value(u"City").toString(), QStringLiteral("Nafplio"));
        QCOMPARE(dm->ActiveSrc->dataset(), &phones);
        QVERIFY(!form.SearchBtn->isEnabled());
        phones.post();
        phones.applyUpdates();
        QCOMPARE(rulestest::count(*dm->Database,
                     QStringLiteral("SELECT COUNT(*) FROM Phones p JOIN Cities c ON c.CityID = p.CityID "
                                    "WHERE c.CityName = 'Nafplio'")),
            1);
        widgets::WindowService::setCurrent(nullptr);
    }
};

QTEST_MAIN(TestReminderWindows)
#include "tst_reminderwindows.moc"
