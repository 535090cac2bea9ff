// The program speaks Greek where Qt draws the words itself: dates, numbers, the calendar and the
// buttons of Qt's own dialogs, from the language file and the Qt catalogue beside the program.
#include "db/FieldFormat.h"
#include "widgets/DBDateEdit.h"
#include "widgets/ProgramLocale.h"

#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

class TestProgramLocale : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const QLocale locale = widgets::useProgramLocale();
        QCOMPARE(locale.language(), QLocale::Greek);
    }

    void datesAndNumbers()
    {
        QCOMPARE(db::fieldformat::dateText(QDate(2026, 12, 8)), QStringLiteral("08/12/2026"));
        QCOMPARE(QLocale().toString(1234.5, 'f', 2), QStringLiteral("1.234,50"));
        QCOMPARE(QLocale().dayName(2, QLocale::ShortFormat), QString::fromUtf8("Τρί"));
        QCOMPARE(QLocale().standaloneMonthName(12), QString::fromUtf8("Δεκέμβριος"));
    }

    void calendar()
    {
        QCalendarWidget calendar;
        calendar.setSelectedDate(QDate(2026, 12, 8));
        calendar.show();
        auto* month = calendar.findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
        QVERIFY(month);
        QCOMPARE(month->text(), QString::fromUtf8("Δεκέμβριος"));
        auto* days = calendar.findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
        QVERIFY(days);
        const QString header = days->model()->index(0, 1).data().toString();
        QVERIFY2(header.startsWith(QString::fromUtf8("Δ")) || header.startsWith(QString::fromUtf8("Τ")),
            qPrintable(header));
    }

    void qtDialogButtons()
    {
        QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Yes);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8("Άκυρο"));
        QCOMPARE(
            box.button(QDialogButtonBox::Yes)->text().remove(QLatin1Char('&')), QString::fromUtf8("Ναι"));
    }
};

QTEST_MAIN(TestProgramLocale)
#include "tst_programlocale.moc"
