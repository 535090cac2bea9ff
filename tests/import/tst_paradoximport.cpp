#include "OldPractice.h"
#include "support/DataTable.h"

#include "data/DataCommands.h"
#include "data/DataDirectory.h"
#include "db/Connection.h"
#include "db/Generators.h"
#include "db/Query.h"
#include "import/ParadoxImport.h"
#include "import/ParadoxTable.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace testsupport;

namespace {

QVariant asStored(const QVariant& value, db::FieldType type)
{
    if (value.isNull())
        return {};
    switch (type) {
    case db::FieldType::Date:
        return value.toDate();
    case db::FieldType::Time:
        return value.toTime();
    case db::FieldType::Boolean:
        return value.toBool();
    case db::FieldType::Int16:
    case db::FieldType::Int32:
        return value.toInt();
    case db::FieldType::Float64:
        return value.toDouble();
    default:
        return value.toString();
    }
}

// The stored row of `table` whose `key` field holds `id`, by field name.
QHash<QString, QVariant> storedRow(
    db::Connection& data, const QString& table, const QString& key, const QVariant& id)
{
    db::Query query(data, QStringLiteral("SELECT * FROM %1 WHERE %2 = :id").arg(table, key));
    query.bind(QStringLiteral("id"), id).exec();
    QHash<QString, QVariant> row;
    if (!query.next())
        return row;
    const db::TableDef* def = data::schemaTable(table);
    for (const db::FieldDef& field : def->fields)
        row.insert(field.name, asStored(query.value(field.name), field.type));
    return row;
}

qint64 rowCount(db::Connection& data, const QString& table)
{
    return db::Query(data, QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).scalar().toLongLong();
}

const import::ImportReport::File* failedFile(const import::ImportReport& report, const QString& file)
{
    for (const auto& failed : report.failedFiles) {
        if (failed.file.compare(file, Qt::CaseInsensitive) == 0)
            return &failed;
    }
    return nullptr;
}

bool hasRow(const QList<import::ImportReport::Row>& rows, const QString& table, const QString& key,
    const QString& reason)
{
    return std::any_of(rows.begin(), rows.end(), [&](const import::ImportReport::Row& r) {
        return r.table == table && r.key == key && r.reason.contains(reason);
    });
}

// What --check-data says of `directory`, and its exit code.
std::pair<int, QString> checkData(const QString& directory)
{
    QString out;
    QTextStream outStream(&out);
    QString err;
    QTextStream errStream(&err);
    const int code = data::runDataCommand(data::DataCommand::Check, directory, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return { code, out + err };
}

} // namespace

class TestParadoxImport : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_old;
    QString m_data;
    int m_run = 0;

    auto importNow(bool keepGoing = false) { return import::importParadox({ m_old, m_data, keepGoing, {} }); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        const QString run = QDir(m_dir.path()).filePath(QString::number(++m_run));
        m_old = run + QStringLiteral("/Old/Data");
        m_data = run + QStringLiteral("/New/Data");
    }

    void everyRowAndFieldComesAcross_data()
    {
        testsupport::addRows<int>({ "codePage" },
            {
                { "Windows Greek", 1253 },
                { "DOS Greek", 737 },
            });
    }
    void everyRowAndFieldComesAcross()
    {
        QFETCH(int, codePage);
        const QList<OldTable> practice = smallPractice();
        writePractice(m_old, practice, codePage);
        writeOldGenerator(m_old, QStringLiteral("LastPat"), 10); // patients 4 to 10 were deleted
        writeOldGenerator(m_old, QStringLiteral("LastHist"), 2); // lags behind the rows

        const import::ImportReport report = importNow();
        QVERIFY2(report.written, qPrintable(report.text()));
        QVERIFY2(report.failedFiles.isEmpty() && report.refused.isEmpty() && report.notes.isEmpty(),
            qPrintable(report.text()));

        data::DataConnections connections = data::DataDirectory(m_data).open();
        for (const OldTable& table : practice) {
            const db::TableDef* def = data::schemaTable(table.name);
            const QString key
                = def->identifierField.isEmpty() ? QStringLiteral("PatID") : def->identifierField;
            QCOMPARE(rowCount(*connections.data, table.name), qint64(table.rows.size()));
            for (const OldRow& old : table.rows) {
                const QHash<QString, QVariant> stored
                    = storedRow(*connections.data, table.name, key, old.value(key));
                QVERIFY2(
                    !stored.isEmpty(), qPrintable(table.name + QLatin1Char(' ') + old.value(key).toString()));
                for (const db::FieldDef& field : def->fields)
                    QCOMPARE(stored.value(field.name), asStored(old.value(field.name), field.type));
            }
            const auto counts = std::find_if(report.tables.begin(), report.tables.end(),
                [&](const auto& t) { return t.table == table.name; });
            QVERIFY(counts != report.tables.end());
            QCOMPARE(counts->read, qint64(table.rows.size()));
            QCOMPARE(counts->imported, qint64(table.rows.size()));
        }

        // The old generator's number wins over the highest patient; the highest history row
        // wins over a generator that lagged; a new patient gets a fresh number.
        QCOMPARE(connections.generators->last(QStringLiteral("LastPat")), 10);
        QCOMPARE(connections.generators->last(QStringLiteral("LastHist")), 5);
        QCOMPARE(connections.generators->last(QStringLiteral("LastPatEconom")), 2);
        QCOMPARE(connections.generators->next(QStringLiteral("LastPat")), 11);
        QCOMPARE(connections.generators->next(QStringLiteral("LastSession")), 4);
    }

    void imageFoldersComeAlong()
    {
        writePractice(m_old, smallPractice());
        const QString image = QDir(m_old).filePath(QStringLiteral("../xrays/x1/panoramic.jpg"));
        QVERIFY(QDir().mkpath(QFileInfo(image).absolutePath()));
        QFile file(image);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not really a picture");
        file.close();

        const import::ImportReport report = importNow();
        QVERIFY2(report.written, qPrintable(report.text()));
        QFile copied(QDir(m_data).filePath(QStringLiteral("../xrays/x1/panoramic.jpg")));
        QVERIFY(copied.open(QIODevice::ReadOnly));
        QCOMPARE(copied.readAll(), QByteArray("not really a picture"));
        QVERIFY(QFile::exists(image)); // copied, not moved
    }

    // An image already in the new folder is never overwritten; old and new data directories
    // side by side share their image folder, which is left alone.
    void imagesAlreadyThereStay_data()
    {
        testsupport::addRows<bool, QString>({ "sideBySide", "said" },
            {
                { "a picture of the same name", false, "left as it is" },
                { "one folder for both", true, "which the new data directory shares" },
            });
    }
    void imagesAlreadyThereStay()
    {
        QFETCH(bool, sideBySide);
        QFETCH(QString, said);
        if (sideBySide)
            m_data = QFileInfo(m_old).absolutePath() + QStringLiteral("/NewData");
        writePractice(m_old, smallPractice());
        auto writeImage = [](const QString& path, const QByteArray& bytes) {
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile file(path);
            return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        };
        const QString old = QFileInfo(m_old).absolutePath() + QStringLiteral("/xrays/x1/panoramic.jpg");
        const QString kept = QFileInfo(m_data).absolutePath() + QStringLiteral("/xrays/x1/panoramic.jpg");
        QVERIFY(writeImage(old, "old picture"));
        if (!sideBySide)
            QVERIFY(writeImage(kept, "picture already there"));

        const import::ImportReport report = importNow();
        QVERIFY2(report.written, qPrintable(report.text()));
        QVERIFY2(report.images.join(QLatin1Char(' ')).contains(said), qPrintable(report.text()));
        QFile image(kept);
        QVERIFY(image.open(QIODevice::ReadOnly));
        QCOMPARE(image.readAll(), QByteArray(sideBySide ? "old picture" : "picture already there"));
        QVERIFY(!QFileInfo::exists(QFileInfo(m_data).absolutePath() + QStringLiteral("/.xrays.importing")));
    }

    // Each bad file is named with its reason. Without --keep-going nothing is written; with it,
    // the other tables arrive whole.
    void badFiles_data()
    {
        testsupport::addRows<QString, QString>({ "file", "reason" },
            {
                { "truncated", "History.DB", "truncated" },
                { "bad header", "History.DB", "bad header" },
                { "missing memo file", "Patient.DB", "memo file Patient.MB is missing" },
                { "unknown code page", "History.DB", "unknown code page 1251" },
                { "another program's table", "Invoices.DB", "not a table of this practice" },
                { "damaged block chain", "History.DB", "damaged" },
            });
    }
    void badFiles()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        writePractice(m_old, smallPractice());
        const QString path = QDir(m_old).filePath(file);
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        if (tag == QLatin1String("unknown code page")) {
            writeOldTable(m_old, QStringLiteral("History"), smallPractice()[2].rows, 1251);
        } else if (tag == QLatin1String("another program's table")) {
            import::ParadoxWriter other(path, { { QStringLiteral("InvoiceNo"), import::ParadoxType::Long } });
            other.append({ 1 });
        } else if (tag == QLatin1String("missing memo file")) {
            QVERIFY(QFile::remove(QDir(m_old).filePath(QStringLiteral("Patient.MB"))));
        } else {
            QFile table(path);
            QVERIFY(table.open(QIODevice::ReadWrite));
            QByteArray bytes = table.readAll();
            if (tag == QLatin1String("truncated"))
                bytes.truncate(bytes.size() - 100);
            else if (tag == QLatin1String("bad header"))
                bytes[0x04] = 7; // the file type of an index
            else
                bytes[0x0E] = 9; // the first data block is past the end
            table.resize(0);
            table.write(bytes);
        }

        const import::ImportReport stopped = importNow();
        QVERIFY(!stopped.written);
        QVERIFY2(failedFile(stopped, file) && failedFile(stopped, file)->reason.contains(reason),
            qPrintable(stopped.text()));
        QVERIFY(stopped.failure.contains(QLatin1String("--keep-going")));
        QVERIFY(!QFileInfo::exists(m_data));

        const import::ImportReport goneOn = importNow(true);
        QVERIFY2(goneOn.written, qPrintable(goneOn.text()));
        QVERIFY(failedFile(goneOn, file));
        data::DataConnections connections = data::DataDirectory(m_data).open();
        QCOMPARE(rowCount(*connections.data, QStringLiteral("Appointments")), qint64(2));
        const bool patientsFailed = file == QLatin1String("Patient.DB");
        QCOMPARE(rowCount(*connections.data, QStringLiteral("Patient")), qint64(patientsFailed ? 0 : 3));
        QCOMPARE(rowCount(*connections.data, QStringLiteral("History")),
            qint64(file == QLatin1String("History.DB") ? 0 : 3));
    }

    // A row breaking a rule of ours is named; it is taken as it was when the rule allows it.
    void rowsBreakingOurRules()
    {
        QList<OldTable> practice = smallPractice();
        practice[0].rows.append(
            { { "PatientID", 2 }, { "LastName", QStringLiteral("Διπλός") } }); // a duplicate key
        practice[0].rows.append({ { "LastName", QStringLiteral("Χωρίς αριθμό") } }); // no identifier
        practice[2].rows.append(
            { { "ID", 9 }, { "PatientID", 77 }, { "Date", QDate(2004, 1, 1) } }); // patient missing
        practice[2].rows.append(
            { { "ID", 10 }, { "PatientID", 1 }, { "Date", QDate(1703, 5, 2) } }); // out of range
        writePractice(m_old, practice);
        { // a table without an identifier, its row named by the fields of its first index
            import::ParadoxWriter families(QDir(m_old).filePath(QStringLiteral("Families.DB")),
                { { QStringLiteral("FatherID"), import::ParadoxType::Long },
                    { QStringLiteral("ChildID"), import::ParadoxType::Long },
                    { QStringLiteral("ChildPays"),
                        import::ParadoxType::Alpha,
                        5 } });
            families.append({ 1, 3, QStringLiteral("maybe") });
        }

        const import::ImportReport report = importNow();
        QVERIFY2(report.written, qPrintable(report.text()));
        QVERIFY2(
            hasRow(report.refused, "Patient", "PatientID 2", "duplicate key"), qPrintable(report.text()));
        QVERIFY2(hasRow(report.refused, "Families", "ChildID 3", "not yes or no"), qPrintable(report.text()));
        QVERIFY2(hasRow(report.refused, "Patient", "record 5", "no PatientID"), qPrintable(report.text()));
        QVERIFY2(hasRow(report.notes, "History", "ID 9", "patient 77 is missing"), qPrintable(report.text()));
        QVERIFY2(hasRow(report.notes, "History", "ID 10", "out of range"), qPrintable(report.text()));
        QCOMPARE(report.refused.size(), 3);

        data::DataConnections connections = data::DataDirectory(m_data).open();
        QCOMPARE(storedRow(*connections.data, "Patient", "PatientID", 2).value("LastName").toString(),
            QStringLiteral("Οικονόμου"));
        QCOMPARE(rowCount(*connections.data, "Patient"), qint64(3));
        QCOMPARE(storedRow(*connections.data, "History", "ID", 10).value("Date").toDate(), QDate(1703, 5, 2));
        QCOMPARE(storedRow(*connections.data, "History", "ID", 9).value("PatientID").toInt(), 77);
        const auto patients = std::find_if(
            report.tables.begin(), report.tables.end(), [](const auto& t) { return t.table == "Patient"; });
        QCOMPARE(patients->read, qint64(5));
        QCOMPARE(patients->imported, qint64(3));
        QCOMPARE(patients->refused, qint64(2));
    }

    // A memo the memo file does not hold where its record says refuses that row, not the table.
    void aDamagedMemoRefusesItsRow()
    {
        writePractice(m_old, smallPractice());
        const QString path = QDir(m_old).filePath(QStringLiteral("Patient.DB"));
        int at = 0;
        {
            const import::ParadoxTable table(path);
            const import::ParadoxField& remarks = table.fields()[table.fieldIndex(u"Remarks")];
            at = remarks.offset + remarks.length - 10; // the first record's memo pointer
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        at += (uchar(bytes[2]) | uchar(bytes[3]) << 8) + 6; // after the header and the block's head
        bytes[at + 3] = char(0x7f); // an offset far past the memo file's end
        file.resize(0);
        file.write(bytes);
        file.close();

        const import::ImportReport report = importNow();
        QVERIFY2(report.written, qPrintable(report.text()));
        QVERIFY2(hasRow(report.refused, "Patient", "PatientID 1", "outside the memo file"),
            qPrintable(report.text()));
        {
            data::DataConnections connections = data::DataDirectory(m_data).open();
            QCOMPARE(rowCount(*connections.data, "Patient"), qint64(2));
        }
        // Its sessions, treatments and ledger rows are the import's account, not lost patients.
        const auto [code, said] = checkData(m_data);
        QVERIFY2(said.contains(
                     QLatin1String("the import refused PatientID 1 (a memo points outside the memo file")),
            qPrintable(said));
        QVERIFY2(
            said.contains(QLatin1String("rows of Sessions refer to Patient rows the import did not bring")),
            qPrintable(said));
        QCOMPARE(code, 0);
    }

    // History.DB cut short and LastHist far behind: the ledger and the lab still refer to
    // treatments up to 40, a refused patient's number and an unregistered one are in use too.
    // No generator may give out a number in use, and --check-data puts what is missing down to
    // the import instead of to a damaged database.
    void aPartialImportNeverGivesANumberTwice()
    {
        QList<OldTable> practice = smallPractice();
        practice[3].rows.append({ { "EconomID", 3 }, { "PatientID", 2 }, { "HistoryID", 40 },
            { "Date", QDate(2004, 5, 2) }, { "Sign", 1 }, { "Credit", 120.0 } });
        practice[4].rows.append({ { "AppID", 3 }, { "PatID", 30 }, { "Date", QDate(2004, 9, 16) },
            { "StartTime", QStringLiteral("8") } });
        practice.append({ QStringLiteral("LabOrderItems"),
            { { { "ItemID", 1 }, { "OrderID", 1 }, { "HistoryID", 33 }, { "PatientID", 1 } } } });
        practice[0].rows.append({ { "PatientID", 2 }, { "LastName", QStringLiteral("Διπλός") } }); // refused
        practice[0].rows.append({ { "PatientID", 60 }, { "LastName", QStringLiteral("Χαμένη σημείωση") } });
        writePractice(m_old, practice);
        writeOldGenerator(m_old, QStringLiteral("LastHist"), 2);
        writeOldGenerator(m_old, QStringLiteral("LastPat"), 3);
        const QString history = QDir(m_old).filePath(QStringLiteral("History.DB"));
        QVERIFY(QFile::resize(history, QFileInfo(history).size() - 100));

        const import::ImportReport report = importNow(true);
        QVERIFY2(report.written, qPrintable(report.text()));
        {
            data::DataConnections connections = data::DataDirectory(m_data).open();
            db::Connection& data = *connections.data;
            QCOMPARE(rowCount(data, QStringLiteral("History")), qint64(0));
            const qint64 referredHistory
                = db::Query(data, QStringLiteral("SELECT MAX(HistoryID) FROM PatEconomics"))
                      .scalar()
                      .toLongLong();
            QCOMPARE(referredHistory, qint64(40));
            QVERIFY(connections.generators->next(QStringLiteral("LastHist")) > 40);
            QVERIFY(connections.generators->next(QStringLiteral("LastPat")) > 60);
            QVERIFY(connections.generators->next(QStringLiteral("LastLabOrderItem")) > 1);
            QVERIFY(connections.generators->next(QStringLiteral("LastLabOrder"))
                > 1); // referred to, never imported
        }

        const auto [code, said] = checkData(m_data);
        QVERIFY2(said.contains(QLatin1String("partial import of")), qPrintable(said));
        QVERIFY2(
            said.contains(QLatin1String("History was left empty on purpose: History.DB could not be read")),
            qPrintable(said));
        QVERIFY2(
            said.contains(QLatin1String("the import refused PatientID 2 (duplicate key")), qPrintable(said));
        QVERIFY2(
            said.contains(QLatin1String(
                "1 row of LabOrderItems, 2 rows of PatEconomics refer to History rows the import did not "
                "bring (not imported, or not in the old practice): 1, 33, 40")),
            qPrintable(said));
        QVERIFY2(
            said.contains(QLatin1String("1 row of Appointments refers to Patient rows")), qPrintable(said));
        QVERIFY2(!said.contains(QLatin1String("backup")), qPrintable(said)); // nothing blamed on the database
        QCOMPARE(code, 0);
        // The report names patients' rows: its owner's alone.
        QCOMPARE(QFileInfo(QDir(m_data).filePath(QStringLiteral("ImportReport.json"))).permissions()
                & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
            QFileDevice::Permissions {});
    }

    void aTargetInUseIsLeftAlone()
    {
        writePractice(m_old, smallPractice());
        QVERIFY(QDir().mkpath(m_data));
        QFile mine(QDir(m_data).filePath(QStringLiteral("notes.txt")));
        QVERIFY(mine.open(QIODevice::WriteOnly));
        mine.close();

        const import::ImportReport report = importNow();
        QVERIFY(!report.written);
        QVERIFY(report.failure.contains(QLatin1String("not empty")));
        QCOMPARE(QDir(m_data).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("notes.txt") });
    }
};

QTEST_GUILESS_MAIN(TestParadoxImport)
#include "tst_paradoximport.moc"
