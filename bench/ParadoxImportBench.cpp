// (im) Import of an old installation: a Paradox practice of 5,000 patients and 100,000
// treatment rows, written with pxlib, brought across by the import; the progress it reports is
// timed too. Plain SQL: the same rows read with the same reader and inserted with plain
// prepared statements in one transaction, without the checks.
#include "Measure.h"

#include "data/schema/Schema.h"
#include "db/Connection.h"
#include "import/ParadoxImport.h"
#include "import/ParadoxTable.h"
#include "import/ParadoxWriter.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace bench {
namespace {

const QStringList kLastNames = { QStringLiteral("Παπαδόπουλος"), QStringLiteral("Οικονόμου"),
    QStringLiteral("Γεωργίου"), QStringLiteral("Αλεξίου"), QStringLiteral("Νικολάου") };
const QStringList kFirstNames = { QStringLiteral("Γιώργος"), QStringLiteral("Ελένη"), QStringLiteral("Μαρία"),
    QStringLiteral("Κώστας") };

void writeTable(const QString& dir, const QString& name, int rows,
    const std::function<QVariantList(int, const db::TableDef&)>& row)
{
    const db::TableDef* def = data::schemaTable(name);
    import::ParadoxWriter writer(
        QDir(dir).filePath(name + QStringLiteral(".DB")), import::ParadoxWriter::fieldsOf(*def));
    for (int i = 0; i < rows; ++i)
        writer.append(row(i, *def));
}

QVariantList byName(const db::TableDef& def, const QHash<QString, QVariant>& values)
{
    QVariantList row;
    for (const db::FieldDef& field : def.fields)
        row.append(values.value(field.name));
    return row;
}

void writeOldPractice(const QString& dir, int patients, int historyRows)
{
    QDir().mkpath(dir);
    writeTable(dir, QStringLiteral("Patient"), patients, [](int i, const db::TableDef& def) {
        return byName(def,
            { { "PatientID", i + 1 }, { "LastName", kLastNames[i % kLastNames.size()] },
                { "FirstName", kFirstNames[i % kFirstNames.size()] },
                { "BirthDate", QDate(1940, 1, 1).addDays(i * 7) }, { "Sex", i % 2 == 0 },
                { "TherapySessionID", i + 1 },
                { "Remarks",
                    i % 10 ? QVariant()
                           : QVariant(QStringLiteral("Ιστορικό αλλεργίας και παρατηρήσεις. ").repeated(10)) },
                { "Phone", QStringLiteral("210%1").arg(i, 7, 10, QLatin1Char('0')) } });
    });
    writeTable(dir, QStringLiteral("Sessions"), patients, [](int i, const db::TableDef& def) {
        return byName(def,
            { { "SessionID", i + 1 }, { "PatientID", i + 1 }, { "SessionNum", 1 },
                { "ShowAllTeeth", true } });
    });
    const int perPatient = std::max(1, historyRows / patients);
    writeTable(dir, QStringLiteral("History"), historyRows, [&](int i, const db::TableDef& def) {
        const int patient = i / perPatient % patients + 1;
        return byName(def,
            { { "ID", i + 1 }, { "PatientID", patient }, { "TherapySessionID", patient },
                { "TreatmentLevel", i % 3 }, { "OperID", 1 + i % 40 },
                { "Date", QDate(2000, 1, 1).addDays(i % 3000) }, { "ToothNum", 11 + i % 8 },
                { "Cost", 40.0 + i % 60 }, { "CostEURO", 40.0 + i % 60 }, { "Price", 40.0 + i % 60 },
                { "PriceEURO", 40.0 + i % 60 }, { "Discount", 0.0 }, { "IOFld", true } });
    });
}

// The plain side: the same rows inserted with positional parameters, nothing checked.
void plainImport(const QString& oldDir, const QString& target)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("plain-import"));
    db.setDatabaseName(QDir(target).filePath(QStringLiteral("plain.sqlite")));
    if (!db.open())
        fail(QStringLiteral("plain database"));
    {
        QSqlQuery query(db);
        for (const QString& name :
            { QStringLiteral("Patient"), QStringLiteral("Sessions"), QStringLiteral("History") }) {
            const import::ParadoxTable table(QDir(oldDir).filePath(name + QStringLiteral(".DB")));
            QStringList columns;
            QStringList marks;
            for (const import::ParadoxField& field : table.fields()) {
                columns.append(field.name);
                marks.append(QStringLiteral("?"));
            }
            query.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(name, columns.join(QLatin1Char(','))));
            db.transaction();
            QSqlQuery insert(db);
            insert.prepare(
                QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(name, marks.join(QLatin1Char(','))));
            for (int i = 0; i < table.recordCount(); ++i) {
                const QVariantList values = table.record(i);
                for (int v = 0; v < values.size(); ++v)
                    insert.bindValue(v, values[v]);
                if (!insert.exec())
                    fail(QStringLiteral("plain insert"));
            }
            db.commit();
        }
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("plain-import"));
}

Result importPractice(Context& context)
{
    const int patients = context.scaled(5000);
    const int historyRows = context.scaled(100000);
    const QString root = context.newDirectory(QStringLiteral("paradox"));
    // pxlib writes a record at a time, slowly: the old practice is kept between runs.
    const QString oldDir
        = QDir(QCoreApplication::applicationDirPath())
              .filePath(QStringLiteral("bench-cache/paradox-%1-%2/Data").arg(patients).arg(historyRows));
    const QString complete = QDir(oldDir).filePath(QStringLiteral("complete"));
    Result result;
    double writtenMs = 0;
    if (!QFile::exists(complete)) {
        QDir(oldDir).removeRecursively();
        writtenMs = timeMs([&] { writeOldPractice(oldDir, patients, historyRows); });
        QFile marker(complete);
        if (!marker.open(QIODevice::WriteOnly))
            fail(QStringLiteral("cannot write %1").arg(complete));
    }

    QElapsedTimer clock;
    qint64 lastProgress = 0;
    qint64 longestGap = 0;
    int calls = 0;
    import::ImportReport report;
    clock.start();
    result.oursMs = timeMs([&] {
        report = import::importParadox(
            { oldDir, root + QStringLiteral("/New/Data"), false, [&](const import::ImportProgress&) {
                 const qint64 now = clock.elapsed();
                 longestGap = std::max(longestGap, now - lastProgress);
                 lastProgress = now;
                 ++calls;
             } });
    });
    longestGap = std::max(longestGap, clock.elapsed() - lastProgress);
    if (!report.written)
        fail(QStringLiteral("the import failed: %1").arg(report.failure));
    qint64 imported = 0;
    for (const auto& table : report.tables)
        imported += table.imported;
    if (imported != patients * 2 + historyRows)
        fail(QStringLiteral("the import brought %1 rows, not %2")
                 .arg(imported)
                 .arg(patients * 2 + historyRows));

    const QString plainDir = context.newDirectory(QStringLiteral("paradox-plain"));
    result.plainMs = timeMs([&] { plainImport(oldDir, plainDir); });
    result.target = QStringLiteral("≤ 30 s, progress ≥ 1/s");
    const bool met = result.oursMs <= 30000 && longestGap <= 1000;
    result.verdict = met ? QStringLiteral("met") : QStringLiteral("missed");
    result.notes.append(QStringLiteral("paradox import: %1 patients, %2 treatment rows (old tables written "
                                       "in %3 ms, 0 when cached); %4 progress reports, "
                                       "longest gap between two %5 ms")
                            .arg(patients)
                            .arg(historyRows)
                            .arg(qRound(writtenMs))
                            .arg(calls)
                            .arg(longestGap));
    return result;
}

// orvane-bench --child paradox-practice DIR [PATIENTS HISTORY]: writes an old practice to try the import on.
const RegisterChild writer(QStringLiteral("paradox-practice"), [](const QStringList& args) {
    if (args.isEmpty())
        fail(QStringLiteral("paradox-practice needs a directory"));
    writeOldPractice(
        args[0], args.value(1, QStringLiteral("50")).toInt(), args.value(2, QStringLiteral("1000")).toInt());
    return 0;
});

const RegisterMeasure x(
    QStringLiteral("(im) paradox import: 5,000 patients and 100,000 treatment rows"), importPractice);

} // namespace
} // namespace bench
