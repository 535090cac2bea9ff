// The reader of the old installation's tables, alone: the values of every field type, the
// code pages, and damaged files (truncated and bit-flipped), which must give a reason and never
// a read outside the file (this test runs under AddressSanitizer too).
#include "import/MemoFile.h"
#include "import/ParadoxError.h"
#include "import/ParadoxTable.h"
#include "import/ParadoxWriter.h"
#include "support/DataTable.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>

using import::ParadoxType;

namespace {

const QList<import::ParadoxWriter::Field> kFields = {
    { QStringLiteral("ID"), ParadoxType::Long },
    { QStringLiteral("Name"), ParadoxType::Alpha, 30 },
    { QStringLiteral("Born"), ParadoxType::Date },
    { QStringLiteral("Visits"), ParadoxType::Short },
    { QStringLiteral("Balance"), ParadoxType::Number },
    { QStringLiteral("Active"), ParadoxType::Logical },
    { QStringLiteral("At"), ParadoxType::Time },
    { QStringLiteral("Stamp"), ParadoxType::Timestamp },
    { QStringLiteral("Remarks"), ParadoxType::Memo, 30 },
    { QStringLiteral("Hours"), ParadoxType::Blob, 20 },
};

QVariantList sampleRow(int i)
{
    const QString memo = i % 2
        ? QStringLiteral("Σύντομο")
        : QStringLiteral("Μακρύ κείμενο σημειώσεων ασθενούς %1. ").arg(i).repeated(3 + i % 40);
    return { i, QStringLiteral("Ζωή Αλεξίου %1").arg(i), QDate(1950 + i % 60, 1 + i % 12, 1 + i % 28),
        i % 300 - 100, i * 1.25 - 40, i % 3 == 0, QTime(8 + i % 10, (i * 7) % 60),
        QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)), memo, QByteArray(32, char(i)) };
}

void writeSample(const QString& path, int rows, int codePage = 1253)
{
    import::ParadoxWriter writer(path, kFields, codePage);
    for (int i = 0; i < rows; ++i)
        writer.append(sampleRow(i));
}

// Every record, every field; a damaged file may refuse with ParadoxError only.
int readAll(const QString& path)
{
    try {
        import::ParadoxTable table(path);
        int values = 0;
        for (int i = 0; i < table.recordCount(); ++i) {
            try {
                values += int(table.record(i).size());
            } catch (const import::ParadoxError&) {
            }
        }
        return values;
    } catch (const import::ParadoxError&) {
        return -1;
    }
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class TestParadoxReader : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

private Q_SLOTS:
    void everyTypeReadsBack_data()
    {
        testsupport::addRows<int>({ "codePage" },
            {
                { "1253", 1253 },
                { "737", 737 },
            });
    }
    void everyTypeReadsBack()
    {
        QFETCH(int, codePage);
        const QString file = path(QStringLiteral("Types%1.DB").arg(codePage));
        writeSample(file, 120, codePage);
        import::ParadoxTable table(file);
        QCOMPARE(table.recordCount(), 120);
        QCOMPARE(table.codePage().number(), codePage);
        QCOMPARE(table.fieldIndex(u"remarks"), 8);
        for (int i = 0; i < 120; ++i)
            QCOMPARE(table.record(i), sampleRow(i));
    }

    void emptyFieldsAreNull()
    {
        const QString file = path(QStringLiteral("Empty.DB"));
        {
            import::ParadoxWriter writer(file, kFields);
            writer.append(QVariantList(kFields.size()));
            writer.append({ 0, QString(), QVariant(), 0, 0.0, false, QTime(0, 0) });
        }
        import::ParadoxTable table(file);
        for (const QVariant& value : table.record(0))
            QVERIFY2(value.isNull(), qPrintable(value.toString()));
        // Zero, false and midnight are values, not empty fields.
        const QVariantList zeros = table.record(1);
        QCOMPARE(zeros[0], QVariant(0));
        QCOMPARE(zeros[4], QVariant(0.0));
        QCOMPARE(zeros[5], QVariant(false));
        QCOMPARE(zeros[6], QVariant(QTime(0, 0)));
    }

    // Truncated and bit-flipped copies of a table and of its memo file: each either reads or
    // is refused with a reason. A few hundred mutations, the same every run.
    void damagedFilesAreRefusedNotRead()
    {
        const QString original = path(QStringLiteral("Fuzz.DB"));
        writeSample(original, 200);
        const QByteArray table = readFile(original);
        const QByteArray memo = readFile(path(QStringLiteral("Fuzz.MB")));
        QVERIFY(!memo.isEmpty());
        QRandomGenerator random(25);
        int refused = 0;
        const QString mutated = path(QStringLiteral("Mutant.DB"));
        const QString mutatedMemo = path(QStringLiteral("Mutant.MB"));
        for (int round = 0; round < 400; ++round) {
            const bool onMemo = round % 4 == 3;
            QByteArray bytes = onMemo ? memo : table;
            if (round % 5 == 0) {
                bytes.truncate(random.bounded(int(bytes.size())));
            } else {
                // Mostly the header and the first blocks, where the structure lies.
                const int span = round % 2 ? int(bytes.size()) : std::min(int(bytes.size()), 0x1000);
                for (int flips = 1 + random.bounded(8); flips > 0; --flips)
                    bytes[random.bounded(span)] ^= char(1 << random.bounded(8));
            }
            writeFile(mutated, onMemo ? table : bytes);
            writeFile(mutatedMemo, onMemo ? bytes : memo);
            if (readAll(mutated) < 0)
                ++refused;
        }
        QVERIFY(refused > 0);
    }

    void memoPointingOutsideTheFileIsRefused()
    {
        QByteArray field(30, '\0');
        field[20] = char(0xff); // index 0xff at offset 0x10000
        field[22] = 1;
        field[24] = char(200); // 200 bytes, more than the leader
        const QString memoPath = path(QStringLiteral("Short.MB"));
        writeFile(memoPath, QByteArray(4096, '\0'));
        const import::MemoFile memo(memoPath);
        QVERIFY_THROWS_EXCEPTION(import::ParadoxError, memo.value(field.constData(), int(field.size())));
    }
};

QTEST_GUILESS_MAIN(TestParadoxReader)
#include "tst_paradoxreader.moc"
