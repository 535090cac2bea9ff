#include "db/Field.h"
#include "db/FieldFormat.h"
#include "support/DataTable.h"

#include <QLocale>
#include <QTest>

// Display formats as the record formats write them, shown in the C locale.
class TestFieldFormat : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void numbers_data()
    {
        const int f64 = int(db::FieldType::Float64);
        testsupport::addRows<QVariant, int, QString, QString>({ "value", "type", "pattern", "shown" },
            {
                { "fixed decimals", QVariant(3.14159), f64, QStringLiteral("0.00"), QStringLiteral("3.14") },
                { "fixed decimals, padded", QVariant(2.5), f64, QStringLiteral("0.00"),
                    QStringLiteral("2.50") },
                { "thousands, optional decimal", QVariant(1234.5), f64, QStringLiteral(",0.#"),
                    QStringLiteral("1,234.5") },
                { "optional decimal dropped", QVariant(1234.0), f64, QStringLiteral(",0.#"),
                    QStringLiteral("1,234") },
                { "optional decimals trimmed", QVariant(2.25), f64, QStringLiteral(",0.###"),
                    QStringLiteral("2.25") },
                { "no leading zero", QVariant(0.5), f64, QStringLiteral("#.###"), QStringLiteral(".5") },
                { "zero with optional digits only", QVariant(0.0), f64, QStringLiteral("#.###"), QString() },
                { "null shows nothing", QVariant(), f64, QStringLiteral("0.00"), QString() },
                { "text after the digits", QVariant(1234.5), f64, QStringLiteral(",0.00 EUR"),
                    QStringLiteral("1,234.50 EUR") },
                { "text before the digits", QVariant(-12500.0), f64, QStringLiteral("$ ,0"),
                    QStringLiteral("$ -12,500") },
                { "text around nothing shown", QVariant(0.0), f64, QStringLiteral("#.## %"), QString() },
                { "integer with decimals", QVariant(7), int(db::FieldType::Int32), QStringLiteral("0.00"),
                    QStringLiteral("7.00") },
                { "date pattern", QVariant(QDate(2026, 12, 4)), int(db::FieldType::Date),
                    QStringLiteral("dd/mm/yyyy"), QStringLiteral("04/12/2026") },
                { "month name", QVariant(QDate(2000, 3, 1)), int(db::FieldType::Date), QStringLiteral("mmmm"),
                    QStringLiteral("March") },
            });
    }

    void numbers()
    {
        QFETCH(QVariant, value);
        QFETCH(int, type);
        QFETCH(QString, pattern);
        QFETCH(QString, shown);
        QCOMPARE(db::fieldformat::format(value, db::FieldType(type), pattern), shown);
    }

    void dateTimes_data()
    {
        testsupport::addRows<QString, QString>({ "pattern", "shown" },
            {
                { "quoted separators", QStringLiteral("dd\"-\"mm\"-\"yy\" \"hh\".\"nn\".\"ss"),
                    QStringLiteral("04-12-26 10.15.30") },
                { "minutes after hours", QStringLiteral("hh:mm"), QStringLiteral("10:15") },
                { "month before hours", QStringLiteral("dd/mm/yyyy hh:mm"),
                    QStringLiteral("04/12/2026 10:15") },
                { "single-quoted text", QStringLiteral("'at' hh:nn"), QStringLiteral("at 10:15") },
            });
    }

    void dateTimes()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, shown);
        QCOMPARE(db::fieldformat::dateTimeText(QDateTime(QDate(2026, 12, 4), QTime(10, 15, 30)), pattern), shown);
    }

    // Values as the engine hands them over, turned into the field's type.
    void storedValues_data()
    {
        const int date = int(db::FieldType::Date);
        testsupport::addRows<QVariant, int, QVariant>({ "stored", "type", "value" },
            {
                { "date", QVariant(QStringLiteral("2025-01-31")), date, QVariant(QDate(2025, 1, 31)) },
                { "date with a time", QVariant(QStringLiteral("2024-02-29T10:00:00")), date,
                    QVariant(QDate(2024, 2, 29)) },
                { "no such day", QVariant(QStringLiteral("2025-02-29")), date, QVariant(QDate()) },
                { "not a date", QVariant(QStringLiteral("31/01/2025")), date, QVariant(QDate()) },
                { "letters in the year", QVariant(QStringLiteral("20x5-01-31")), date, QVariant(QDate()) },
                { "integer", QVariant(qlonglong(70000)), int(db::FieldType::Int32), QVariant(70000) },
                { "integer as text", QVariant(QStringLiteral("12")), int(db::FieldType::Int16),
                    QVariant(12) },
                { "flag", QVariant(qlonglong(1)), int(db::FieldType::Boolean), QVariant(true) },
                { "flag off", QVariant(qlonglong(0)), int(db::FieldType::Boolean), QVariant(false) },
                { "flag as text", QVariant(QStringLiteral("TRUE")), int(db::FieldType::Boolean),
                    QVariant(true) },
                { "null", QVariant(), int(db::FieldType::Int32), QVariant() },
            });
    }

    void storedValues()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, type);
        QFETCH(QVariant, value);
        const QVariant got = db::Field::fromStorage(stored, db::FieldType(type));
        QCOMPARE(got.typeId(), value.typeId());
        QCOMPARE(got, value);
    }
};

QTEST_GUILESS_MAIN(TestFieldFormat)
#include "tst_fieldformat.moc"
